// The exchange test on hand-made captures: cheap captures pass at once, the
// cheapest defender decides, second attackers from the list or behind the
// capturing piece rescue a capture, and the position is left as it was.
#include "MovegenTestSupport.h"
#include "movegen/See.h"

#include <cstring>

TEST_F(MovegenTest, ExchangeTestJudgesCapturesByDefendersAndSupport)
{
    struct SeeCase {
        const char* Fen;
        const char* Capture;
        bool Good;
    };
    const SeeCase cases[] = {
        {"4k3/8/2r5/3q4/4P3/8/8/4K3 w - - 0 1", "e4d5", true},      // pawn takes anything
        {"4k3/8/8/8/8/4r3/4r3/4K3 w - - 0 1", "e1e2", true},        // king takes anything
        {"3rk3/8/8/8/8/8/8/3RK3 w - - 0 1", "d1d8", true},          // rook takes rook
        {"4k3/8/2p5/3n4/8/8/B7/4K3 w - - 0 1", "a2d5", true},       // bishop takes knight
        {"4k3/8/2p5/3b4/8/4N3/8/4K3 w - - 0 1", "e3d5", true},      // knight takes bishop
        {"4k3/8/8/3p4/8/8/8/3QK3 w - - 0 1", "d1d5", true},         // undefended
        {"4k3/8/2p5/3p4/8/4N3/8/3QK3 w - - 0 1", "d1d5", false},    // pawn defends, support or not
        {"3qk3/8/8/8/3P4/2P5/8/4K3 b - - 0 1", "d8d4", false},      // the same for black
        {"4k3/8/8/3n4/4b3/8/8/3RK3 w - - 0 1", "d1d5", false},      // bishop defends, no support
        {"4k3/8/8/3n4/1N2b3/8/8/3RK3 w - - 0 1", "d1d5", true},     // knight also takes
        {"8/8/8/3bk3/8/8/8/3RK3 w - - 0 1", "d1d5", false},         // the king defends
        {"8/8/8/3bk3/1N6/8/8/3RK3 w - - 0 1", "d1d5", true},
        {"r3k3/8/8/3n4/3R4/8/8/4K3 w - - 0 1", "d4d5", true},
        {"4k3/8/8/3n4/3R4/8/8/3rK3 w - - 0 1", "d4d5", false},      // enemy rook behind the rook
        {"4k3/8/2b5/3b4/3R4/8/3R4/4K3 w - - 0 1", "d4d5", true},    // own rook behind
        {"4k3/8/2b5/3b4/3R4/8/3Q4/4K3 w - - 0 1", "d4d5", false},   // own queen behind
        {"4k3/8/4b3/3p4/8/2N5/8/1R2K3 w - - 0 1", "c3d5", false},   // no line behind a knight
        {"q3k3/8/8/3r4/1N6/8/8/3QK3 w - - 0 1", "d1d5", true},      // queen defends: 9 + 5 pays
        {"q3k3/8/8/3r4/1N6/5b2/8/3QK3 w - - 0 1", "d1d5", false},   // a later bishop beats it
        {"b3k3/8/8/3r4/1N6/5q2/8/3QK3 w - - 0 1", "d1d5", false},   // and an earlier one too
        {"3qk3/8/8/3p4/1N6/8/8/3QK3 w - - 0 1", "d1d5", true},      // queen defends: 9 + 1 pays
        {"3rk3/8/8/3p3q/1N6/8/8/3QK3 w - - 0 1", "d1d5", false},    // a rook beats it
        {"3qk3/8/8/3p3r/1N6/8/8/3QK3 w - - 0 1", "d1d5", false},    // also a later rook
    };
    for (const SeeCase& c : cases) {
        Position pos = At(c.Fen);
        int end = GenerateCaptures(pos, 3);
        int index = 3;
        while (index < end && MoveText(MoveList[index]) != c.Capture)
            index++;
        ASSERT_LT(index, end) << c.Fen << " " << c.Capture;
        Position before = pos;
        EXPECT_EQ(IsGoodCapture(pos, MoveList[index], 3, end - 1), c.Good) << c.Fen << " " << c.Capture;
        EXPECT_EQ(std::memcmp(&before, &pos, sizeof pos), 0) << c.Fen;
    }
}
