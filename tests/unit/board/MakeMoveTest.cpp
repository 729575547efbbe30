// PlayMove against positions built from scratch (board, lists, masks,
// tallies, rights, en-passant square, key, clock), of the Pieces scope
// moving only the pieces, TakeBack restoring them,
// nested and after captures that reorder a list, the consistency check, and
// the key hint used to prefetch table entries.
#include "BoardTestSupport.h"

#include "board/Consistency.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"

#include <algorithm>
#include <vector>

namespace {

class MakeMoveTest : public BoardTest {};

// A colour's list entries as kind * 256 + square: the king's, then the rest sorted.
std::vector<int> ListOf(const Position& pos, int colour)
{
    std::vector<int> entries;
    for (int slot = colour * 32; slot <= pos.ListEnd[colour]; slot += 2)
        entries.push_back(pos.PieceList[slot] * 256 + pos.PieceList[slot + 1]);
    std::sort(entries.begin() + 1, entries.end());
    return entries;
}

// Expects a consistent position equal to b, list order and stale shadow cells aside.
void ExpectSame(const Position& a, const Position& b, const std::string& label)
{
    std::string problem;
    EXPECT_TRUE(PositionIsConsistent(a, &problem)) << label << ": " << problem;
    for (int index = 0; index < 64; index++)
        ASSERT_EQ(a.Board[SquareOfIndex(index)], b.Board[SquareOfIndex(index)]) << label << " index " << index;
    for (int colour : {White, Black}) {
        EXPECT_EQ(ListOf(a, colour), ListOf(b, colour)) << label;
        EXPECT_EQ(a.PawnMask[colour], b.PawnMask[colour]) << label;
        EXPECT_EQ(a.MaterialTally[colour], b.MaterialTally[colour]) << label;
        EXPECT_EQ(a.Castling[colour], b.Castling[colour]) << label;
    }
    EXPECT_EQ(a.EpSquare, b.EpSquare) << label;
    EXPECT_EQ(a.Side, b.Side) << label;
    EXPECT_EQ(a.Key, b.Key) << label;
}

TEST_F(MakeMoveTest, PlayAndTakeBack)
{
    const int KS = FlagKingSideCastle, QS = FlagQueenSideCastle, EP = FlagEnPassant, DP = FlagDoublePush;
    const char* corners = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
    const struct { const char* Fen; Move Played; const char* Result; } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", Mv("e2e4", Pawn, 0, DP),
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3"},
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3", Mv("e8d7", King), "8/3k4/8/8/4P3/8/8/4K3 w - -"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", Mv("e5d6", Pawn, Pawn, EP), "4k3/8/3P4/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3", Mv("e4d3", Pawn, Pawn, EP), "4k3/8/8/8/8/3p4/8/4K3 w - -"},
        {"r3k3/1P6/8/8/8/8/8/4K3 w q -", Mv("b7a8", Pawn, Rook, Queen), "Q3k3/8/8/8/8/8/8/4K3 b - -"},
        {"4k3/1P6/8/8/8/8/8/4K3 w - -", Mv("b7b8", Pawn, 0, Knight), "1N2k3/8/8/8/8/8/8/4K3 b - -"},
        {"4k3/8/8/8/8/8/6p1/4K2R b K -", Mv("g2h1", Pawn, Rook, Bishop), "4k3/8/8/8/8/8/8/4K2b w - -"},
        {"r3k3/8/8/8/8/8/8/R3K3 w Qq -", Mv("a1a8", Rook, Rook), "R3k3/8/8/8/8/8/8/4K3 b - -"},
        {corners, Mv("e1f1", King), "r3k2r/8/8/8/8/8/8/R4K1R b kq -"},
        {corners, Mv("h1h5", Rook), "r3k2r/8/8/7R/8/8/8/R3K3 b Qkq -"},
        {"4k3/8/8/8/8/8/8/4K3 w - -", Mv("e1e2", King), "4k3/8/8/8/8/8/4K3/8 b - -"},
        {corners, Mv("e1c1", King, 0, QS), "r3k2r/8/8/8/8/8/8/2KR3R b kq -"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", Mv("e8g8", King, 0, KS), "r4rk1/8/8/8/8/8/8/R3K2R w KQ -"},
    };
    for (const auto& c : cases) {
        BoardSetup setup = SetupFromFen(c.Fen);
        setup.Halfmoves = 7;
        Position pos = Build(setup);
        const Position before = pos;
        UndoInfo undo = SaveUndoInfo(pos);
        PlayMove(pos, c.Played);
        ExpectSame(pos, Build(c.Result), c.Result);
        // the prefetch hint is the real key unless rights, a new en-passant file or a rook change it
        bool hintExact = (c.Played.Flags & (KS | QS | DP)) == 0 &&
                         std::equal(pos.Castling, pos.Castling + 2, before.Castling);
        EXPECT_EQ(KeyHintAfter(before, c.Played) == pos.Key, hintExact) << c.Result;
        bool resets = CapturedKind(c.Played) != 0 || MovingKind(c.Played) == Pawn;
        EXPECT_EQ(pos.HalfmoveClock, resets ? 0 : 8) << c.Result;

        // the Pieces scope moves the same pieces and leaves the rest as it was
        Position pieces = before;
        PlayMove<MoveScope::Pieces>(pieces, c.Played);
        EXPECT_TRUE(std::equal(pieces.Board, pieces.Board + 128, pos.Board)) << c.Result;
        EXPECT_TRUE(std::equal(pieces.PieceList, pieces.PieceList + 64, pos.PieceList)) << c.Result;
        EXPECT_TRUE(std::equal(pieces.Occupied, pieces.Occupied + 2, pos.Occupied)) << c.Result;
        EXPECT_EQ(pieces.EpSquare, pos.EpSquare) << c.Result;
        EXPECT_EQ(pieces.Side, pos.Side) << c.Result;
        EXPECT_EQ(pieces.Key, before.Key) << c.Result;
        EXPECT_TRUE(std::equal(pieces.MaterialTally, pieces.MaterialTally + 2, before.MaterialTally)) << c.Result;
        EXPECT_TRUE(std::equal(pieces.PawnMask, pieces.PawnMask + 2, before.PawnMask)) << c.Result;
        TakeBack<MoveScope::Pieces>(pieces, c.Played, undo, before.Key);
        ExpectSame(pieces, before, c.Fen);

        TakeBack(pos, c.Played, undo, before.Key);
        ExpectSame(pos, before, c.Fen);
        EXPECT_EQ(pos.HalfmoveClock, 7) << c.Fen;
        bool sameOrder = std::equal(pos.PieceList, pos.PieceList + 64, before.PieceList);
        EXPECT_TRUE(sameOrder || CapturedKind(c.Played) != 0) << c.Fen;
    }
}

TEST_F(MakeMoveTest, NestedMovesComeBackInReverse)
{
    const Move line[] = {Mv("e2e4", Pawn, 0, FlagDoublePush), Mv("d7d5", Pawn, 0, FlagDoublePush), Mv("e4d5", Pawn, Pawn),
                         Mv("d8d5", Queen, Pawn), Mv("b1c3", Knight), Mv("d5a2", Queen, Pawn), Mv("a1a2", Rook, Queen)};
    Position pos = Build("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    const Position start = pos;
    UndoInfo undo[7];
    Bits64 keys[7];
    for (int i = 0; i < 7; i++) {
        undo[i] = SaveUndoInfo(pos);
        keys[i] = pos.Key;
        PlayMove(pos, line[i]);
    }
    ExpectSame(pos, Build("rnb1kbnr/ppp1pppp/8/8/8/2N5/RPPP1PPP/2BQKBNR b Kkq -"), "after the line");
    for (int i = 6; i >= 0; i--)
        TakeBack(pos, line[i], undo[i], keys[i]);
    ExpectSame(pos, start, "back at the start");
}

TEST_F(MakeMoveTest, ConsistencyCheckFindsFaults)
{
    const Position good = Build("r3k2r/pp6/8/8/8/8/6PP/R3K2R w KQkq -");
    EXPECT_TRUE(PositionIsConsistent(good));
    auto broken = [&](auto change) {
        Position pos = good;
        change(pos);
        return !PositionIsConsistent(pos);
    };
    EXPECT_TRUE(broken([](Position& p) { p.Board[Sq("h2") | 8] = 6; }));
    EXPECT_TRUE(broken([](Position& p) { p.Board[Sq("d4")] = Knight; }));
    EXPECT_TRUE(broken([](Position& p) { p.PawnMask[Black].Lo ^= SquareMask[Sq("c7")].Lo; }));
    EXPECT_TRUE(broken([](Position& p) { p.Key.Hi ^= 1; }));
    EXPECT_TRUE(broken([](Position& p) { p.EpSquare = static_cast<uint8_t>(Sq("e3")); }));
}

}  // namespace
