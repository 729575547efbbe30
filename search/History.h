// The History table: per colour, moving kind and destination, how often and
// how deep quiet moves caused cutoffs in the current search.
#pragma once

#include <cstdint>

// Counter (kind, slot) at History[slot][kind - 1]; slot = To + 8 * colour, so
// white uses the on-board cells of the 0x88 numbering and black the shadow cells.
extern int32_t History[128][6];

constexpr int32_t HistoryHalvingThreshold = 2147450886;  // 2^31 - 1 - 181 * 181

inline int32_t HistoryScore(int kind, int to, int colour) { return History[to + 8 * colour][kind - 1]; }

// Zeroes all 768 counters.
void ClearHistory();

// Halves the 384 counters of one colour (low 8 bits of the argument).
void HalveHistory(int colour);

// A quiet cutoff by colour's piece of this kind on square to, at remaining depth.
void RecordQuietCutoff(int colour, int kind, int to, int depth);
