// The bench: a fixed list of varied positions, each searched from a clean
// state to one fixed depth. The total node count is the engine's signature:
// a pure speed-up leaves it unchanged, a change of search or evaluation moves it.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

constexpr int BenchDefaultDepth = 8;

struct BenchResult {
    double Nodes;          // summed NodeCount of all searches
    int64_t Milliseconds;  // time spent in the searches
};

// The positions, as the words after "position": "startpos" or "fen ...".
int BenchPositionCount();
const char* BenchPosition(int index);

// Loads the tables (Data/ of the working directory) if need be and searches
// every position to depth: position command, then the root search with the
// "info" lines off and no time limit. Writes one line per position to out
// when given. The game position is left at the last position searched; the
// clock, the search flags and the depth limit are put back.
BenchResult RunBench(int depth, std::ostream* out);

// The same for other positions, given as the words after "position".
BenchResult RunBench(int depth, std::ostream* out, const std::vector<std::string>& positions);

// "bench nodes N time T ms nps X".
std::string BenchSummary(const BenchResult& result);
