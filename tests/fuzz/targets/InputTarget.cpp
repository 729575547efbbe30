// Fuzz target: arbitrary bytes as the engine's standard input, served by the
// idle loop and the dispatcher exactly as a pipe would be. Searches stop at
// depth 2; a final "stop" line ends a pondering or infinite search that the
// input left running, as an interface would before closing the pipe.
#include "FuzzSupport.h"

#include "frontend/Interface.h"
#include "platform/Platform.h"

#include <string>

constexpr int SearchDepth = 2;

// Every output line ends with the line end, and every best move is one
// square pair with an optional promotion letter, or 0000.
static void CheckOutput(const std::string& output)
{
    if (!output.empty() && output.back() != LineEnd)
        FuzzFailure("output does not end with a line end");
    size_t start = 0;
    for (size_t end; (end = output.find(LineEnd, start)) != std::string::npos; start = end + 1) {
        std::string line = output.substr(start, end - start);
        if (line.rfind("bestmove", 0) != 0)
            continue;
        std::string move = line.substr(8);
        bool shaped = move.size() >= 5 && move.size() <= 6 && move[0] == ' ';
        for (size_t i = 1; shaped && i < 5; i++) {
            char c = move[i];
            shaped = i % 2 == 1 ? (c >= 'a' && c <= 'h') : (c >= '1' && c <= '8');
        }
        if (!shaped && move != " 0000")
            FuzzFailure("malformed best move line: " + line);
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzEngine(12);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetEngineState(SearchDepth);
    std::string input(reinterpret_cast<const char*>(data), size);
    input += "\nstop\n";
    SetFuzzInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    try {
        RunEngine();
    } catch (const ProcessEnded&) {
    }
    CheckAcceptedSetup();
    CheckOutput(FuzzOutput());
    return 0;
}
