// The History table: one slot per colour and destination, increments of depth
// squared, and the halving of one colour's counters just before a counter
// could overflow.
#include "MovegenTestSupport.h"

#include <algorithm>
#include <cmath>

namespace {

// Raises a counter by exactly amount through cutoffs of the deepest depths.
void RaiseCounter(int colour, int kind, int to, int64_t amount)
{
    for (; amount > 0;) {
        int depth = static_cast<int>(std::min<int64_t>(181, static_cast<int64_t>(std::sqrt(double(amount)))));
        RecordQuietCutoff(colour, kind, to, depth);
        amount -= depth * depth;
    }
}

}  // namespace

TEST_F(MovegenTest, HistoryHalvesOneColourOnlyAboveTheThreshold)
{
    const int e4 = SquareOf("e4"), a3 = SquareOf("a3"), h1 = SquareOf("h1");
    RaiseCounter(White, Knight, e4, HistoryHalvingThreshold);
    RecordQuietCutoff(White, Knight, e4, 181);  // at the threshold: no halving, and it just fits
    EXPECT_EQ(History[0x44][Knight - 1], INT32_MAX);

    for (int colour : {White, Black}) {
        ClearHistory();
        RaiseCounter(colour, Knight, e4, int64_t{HistoryHalvingThreshold} + 1);
        RecordQuietCutoff(colour, Pawn, a3, 3);
        RecordQuietCutoff(colour, King, h1, 3);
        RecordQuietCutoff(1 - colour, Knight, e4, 3);
        RecordQuietCutoff(colour, Knight, e4, 2);
        EXPECT_EQ(HistoryScore(Knight, e4, colour), (HistoryHalvingThreshold + 1) / 2 + 4);
        EXPECT_EQ(HistoryScore(Pawn, a3, colour), 4);
        EXPECT_EQ(HistoryScore(King, h1, colour), 4);
        EXPECT_EQ(History[colour == White ? 0x4C : 0x44][Knight - 1], 9);  // the other colour's slot
    }
}
