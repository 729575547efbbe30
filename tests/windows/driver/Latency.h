// Round trips through the engine's pipes, for tools/latency/latency.py --wine.
#pragma once

#include <string>

// Starts the program in the directory and prints the round trips of isready
// and of "position startpos moves MOVES" + "go wtime 100 btime 100", tries
// of each; returns the exit status.
int MeasureLatency(const std::string& program, const std::string& directory, int tries, const std::string& moves);
