// Attack detection against a plain ray scan, and the two move tests: pins,
// king moves, castling, en passant, moves out of check, direct, discovered,
// promotion, castling-rook and en-passant checks.
#include "BoardTestSupport.h"

#include "board/Check.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"

namespace {

// Whether a piece of colour attacks square, by stepping back along every ray.
bool ScanAttacks(const Position& pos, int square, int colour)
{
    for (int d = 0; d < 16; d++) {
        int step = Direction[d];
        for (int cell = square - step, distance = 1; IsOnBoard(cell); cell -= step, distance++) {
            int code = pos.Board[cell];
            if (code == 0 && d < 8)
                continue;
            int kind = code & 7;
            bool pawnStep = d >= 4 && d < 8 && (colour == White ? step < 0 : step > 0);
            bool reaches = d >= 8 ? kind == Knight
                                  : kind == Queen || kind == (d < 4 ? Rook : Bishop) ||
                                        (distance == 1 && (kind == King || (kind == Pawn && pawnStep)));
            if (code != 0 && (code >> 3) == colour && reaches)
                return true;
            break;
        }
    }
    return false;
}

TEST(CheckTest, IsSquareAttackedAgreesWithRayScan)
{
    InitConstantTables();
    for (const char* fen : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
                            "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
                            "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", "7N/1k6/8/n6Q/8/2b5/8/K5Nr w - -"}) {
        Position pos = Build(fen);
        for (int index = 0; index < 128; index++) {
            int square = SquareOfIndex(index / 2), colour = index % 2;
            ASSERT_EQ(IsSquareAttacked(pos, square, colour), ScanAttacks(pos, square, colour))
                << fen << " square " << square << " colour " << colour;
        }
    }
}

TEST(CheckTest, MoveTests)
{
    InitConstantTables();
    const int KS = FlagKingSideCastle, QS = FlagQueenSideCastle, EP = FlagEnPassant;
    const struct { const char* Fen; Move Played; bool WasInCheck, Leaves, Checks; } cases[] = {
        // pins: along the pin line, onto the pinner, off the line
        {"4k3/8/8/q7/8/8/3B4/4K3 w - -", Mv("d2c3", Bishop), false, false, false},
        {"4k3/8/8/q7/8/8/3B4/4K3 w - -", Mv("d2e3", Bishop), false, true, false},
        {"4r1k1/8/8/8/8/8/4B3/4K3 w - -", Mv("e2d3", Bishop), false, true, false},
        {"4R3/7k/8/8/8/8/4b3/4K3 w - -", Mv("e8e7", Rook), false, false, true},
        // king moves and castling get the full test
        {"4k3/8/8/8/8/5p2/8/4K3 w - -", Mv("e1e2", King), false, true, false},
        {"4k1r1/8/8/8/8/8/8/4K2R w K -", Mv("e1g1", King, 0, KS), false, true, false},
        {"6k1/8/8/8/8/8/8/4K2R w K -", Mv("e1g1", King, 0, KS), false, false, false},
        {"5k2/8/8/8/8/8/8/4K2R w K -", Mv("e1g1", King, 0, KS), false, false, true},
        {"5k2/5p2/8/8/8/8/8/4K2R w K -", Mv("e1g1", King, 0, KS), false, false, false},
        {"r3k3/8/8/8/8/8/8/3K4 b q -", Mv("e8c8", King, 0, QS), false, false, true},
        // en passant: the rank, a diagonal through the captured pawn's square
        {"8/8/8/K2pP2r/8/8/8/4k3 w - d6", Mv("e5d6", Pawn, Pawn, EP), false, true, false},
        {"8/8/8/K2pP2r/8/8/8/4k3 w - d6", Mv("e5e6", Pawn), false, false, false},
        {"4k3/1b6/8/3pP3/8/8/8/7K w - d6", Mv("e5d6", Pawn, Pawn, EP), false, true, false},
        {"6k1/8/8/3pP3/8/1B6/8/4K3 w - d6", Mv("e5d6", Pawn, Pawn, EP), false, false, true},
        {"6k1/8/8/3pP3/8/1B6/8/4K3 w - d6", Mv("e5e6", Pawn), false, false, false},
        // a move that opens no line but leaves the check in place
        {"4r1k1/8/8/8/8/8/P7/4K3 w - -", Mv("a2a3", Pawn), true, true, false},
        {"4r1k1/8/8/8/8/8/P7/4K3 w - -", Mv("e1d1", King), true, false, false},
        // direct checks, promotions judged by the new piece
        {"k7/4P3/8/8/8/8/8/4K3 w - -", Mv("e7e8", Pawn, 0, Queen), false, false, true},
        {"k7/4P3/8/8/8/8/8/4K3 w - -", Mv("e7e8", Pawn, 0, Knight), false, false, false},
        {"8/2k1P3/8/8/8/8/8/4K3 w - -", Mv("e7e8", Pawn, 0, Knight), false, false, true},
        {"4k3/8/8/8/8/8/3p4/5K2 b - -", Mv("d2d1", Pawn, 0, Rook), false, false, true},
        {"4k3/8/5P2/8/8/8/8/4K3 w - -", Mv("f6f7", Pawn), false, false, true},
        {"4k3/8/8/5P2/8/8/8/4K3 w - -", Mv("f5f6", Pawn), false, false, false},
        // discovered check by a bishop behind the knight that moves
        {"8/6k1/8/8/3N4/8/1B6/4K3 w - -", Mv("d4b5", Knight), false, false, true},
        {"8/6k1/8/8/3N4/2P5/1B6/4K3 w - -", Mv("d4b5", Knight), false, false, false},
    };
    for (const auto& c : cases) {
        Position pos = Build(c.Fen);
        UndoInfo undo = SaveUndoInfo(pos);
        PlayMove(pos, c.Played);
        EXPECT_EQ(LeavesKingInCheck(pos, c.Played, c.WasInCheck), c.Leaves) << c.Fen << " leaves";
        EXPECT_TRUE(c.Leaves || GivesCheck(pos, c.Played) == c.Checks) << c.Fen << " checks";
        TakeBack(pos, c.Played, undo, Bits64{0, 0});
    }
}

}  // namespace
