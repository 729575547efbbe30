// talvoran-bench: searches the bench positions to a fixed depth and prints
// one line per position, then "bench nodes N time T ms nps X". The total node
// count is the engine's signature. Run it where Data/ is (the repository root).
//   talvoran-bench [DEPTH [startpos | fen FEN...]]   another position instead
#include "platform/Platform.h"
#include "tools/bench/Bench.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    int depth = argc >= 2 ? std::atoi(argv[1]) : BenchDefaultDepth;
    if (depth < 1) {
        std::fprintf(stderr, "usage: talvoran-bench [DEPTH [startpos | fen FEN...]]\n");
        return 2;
    }
    std::string position;
    for (int i = 2; i < argc; i++) {
        if (i > 2)
            position += ' ';
        position += argv[i];
    }
    StartPlatform();
    BenchResult result = position.empty() ? RunBench(depth, &std::cout)
                                          : RunBench(depth, &std::cout, std::vector<std::string>{position});
    std::cout << BenchSummary(result) << std::endl;
    return 0;
}
