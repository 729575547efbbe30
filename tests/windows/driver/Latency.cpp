// The latency probe of tools/latency/latency.py --wine: round trips of isready and of
// position + go through anonymous pipes, read with blocking reads so that
// the probe itself adds nothing. Prints median, 90th percentile and maximum.
#include "EngineProcess.h"
#include "Latency.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

double Milliseconds()
{
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Reads until a line that starts with prefix has come; false if output ends.
bool AwaitLine(Engine& engine, const std::string& prefix)
{
    for (;;) {
        size_t end;
        while ((end = engine.Output.find_first_of("\r\n", engine.Taken)) != std::string::npos) {
            std::string line = engine.Output.substr(engine.Taken, end - engine.Taken);
            engine.Taken = end + 1;
            if (line.compare(0, prefix.size(), prefix) == 0)
                return true;
        }
        char chunk[4096];
        DWORD count = 0;
        if (!ReadFile(engine.FromEngine, chunk, sizeof chunk, &count, nullptr) || count == 0)
            return false;
        engine.Output.append(chunk, count);
    }
}

// Times tries round trips of text until a line starting with reply, each
// after an idle pause of 5 to 30 ms.
bool Time(Engine& engine, const std::string& text, const std::string& reply, int tries,
          std::vector<double>& samples)
{
    for (int i = 0; i < tries; i++) {
        Sleep(5 + std::rand() % 26);
        double began = Milliseconds();
        Send(engine, text);
        if (!AwaitLine(engine, reply))
            return false;
        samples.push_back(Milliseconds() - began);
    }
    return true;
}

void PrintSummary(const char* name, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    std::printf("%-12s median %6.2f ms  90%% %6.2f ms  max %6.2f ms  (%zu tries)\n", name, median,
                samples[n * 9 / 10], samples[n - 1], n);
}

}  // namespace

int MeasureLatency(const std::string& program, const std::string& directory, int tries, const std::string& moves)
{
    Engine engine;
    if (tries <= 0 || !StartEngine(engine, program, directory)) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        return 2;
    }
    timeBeginPeriod(1);  // so that the pauses between tries are as asked
    std::srand(1);
    std::vector<double> ready, search;
    Send(engine, "uci\n");
    bool fine = AwaitLine(engine, "uciok") && Time(engine, "isready\n", "readyok", tries, ready);
    Send(engine, "position startpos\ngo depth 7\n");  // a search that fills a few thousand entries
    fine = fine && AwaitLine(engine, "bestmove") &&
           Time(engine, "position startpos moves " + moves + "\ngo wtime 100 btime 100\n", "bestmove", tries, search);
    Send(engine, "quit\n");
    DWORD code = 0;
    WaitForExit(engine, code);
    CloseEngine(engine);
    if (!fine) {
        std::fprintf(stderr, "the engine stopped answering\n");
        return 1;
    }
    PrintSummary("isready", ready);
    PrintSummary("position+go", search);
    return 0;
}
