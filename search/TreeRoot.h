// The root search with iterative deepening, time control and "info" output,
// and the counters and small procedures that the whole search shares.
#pragma once

#include "board/Position.h"

#include <cstdint>
#include <string>

constexpr int MaxDepth = 182;    // greatest iteration depth
constexpr int MateScore = 10000; // a side mated at ply p scores p - MateScore

extern double NodeCount;       // legal moves searched in the current search, plus one
extern int16_t SelDepth;       // greatest ply reached in the current search
extern int64_t SearchStart;    // millisecond clock at the start of the search
extern int16_t PollCounter;    // input-poll counter of the interior search
extern int DepthLimit;         // last iteration allowed; MaxDepth unless a tool lowers it
extern bool InfoLinesOn;       // the search writes its "info" lines; a tool may silence them
extern int32_t StopAfterMs;    // a timed search that runs longer stops inside its iteration; -1: never

// Stops a timed search that has run past StopAfterMs, as "stop" would. The
// interior search calls it every 4096 nodes.
void StopIfOutOfTime();

// Milliseconds since start (a SearchStart value), plus one.
int32_t ElapsedMs(int64_t start);

// The moves first..last as UCI text, each preceded by a blank; empty moves
// add nothing. Lines stop at their first empty entry when stopAtEmpty is set.
std::string MovesToText(const Move* moves, int first, int last, bool stopAtEmpty = false);

// Searches the position by iterative deepening and returns the best move as
// " e2e4" (a blank first), or " 0000" when there is no legal move. The
// position is back in its initial state on return.
std::string SearchRoot(Position& pos);
