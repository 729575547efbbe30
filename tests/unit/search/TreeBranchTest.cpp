// Interior and quiescence nodes called directly: draw rules, mate scores,
// the table's probe and store rules, null-move conditions, history updates,
// the test of table moves against the position, and the search's bounds.
#include "SearchTestSupport.h"

#include "board/Check.h"
#include "board/Consistency.h"
#include "board/DataFiles.h"
#include "board/MakeMove.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "search/TreeLeaf.h"
#include "tools/perft/Perft.h"

#include <algorithm>

namespace {

struct NodeResult {
    int16_t Score;
    double Nodes;  // legal moves made below the node
};

bool InCheck(Position& pos) { return IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide); }

// One SearchBranch call on pos from a fresh evaluation, its moves in the
// store from first on; the position must come back intact.
NodeResult Branch(Position& pos, int n, int16_t alpha, int16_t beta, int ply = 1, int first = 0, Move* line = nullptr)
{
    Move scratch[MaxDepth];
    EvalState eval = Evaluation(pos);
    const Bits64 key = pos.Key;
    NodeCount = 0;
    StopRequested = false;
    int16_t score = SearchBranch(pos, eval, first, n, ply, InCheck(pos), alpha, beta, line ? line : scratch);
    EXPECT_TRUE(pos.Key == key && PositionIsConsistent(pos));
    return NodeResult{score, NodeCount};
}

Position After(Position pos, const Move& move)
{
    PlayMove(pos, move);
    return pos;
}

// Every move the two generators list for pos, in the store from first on.
std::vector<Move> Generated(Position& pos, int first = 0)
{
    int top = GenerateQuietMoves(pos, GenerateCaptures(pos, first), InCheck(pos));
    return std::vector<Move>(MoveList + first, MoveList + top);
}

// Expects IsPseudoLegal to accept a candidate (and its variants with another
// flag) exactly when the generators list it in pos; counts the verdicts.
void JudgeAgainstGenerators(Position& pos, const std::vector<Move>& candidates, int counts[2])
{
    std::vector<Move> listed = Generated(pos, 900);
    for (Move candidate : candidates) {
        for (int flags : {int(candidate.Flags), candidate.Flags ^ FlagDoublePush, Queen}) {
            candidate.Flags = static_cast<uint8_t>(flags);
            bool expected = std::find(listed.begin(), listed.end(), candidate) != listed.end();
            if (IsPseudoLegal(pos, candidate, InCheck(pos)) != expected)
                ADD_FAILURE() << MoveText(candidate) << " flags " << flags << " should be " << expected;
            counts[expected]++;
        }
    }
}

}  // namespace

TEST_F(SearchTest, DrawRulesScoreZeroWithoutSearch)
{
    Position pos = Fresh("fen 7k/8/8/8/8/8/R7/K5Q1 w - - 100 80");
    EXPECT_GT(Branch(pos, 2, -32767, 32767).Nodes, 0) << "a clock of 100 is searched";
    pos = After(Fresh("fen 7k/8/8/8/8/8/R7/K5Q1 b - - 100 80"), MoveOf("h8", "h7", King));
    EXPECT_EQ(Branch(pos, 2, -32767, 32767).Nodes, 0) << "a clock of 101 is a draw";
    for (const char* bare : {"8/8/8/4k3/8/8/8/2B1K3 w", "8/8/8/4k3/8/8/8/1N2K3 b", "8/8/8/4k3/8/8/8/4K3 w"}) {
        pos = Fresh(std::string("fen ") + bare + " - - 0 1");
        EXPECT_EQ(Branch(pos, 3, -100, 100).Nodes, 0) << bare;
    }
    pos = Fresh("fen 8/8/2n5/4k3/8/8/8/2B1K3 w - - 0 1");
    EXPECT_GT(Branch(pos, 3, -100, 100).Nodes, 0) << "a minor piece on each side is searched";

    pos = Fresh("startpos");
    PlyKeys[1] = pos.Key, PlyKeys[2] = PlyKeys[3] = Bits64{0, 0};
    EXPECT_EQ(Branch(pos, 2, -100, 100, 5).Nodes, 0) << "four plies back on the path";
    EXPECT_EQ(Branch(pos, 2, -100, 100, 7).Nodes, 0) << "six plies back";
    EXPECT_GT(Branch(pos, 2, -100, 100, 6).Nodes, 0) << "five plies back: the other side moves";
    PlyKeys[1] = Bits64{0, 0};

    pos = Setup("startpos moves g1f3 g8f6 f3g1");
    EXPECT_EQ(Branch(pos, 5, -100, 100).Nodes, 0) << "the game position itself is seeded";
    Position back = After(pos, MoveOf("f6", "g8", Knight));
    EXPECT_EQ(Branch(back, 5, 50, 100).Score, 0) << "a return to the start is an exact draw";
    Position other = After(pos, MoveOf("e7", "e5", Pawn, 0, FlagDoublePush));
    EXPECT_GT(Branch(other, 2, -100, 100).Nodes, 0);
}

TEST_F(SearchTest, TableProbeAndStoreRules)
{
    Position mated = After(Fresh("fen 6k1/5ppp/8/8/8/8/8/1R4K1 w - - 0 1"), MoveOf("b1", "b8", Rook));
    EXPECT_EQ(Branch(mated, 2, -32767, 32767, 1).Score, 1 - MateScore);
    EXPECT_TRUE(HashSlot(mated.Key).Bound == Exact && HashSlot(mated.Key).BestMove == Move{});
    Position stalemate = Fresh("fen k7/8/8/8/8/8/2q5/K7 w - - 0 1");
    EXPECT_EQ(Branch(stalemate, 3, -500, 500, 4).Score, 0);
    EXPECT_EQ(HashSlot(stalemate.Key).Bound, Exact);

    Position pos = Fresh("startpos");
    HashEntry& entry = FillHashSlot(pos.Key);
    EXPECT_EQ(Branch(pos, 2, 30000, 30001).Score, 30000) << "fail-hard below";
    EXPECT_TRUE(entry.Bound == UpperBound && entry.BestMove == Move{} && entry.Depth == 2);
    EXPECT_GE(Branch(pos, 2, -30001, -30000).Score, -30000);
    EXPECT_TRUE(entry.Bound == LowerBound && entry.BestMove == MoveOf("a2", "a3", Pawn));

    entry = HashEntry{pos.Key.Hi, Move{}, 30, UpperBound, 5};
    EXPECT_EQ(Branch(pos, 5, 30, 100).Nodes, 0);
    EXPECT_GT(Branch(pos, 5, 29, 100).Nodes, 0) << "alpha below the upper bound";
    entry = HashEntry{pos.Key.Hi, Move{}, 50, LowerBound, 5};
    EXPECT_EQ(Branch(pos, 4, -100, 50).Score, 50);
    EXPECT_GT(Branch(pos, 6, -100, 50).Nodes, 0) << "stored depth too small";

    entry = HashEntry{pos.Key.Hi ^ 1, Move{}, 0, Exact, 7};  // another position on the same index
    Branch(pos, 6, -100, 100);
    EXPECT_EQ(entry.Check, pos.Key.Hi ^ 1) << "a deeper entry stays";
    entry.Depth = 6;
    Branch(pos, 6, -100, 100);
    EXPECT_EQ(entry.Check, pos.Key.Hi) << "an entry of equal depth is replaced";
}

TEST_F(SearchTest, NullMoveConditions)
{
    struct Case {
        const char* Position;
        int Depth;
        int16_t Beta;
        int NullDepth;  // 0: no null move tried
    } const cases[] = {
        {"startpos", 3, -100, 1}, {"startpos", 4, -100, 1}, {"startpos", 5, -100, 2},
        {"startpos", 2, -100, 0}, {"startpos", 3, 0, 0},  // the static score equals beta
        {"fen 4k3/pp6/8/8/8/8/PP6/R3K3 w - - 0 1", 3, -1000, 1},   // a rook weighs 2
        {"fen 4k3/pp6/8/8/8/8/PP6/1N2K3 w - - 0 1", 3, -1000, 0},  // a lone knight 1
        {"fen 4k3/8/8/8/8/8/4q3/R3K3 w - - 0 1", 3, -30000, 0},    // in check
    };
    for (const Case& c : cases) {
        Position pos = Fresh(c.Position);
        Bits64 passed = pos.Key;
        ToggleBits(passed, RandomKeys[SideKey]);
        Branch(pos, c.Depth, static_cast<int16_t>(c.Beta - 1), c.Beta);
        const HashEntry& entry = HashSlot(passed);
        EXPECT_EQ(entry.Check == passed.Hi && entry.Bound != EmptyBound ? entry.Depth : 0, c.NullDepth)
            << c.Position << " at depth " << c.Depth;
    }
}

TEST_F(SearchTest, HistoryRisesOnQuietCutoffsOnly)
{
    auto historySum = [] {
        long long sum = 0;
        for (auto& slot : History)
            for (int32_t counter : slot)
                sum += counter;
        return sum;
    };
    for (const char* forcing : {"fen 4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1"}) {
        Position pos = Fresh(forcing);
        Branch(pos, 2, -30001, -30000);
        EXPECT_EQ(historySum(), 0) << forcing;
    }
    Position pos = Fresh("startpos");
    Branch(pos, 2, -30001, -30000);
    EXPECT_TRUE(HistoryScore(Pawn, 0x50, White) == 4 && historySum() == 4) << "a2a3 cut off at depth 2";

    // A table move too shallow to answer is still searched first.
    ClearHashTable(), ClearHistory();
    FillHashSlot(pos.Key) = HashEntry{pos.Key.Hi, MoveOf("h2", "h3", Pawn), 0, UpperBound, 0};
    Branch(pos, 2, -30001, -30000);
    EXPECT_TRUE(HistoryScore(Pawn, 0x57, White) == 4 && historySum() == 4);
}

TEST_F(SearchTest, TableMovesAreTestedAgainstThePosition)
{
    // Moves of a position and of its grandchildren judged in each other.
    std::vector<PerftCase> suite = ReadPerftSuite(std::string(TALVORAN_TEST_DATA) + "/perft.epd");
    ASSERT_GE(suite.size(), 60u);
    int counts[2] = {0, 0};
    for (size_t i = 0; i < 60; i++) {
        Position root = Setup("fen " + suite[i].Fen);
        std::vector<Move> rootMoves = Generated(root);
        for (const Move& first : rootMoves) {
            Position child = After(root, first);
            int replies = 0;
            for (const Move& second : LeavesKingInCheck(child, first, InCheck(root)) ? std::vector<Move>{}
                                                                                       : Generated(child, 300)) {
                Position grandchild = After(child, second);
                if (replies == 3 || LeavesKingInCheck(grandchild, second, InCheck(child)))
                    continue;
                replies++;
                JudgeAgainstGenerators(grandchild, rootMoves, counts);
                JudgeAgainstGenerators(root, Generated(grandchild, 600), counts);
            }
        }
    }
    EXPECT_GT(counts[true], 20000);
    EXPECT_GT(counts[false], 20000);

    // A table move of another position is not made.
    Position pos = Fresh("startpos");
    FillHashSlot(pos.Key) = HashEntry{pos.Key.Hi, MoveOf("e4", "e5", Knight, Pawn), 0, UpperBound, 0};
    Branch(pos, 2, -30001, -30000);
    EXPECT_EQ(HashSlot(pos.Key).BestMove, MoveOf("a2", "a3", Pawn));
}

TEST_F(SearchTest, BoundsOfStoreLinesAndQuiescence)
{
    // The twenty moves of the start fill the store exactly up to its size.
    Position pos = Fresh("startpos");
    EXPECT_EQ(Branch(pos, 2, -32767, 32767, 1, MoveStoreSize - 20).Nodes, 20);
    EXPECT_EQ(Branch(pos, 2, -32767, 32767, 1, MoveStoreSize - 19).Nodes, 0);

    // A line ended early by a table answer shows none of an earlier move's line.
    pos = Fresh("fen 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    Position last = After(pos, MoveOf("e1", "f2", King));  // the last move generated
    FillHashSlot(last.Key) = HashEntry{last.Key.Hi, Move{}, -5000, Exact, 255};
    Move line[4];
    std::fill(line, line + 4, MoveOf("a1", "a2", Rook));
    EXPECT_EQ(Branch(pos, 4, -32767, 32767, 1, 0, line).Score, 5000);
    EXPECT_EQ(MovesToText(line, 0, 3, true), " e1f2");

    // Quiescence: mate at any ply, standing pat beyond the limit and at beta.
    pos = After(Setup("fen 6k1/5ppp/8/8/8/8/8/1R4K1 w - - 0 1"), MoveOf("b1", "b8", Rook));
    EvalState eval = Evaluation(pos);
    SelDepth = 0;
    EXPECT_EQ(SearchLeaf(pos, eval, 0, 7, true, -32767, 32767), 7 - MateScore);
    EXPECT_EQ(SelDepth, 7);
    EXPECT_EQ(SearchLeaf(pos, eval, 0, LeafPlyLimit + 1, true, -32767, 32767), eval.Score);
    EXPECT_EQ(SearchLeaf(pos, eval, 0, 3, false, -32767, eval.Score), eval.Score);
}
