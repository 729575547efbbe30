// talvoran-ob, the engine as an OpenBench worker builds and runs it: its
// lines end in a line feed, it carries the Data/ files of its commit (those
// of the working directory are not read), and "talvoran-ob bench" prints the
// bench's node count and speed, then ends.
#include "frontend/Channel.h"
#include "frontend/Interface.h"
#include "platform/Platform.h"
#include "tools/bench/Bench.h"
#include "tools/openbench/EmbeddedData.h"

#include <cstring>
#include <iostream>

// With the one argument "bench": the bench list at its usual depth, standard
// input left unread, and the line "bench nodes N time T ms nps X". Otherwise
// the engine, its log in the working directory, any other argument ignored.
int main(int argc, char** argv)
{
    StartPlatform();
    if (argc == 2 && std::strcmp(argv[1], "bench") == 0) {
        IgnoreInput();
        LoadEmbeddedData();
        std::cout << BenchSummary(RunBench(BenchDefaultDepth, nullptr)) << '\n' << std::flush;
        return 0;
    }
    OpenLog();
    LoadEmbeddedData();
    RunEngine();
}
