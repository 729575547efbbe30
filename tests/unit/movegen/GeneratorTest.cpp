// The two generators: exact order and scores of the moves they list, the
// castling and pawn rules, and a cross-check against a plain board scan that
// both together give every pseudo-legal move exactly once; the square sets
// the position keeps for them.
#include "MovegenTestSupport.h"

#include "board/SquareSets.h"

#include <algorithm>

namespace {

struct ListCase {
    const char* Fen;
    const char* Expected;
};

uint32_t Encode(const Move& m) { return m.From | m.To << 8 | m.Kinds << 16 | uint32_t{m.Flags} << 24; }

// Every pseudo-legal move, found by trying each piece of the side to move
// with the rules of chess written out plainly.
std::vector<uint32_t> ScanMoves(Position& pos)
{
    static const std::vector<int> steps[7] = {{}, {}, {-33, -31, -18, -14, 14, 18, 31, 33}, {-17, -15, 15, 17},
        {-16, -1, 1, 16}, {-17, -16, -15, -1, 1, 15, 16, 17}, {-17, -16, -15, -1, 1, 15, 16, 17}};
    int side = pos.Side, forward = side == White ? -16 : 16, king = KingSquare(pos, side);
    std::vector<uint32_t> moves;
    auto add = [&](int from, int to, int kinds, int flags) { moves.push_back(Encode(Move{uint8_t(from), uint8_t(to), uint8_t(kinds), uint8_t(flags)})); };
    // -1 off the board or own piece, 0 empty, else the enemy kind
    auto target = [&](int to) { return !IsOnBoard(to) ? -1 : pos.Board[to] == 0 ? 0 : (pos.Board[to] >> 3) == side ? -1 : pos.Board[to] & 7; };
    for (int from = 0; from < 120; from++) {
        int kind = IsOnBoard(from) && pos.Board[from] && (pos.Board[from] >> 3) == side ? pos.Board[from] & 7 : 0;
        bool lastRank = ((from + forward) >> 4) == (side == White ? 0 : 7);
        auto addPawn = [&](int to, int victim) {
            for (int p = lastRank ? Queen : 0; p >= (lastRank ? Knight : 0); p--)
                add(from, to, victim * 16 + Pawn, p);
        };
        if (kind == Pawn && target(from + forward) == 0) {
            addPawn(from + forward, 0);
            if ((from >> 4) == (side == White ? 6 : 1) && target(from + 2 * forward) == 0)
                add(from, from + 2 * forward, Pawn, FlagDoublePush);
        }
        for (int to : {from + forward - 1, from + forward + 1})
            if (kind == Pawn && (to == pos.EpSquare || target(to) > 0))
                to == pos.EpSquare ? add(from, to, 16 + Pawn, FlagEnPassant) : addPawn(to, target(to));
        for (int step : steps[kind])
            for (int to = from + step; target(to) >= 0; to += step) {
                add(from, to, target(to) * 16 + kind, 0);
                if (target(to) > 0 || kind == Knight || kind == King)
                    break;
            }
    }
    bool free = !SideInCheck(pos);
    if (free && (pos.Castling[side] & 1) && !pos.Board[king - 1] && !pos.Board[king - 2] && !pos.Board[king - 3] &&
        !IsSquareAttacked(pos, king - 1, pos.XSide))
        add(king, king - 2, King, FlagQueenSideCastle);
    if (free && (pos.Castling[side] & 2) && !pos.Board[king + 1] && !pos.Board[king + 2] &&
        !IsSquareAttacked(pos, king + 1, pos.XSide))
        add(king, king + 2, King, FlagKingSideCastle);
    std::sort(moves.begin(), moves.end());
    return moves;
}

}  // namespace

TEST_F(MovegenTest, StartPositionListsPushesThenKnightJumps)
{
    Position pos = At("startpos");
    EXPECT_EQ(GenerateCaptures(pos, 7), 7);
    int end = GenerateQuietMoves(pos, 7, false);
    EXPECT_EQ(ListText(7, end), "a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 h2h3 h2h4 "
                                "b1a3 b1c3 g1f3 g1h3");
    EXPECT_EQ(MoveList[7].Flags, 0);
    EXPECT_EQ(MoveList[8].Flags, FlagDoublePush);
    EXPECT_EQ(MoveList[8].Kinds, Pawn);
}

// The castling moves (listed first) and pawn pushes among the quiet moves.
TEST_F(MovegenTest, CastlingAndPawnPushesFollowTheirConditions)
{
    const ListCase cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1 e1g1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8 e8g8"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1", "e1g1"},
        {"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", "e1g1"},     // b1 occupied
        {"r3k2r/8/8/8/8/8/3r4/R3K2R w KQkq - 0 1", "e1g1"},    // d1 attacked
        {"r3k2r/8/8/8/8/7b/8/R3K2R w KQkq - 0 1", "e1c1"},     // f1 attacked
        {"r3k2r/8/8/8/8/8/8/R3KR2 b Qkq - 0 1", "e8c8"},       // f8 attacked
        {"2r1k1r1/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1 e1g1"}, // only the destinations attacked
        {"7k/1P6/8/8/5p2/3p4/3P1P2/4K3 w - - 0 1", "f2f3"},    // promotion row, blocked, double blocked
        {"4k3/3p1p2/3P4/5P2/8/8/1p6/7K b - - 0 1", "f7f6"},
    };
    for (const ListCase& c : cases) {
        Position pos = At(c.Fen);
        int end = GenerateQuietMoves(pos, 0, false);
        auto castles = [](const Move& m) { return (m.Flags & 48) != 0; };
        std::string picked;
        for (int i = 0; i < end; i++)
            if (castles(MoveList[i]) || MovingKind(MoveList[i]) == Pawn) {
                if (!picked.empty())
                    picked += ' ';
                picked += MoveText(MoveList[i]);
            }
        EXPECT_EQ(picked, c.Expected) << c.Fen;
        EXPECT_TRUE(std::is_partitioned(MoveList, MoveList + end, castles)) << c.Fen;
        end = GenerateQuietMoves(pos, 0, true);
        EXPECT_TRUE(std::none_of(MoveList, MoveList + end, castles)) << c.Fen;
    }
}

TEST_F(MovegenTest, CapturesAndPromotionsComeInOrderWithTheirScores)
{
    const ListCase cases[] = {
        {"3n1r2/4P3/8/8/8/8/8/K6k w - - 0 1", "e7e8q:43 e7e8r:23 e7e8b:13 e7e8n:13 e7f8q:68 e7f8r:48 e7f8b:38 e7f8n:38 "
                                              "e7d8q:58 e7d8r:38 e7d8b:28 e7d8n:28"},
        {"k6K/8/8/8/8/8/4p3/3Q1B2 b - - 0 1", "e2e1q:43 e2e1r:23 e2e1b:13 e2e1n:13 e2f1q:58 e2f1r:38 e2f1b:28 e2f1n:28 "
                                              "e2d1q:88 e2d1r:68 e2d1b:58 e2d1n:58"},
        {"6n1/7P/8/8/8/8/8/K6k w - - 0 1", "h7h8q:43 h7h8r:23 h7h8b:13 h7h8n:13 h7g8q:58 h7g8r:38 h7g8b:28 h7g8n:28"},
        {"4n3/4P3/8/8/8/8/8/K6k w - - 0 1", ""},
        {"4k3/8/8/8/4K3/3q4/4P3/8 w - - 0 1", "e2d3:48 e4d3:49"},
        {"4k3/8/3n1b2/4P3/8/8/8/4K3 w - - 0 1", "e5d6:18 e5f6:18"},
        {"4k3/8/8/4p3/3N1B2/8/8/4K3 b - - 0 1", "e5d4:18 e5f4:18"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6:8"},
        {"q3k3/8/8/8/p7/8/8/R3K3 w - - 0 1", "a1a4:6"},
        {"q3k3/8/8/8/8/8/P7/R3K3 w - - 0 1", ""},
        {"4k3/8/8/6q1/8/4n3/8/2B1K3 w - - 0 1", "c1e3:17"},
        {"4k3/8/8/8/p7/8/8/3QK3 w - - 0 1", "d1a4:5"},
        // rays in direction order, nearest piece only, a ray blocked by an own pawn; king last
        {"3rk3/3r4/1p3p2/3P4/1p1Q1p2/8/1p3p2/3bK3 w - - 0 1",
         "d4d1:15 d4b4:5 d4f4:5 d4b6:5 d4b2:5 d4f6:5 d4f2:5 e1d1:19 e1f2:9"},
    };
    for (const ListCase& c : cases) {
        Position pos = At(c.Fen);
        int end = GenerateCaptures(pos, 5);
        EXPECT_EQ(ListText(5, end, true), c.Expected) << c.Fen;
    }
    Position pos = At("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    GenerateCaptures(pos, 0);
    EXPECT_EQ(MoveList[0].Kinds, 16 + Pawn);
    EXPECT_EQ(MoveList[0].Flags, FlagEnPassant);
}

TEST_F(MovegenTest, QuietScoresComeFromTheHistoryOfTheMover)
{
    RecordQuietCutoff(White, Knight, SquareOf("f3"), 3);
    RecordQuietCutoff(White, Knight, SquareOf("f6"), 5);
    RecordQuietCutoff(Black, Knight, SquareOf("f6"), 2);
    Position pos = At("startpos");
    int end = GenerateQuietMoves(pos, 0, false);
    EXPECT_EQ(ListText(16, end, true), "b1a3:0 b1c3:0 g1f3:9 g1h3:0");
    pos = At("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    GenerateQuietMoves(pos, 0, false);
    EXPECT_EQ(ListText(0, 4, true), "b8a6:0 b8c6:0 g8f6:4 g8h6:0");
    ClearHistory();
    end = GenerateQuietMoves(pos, 0, false);
    EXPECT_TRUE(std::all_of(MoveScores, MoveScores + end, [](int32_t s) { return s == 0; }));
}

TEST_F(MovegenTest, BothGeneratorsTogetherListEveryPseudoLegalMoveOnce)
{
    std::mt19937 random(20240613);
    int checked = 0;
    for (const PerftCase& entry : ReadPerftSuite(TALVORAN_TEST_DATA "/perft.epd")) {
        Position pos = At(entry.Fen);
        std::vector<Move> line = RandomLine(pos, random, 40);
        for (size_t ply = 0; ply <= line.size(); ply++, checked++) {
            int split = GenerateCaptures(pos, 0);
            int end = GenerateQuietMoves(pos, split, SideInCheck(pos));
            std::vector<uint32_t> listed;
            for (int i = 0; i < end; i++) {
                bool forcing = CapturedKind(MoveList[i]) != 0 || PromotionKind(MoveList[i]) != 0;
                EXPECT_EQ(forcing, i < split) << entry.Fen << " " << MoveText(MoveList[i]);
                listed.push_back(Encode(MoveList[i]));
            }
            std::sort(listed.begin(), listed.end());
            ASSERT_EQ(listed, ScanMoves(pos)) << entry.Fen << " after " << ply << " plies";
            if (ply < line.size())
                PlayMove(pos, line[ply]);
        }
    }
    EXPECT_GT(checked, 3000);
}

// The square sets kept move by move agree with the piece lists along random
// lines from the perft positions.
TEST_F(MovegenTest, OccupiedSquaresMatchThePieceLists)
{
    std::mt19937 random(7);
    for (const PerftCase& entry : ReadPerftSuite(TALVORAN_TEST_DATA "/perft.epd")) {
        Position pos = At(entry.Fen);
        for (const Move& move : RandomLine(pos, random, 30)) {
            SquareSet bySide[2] = {0, 0};
            for (int colour : {White, Black}) {
                for (int slot = colour * 32; slot <= pos.ListEnd[colour]; slot += 2)
                    bySide[colour] |= SetOf(pos.PieceList[slot + 1]);
            }
            ASSERT_EQ(pos.Occupied[White], bySide[White]) << entry.Fen;
            ASSERT_EQ(pos.Occupied[Black], bySide[Black]) << entry.Fen;
            PlayMove(pos, move);
        }
    }
}

// In check, the quiet evasions are the quiet moves that may answer the check,
// in the same order: along random lines, and for blocks by pawns, a knight and
// sliders against a bishop's check.
TEST_F(MovegenTest, QuietEvasionsAreTheQuietMovesThatMayAnswerTheCheck)
{
    auto expectSameList = [](Position& pos, const std::string& label) {
        CheckSource source = FindCheckSource(pos, KingSquare(pos, pos.Side), pos.XSide);
        int end = GenerateQuietMoves(pos, 0, true);
        std::vector<uint32_t> expected;
        for (int i = 0; i < end; i++) {
            if (MayAnswerCheck(pos, MoveList[i], source))
                expected.push_back(Encode(MoveList[i]));
        }
        end = GenerateQuietEvasions(pos, 0, source);
        std::vector<uint32_t> listed;
        for (int i = 0; i < end; i++)
            listed.push_back(Encode(MoveList[i]));
        EXPECT_EQ(listed, expected) << label;
    };
    Position blocks = At("4k3/8/8/8/1b6/8/2P5/1N1QKB2 w - - 0 1");
    expectSameList(blocks, "blocks");
    EXPECT_EQ(ListText(0, GenerateQuietEvasions(blocks, 0, FindCheckSource(blocks, SquareOf("e1"), Black)), false),
              "c2c3 b1c3 b1d2 d1d2 e1e2 e1d2 e1f2");

    std::mt19937 random(11);
    int inCheck = 0;
    for (const PerftCase& entry : ReadPerftSuite(TALVORAN_TEST_DATA "/perft.epd")) {
        Position pos = At(entry.Fen);
        for (const Move& move : RandomLine(pos, random, 60)) {
            if (SideInCheck(pos)) {
                expectSameList(pos, entry.Fen);
                inCheck++;
            }
            PlayMove(pos, move);
        }
    }
    EXPECT_GT(inCheck, 100);
}
