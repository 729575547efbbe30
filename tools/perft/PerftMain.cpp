// talvoran-perft: counts the leaves of a position's legal move tree.
//   talvoran-perft [--divide] DEPTH FEN     FEN as one argument, or startpos
//   talvoran-perft --suite FILE [MAXLEAVES] every depth of an EPD perft suite
// The last line is always "nodes N time T ms nps X".
#include "platform/Platform.h"
#include "tools/perft/Perft.h"

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// Prints the closing line for leaves counted since start (milliseconds).
static void PrintTotals(uint64_t leaves, int64_t start)
{
    int64_t elapsed = MillisecondClock() - start;
    uint64_t nps = elapsed > 0 ? leaves * 1000 / static_cast<uint64_t>(elapsed) : leaves * 1000;
    std::printf("nodes %llu time %lld ms nps %llu\n", static_cast<unsigned long long>(leaves),
                static_cast<long long>(elapsed), static_cast<unsigned long long>(nps));
}

// Prints how to call the program; returns the exit status for a bad call.
static int Usage()
{
    std::fprintf(stderr, "usage: talvoran-perft [--divide] DEPTH FEN|startpos\n"
                         "       talvoran-perft --suite FILE [MAXLEAVES]\n");
    return 2;
}

// Runs every (position, depth) of the suite whose published count is at most
// maxLeaves; prints each mismatch. Returns 0 when all agree, 1 otherwise.
static int RunSuite(const std::string& path, uint64_t maxLeaves)
{
    std::vector<PerftCase> suite = ReadPerftSuite(path);
    if (suite.empty()) {
        std::fprintf(stderr, "no positions in %s\n", path.c_str());
        return 2;
    }
    int64_t start = MillisecondClock();
    uint64_t total = 0;
    int failures = 0;
    for (const PerftCase& entry : suite) {
        Position pos;
        if (!PositionFromFen(entry.Fen, pos)) {
            std::printf("refused: %s\n", entry.Fen.c_str());
            failures++;
            continue;
        }
        for (auto [depth, expected] : entry.Counts) {
            if (expected > maxLeaves || depth > PerftMaxDepth)
                continue;
            uint64_t leaves = Perft(pos, depth);
            total += leaves;
            if (leaves != expected) {
                std::printf("mismatch: %s depth %d: %llu, expected %llu\n", entry.Fen.c_str(), depth,
                            static_cast<unsigned long long>(leaves), static_cast<unsigned long long>(expected));
                failures++;
            }
        }
    }
    std::printf("%zu positions, %d failures\n", suite.size(), failures);
    PrintTotals(total, start);
    return failures == 0 ? 0 : 1;
}

// Counts one position, with a line per legal root move when divide is set.
static int RunPosition(int depth, const std::string& fen, bool divide)
{
    Position pos;
    if (!PositionFromFen(fen, pos)) {
        std::fprintf(stderr, "position refused: %s\n", fen.c_str());
        return 2;
    }
    int64_t start = MillisecondClock();
    uint64_t leaves;
    if (divide) {
        std::vector<RootMoveCount> lines;
        leaves = DividePerft(pos, depth, lines);
        for (const RootMoveCount& line : lines)
            std::printf("%s %llu\n", MoveText(line.RootMove).c_str(), static_cast<unsigned long long>(line.Leaves));
    } else {
        leaves = Perft(pos, depth);
    }
    PrintTotals(leaves, start);
    return 0;
}

// Sets up the tables, reads the arguments and runs one position or a suite.
int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    PreparePerftTables();
    if (!args.empty() && args[0] == "--suite") {
        if (args.size() < 2 || args.size() > 3)
            return Usage();
        uint64_t maxLeaves = args.size() == 3 ? std::strtoull(args[2].c_str(), nullptr, 10) : UINT64_MAX;
        return RunSuite(args[1], maxLeaves);
    }

    bool divide = false;
    std::vector<std::string> rest;
    for (const std::string& arg : args) {
        if (arg == "--divide")
            divide = true;
        else
            rest.push_back(arg);
    }
    if (rest.size() != 2)
        return Usage();
    char* end = nullptr;
    long depth = std::strtol(rest[0].c_str(), &end, 10);
    if (*end != '\0' || depth < 0 || depth > PerftMaxDepth)
        return Usage();
    return RunPosition(static_cast<int>(depth), rest[1], divide);
}
