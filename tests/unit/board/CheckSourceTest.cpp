// The check source and the tests made before a move: the count and square
// of the checkers, that no move refused before it is made would have been
// legal, that the evasion test and the before-the-move legality and check
// tests agree with the tests after the move, and that the list order a
// capture leaves is kept without making it.
#include "BoardTestSupport.h"

#include "board/Check.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"

#include <cstring>

namespace {

CheckSource SourceOf(Position& pos)
{
    return FindCheckSource(pos, KingSquare(pos, pos.Side), pos.XSide);
}

TEST(CheckSourceTest, CountsCheckersAndLeavesTheBoard)
{
    InitConstantTables();
    const struct { const char* Fen; int Count; const char* Square; } cases[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - -", 0, nullptr},
        {"4k3/8/8/8/8/8/4r3/4K3 w - -", 1, "e2"},    // adjacent rook
        {"4k3/4r3/8/8/8/8/8/4K3 w - -", 1, "e7"},    // distant rook
        {"4k3/8/8/8/8/8/4B3/4K2r w - -", 1, "h1"},   // rook past an empty rank
        {"4k3/8/8/8/8/3n4/8/4K3 w - -", 1, "d3"},    // knight
        {"4k3/8/8/8/8/8/5p2/4K3 w - -", 1, "f2"},    // pawn
        {"4k3/8/8/8/8/8/4P3/4K3 b - -", 0, nullptr}, // a pawn does not attack forwards
        {"4k3/4r3/8/8/8/3n4/8/4K3 w - -", 2, nullptr},
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - -", 0, nullptr}, // blocked
    };
    for (const auto& c : cases) {
        Position pos = Build(c.Fen);
        const Position before = pos;
        CheckSource source = SourceOf(pos);
        EXPECT_EQ(source.Count, c.Count) << c.Fen;
        if (c.Count == 1) {
            EXPECT_EQ(source.Square, Sq(c.Square)) << c.Fen;
        }
        EXPECT_EQ(std::memcmp(pos.Board, before.Board, sizeof pos.Board), 0) << c.Fen;
    }
}

// Every pseudo-legal move of positions in check and out of it: a move
// refused early must be one that leaves the king attacked, some moves must be
// refused in check, and every test made before the move must give the answer
// of the one made after it.
TEST(CheckSourceTest, RefusesOnlyMovesThatLeaveTheKingAttacked)
{
    InitConstantTables();
    for (const char* fen : {
             "4k3/4r3/8/8/8/2N5/1B3P2/R3K2R w KQ -",                // rook on the file: block or capture
             "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b kq -",  // no check
             "4k3/8/8/8/1b6/8/2P5/RN2K2R w KQ -",                    // bishop: pawn and knight block
             "4k3/8/8/8/8/1Q1n4/8/R3K3 w Q -",                       // knight: capture only
             "8/8/8/2k5/3Pp3/8/8/4K3 b - d3",                        // pawn check, en passant answers
             "4k3/4r3/8/8/8/3n4/1Q6/R3K3 w Q -",                     // double check
             "3rk3/2P5/8/8/8/8/8/3K4 w - -",                         // promotions block or capture
             "4r1k1/8/8/8/8/8/4N3/4K2r w - -",                       // a pinned knight's block fails
             "4k3/8/8/4r3/8/4K3/P7/8 w - -",                         // the king may not step back on the line
             "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",                // pins and checks along a rank
             "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",  // promotions, discovered checks
         }) {
        Position pos = Build(fen);
        bool inCheck = IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide);
        CheckSource source = SourceOf(pos);
        int end = GenerateQuietMoves(pos, GenerateCaptures(pos, 0), inCheck);
        int refused = 0;
        for (int i = 0; i < end; i++) {
            const Move move = MoveList[i];
            bool mayAnswer = MayAnswerCheck(pos, move, source);
            UndoInfo undo = SaveUndoInfo(pos);
            Bits64 key = pos.Key;
            bool before = (move.Flags & (FlagEnPassant | FlagKingSideCastle | FlagQueenSideCastle)) == 0;
            bool wouldLeave = before && WouldLeaveKingInCheck(pos, move, source);
            bool wouldCheck = before && WouldGiveCheck(pos, move);
            Position reordered = pos;
            ReorderAsAfterCapture(reordered, move);
            PlayMove(pos, move);
            bool leaves = LeavesKingInCheck(pos, move, inCheck);
            if (inCheck) {
                EXPECT_EQ(EvasionLeavesKingInCheck(pos, move, source), leaves) << fen << " move " << int(move.To);
            }
            if (before) {
                EXPECT_EQ(wouldLeave, leaves) << fen << " move " << int(move.From) << "-" << int(move.To);
                EXPECT_TRUE(leaves || wouldCheck == GivesCheck(pos, move)) << fen << " move " << int(move.To);
            }
            TakeBack(pos, move, undo, key);
            EXPECT_EQ(std::memcmp(reordered.PieceList, pos.PieceList, sizeof pos.PieceList), 0) << fen;
            for (int square = 0; square < 128; square++) {
                if (IsOnBoard(square) && pos.Board[square] != 0) {
                    EXPECT_EQ(reordered.Board[square | 8], pos.Board[square | 8]) << fen << " square " << square;
                }
            }
            EXPECT_TRUE(mayAnswer || leaves) << fen << " move " << int(move.From) << "-" << int(move.To);
            refused += mayAnswer ? 0 : 1;
        }
        EXPECT_EQ(inCheck, refused > 0) << fen;
    }
}

}  // namespace
