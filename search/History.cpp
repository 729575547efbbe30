// The History table: per colour, moving kind and destination, the sum of
// depth * depth over the quiet moves that caused a cutoff in this search.
// Cleared at every search; one colour's half is halved before any counter
// could pass the largest 32-bit value.
#include "search/History.h"

#include <cassert>
#include <cstring>

int32_t History[128][6];

// Sets all 768 counters to 0.
void ClearHistory()
{
    std::memset(History, 0, sizeof History);
}

// Halves (truncating towards zero) every counter of one colour: the 64
// slots row * 16 + file + 8 * colour, all six kinds. Reads the low 8 bits.
void HalveHistory(int colour)
{
    int half = (colour & 0xFF) * 8;
    assert(half <= 8);
    for (int kind = 0; kind < 6; kind++) {
        for (int row = 0; row < 8; row++) {
            for (int file = 0; file < 8; file++)
                History[row * 16 + file + half][kind] /= 2;
        }
    }
}

// Adds depth * depth to the counter of colour's kind on square to, halving
// the colour's counters first when this one is above the threshold.
void RecordQuietCutoff(int colour, int kind, int to, int depth)
{
    int32_t& counter = History[to + 8 * colour][kind - 1];
    if (counter > HistoryHalvingThreshold)
        HalveHistory(colour);
    counter += depth * depth;
}
