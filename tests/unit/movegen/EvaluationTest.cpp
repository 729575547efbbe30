// The evaluation on piece-square tables of random 16-bit values: the table
// half follows the weights, sums wrap, and UpdateEvaluation agrees with a
// fresh EvaluatePosition after special moves and along random lines.
#include "MovegenTestSupport.h"
#include "board/DataFiles.h"
#include "movegen/Evaluation.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

// Loads random tables from temporary files; puts the old tables back after.
class EvaluationTest : public MovegenTest {
protected:
    int16_t Saved[13][128];
    std::string File = (std::filesystem::temp_directory_path() / ("talvoran-evaluation-table-" + std::to_string(getpid()) + ".txt")).string();

    void SetUp() override
    {
        MovegenTest::SetUp();
        std::memcpy(Saved, PieceSquare, sizeof Saved);
        std::mt19937 random(7);
        for (int kind = Pawn; kind <= King; kind++)
            LoadTable(kind, [&] { return random() % 65536; });
    }
    void TearDown() override
    {
        std::memcpy(PieceSquare, Saved, sizeof Saved);
        std::filesystem::remove(File);
        MovegenTest::TearDown();
    }
    template <class Value> void LoadTable(int kind, Value value)
    {
        std::ofstream file(File);
        for (int n = 0; n < 128; n++)
            file << value() << (n % 16 == 15 ? "\n" : " ");
        file.close();
        LoadPieceSquare(File, kind);
    }
    static EvalState Fresh(const Position& pos)
    {
        EvalState eval;
        EvaluatePosition(pos, eval);
        return eval;
    }
    // Plays the move and checks the updated state against a fresh one.
    static void PlayAndCompare(Position& pos, const Move& move, EvalState& eval, const std::string& where)
    {
        PlayMove(pos, move);
        UpdateEvaluation(pos, move, eval);
        EvalState fresh = Fresh(pos);
        EXPECT_EQ(eval.Score, fresh.Score) << where;
        EXPECT_EQ(eval.Weight[White] * 256 + eval.Weight[Black], fresh.Weight[White] * 256 + fresh.Weight[Black]) << where;
    }
};

int16_t Value(int column, const char* square, int half) { return PieceSquare[column][SquareOf(square) | half]; }

}  // namespace

TEST_F(EvaluationTest, TableHalfFollowsTheWeightsAndSumsWrap)
{
    EvalState start = Fresh(At("startpos"));
    EXPECT_EQ(start.Weight[White] * 100 + start.Weight[Black], 1313);
    EXPECT_EQ(start.Score, 0);
    EXPECT_EQ(Fresh(At("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1")).Score, 0);
    // king and queen weigh 5: endgame half; a knight more: middle game
    EXPECT_EQ(Fresh(At("4k3/8/8/8/8/8/8/4K2Q b - - 0 1")).Score,
              int16_t(Value(12, "e8", 8) - Value(6, "e1", 8) - Value(5, "h1", 8)));
    EXPECT_EQ(Fresh(At("4k3/8/8/8/8/8/8/3NK2Q w - - 0 1")).Score,
              int16_t(Value(6, "e1", 0) + Value(5, "h1", 0) + Value(2, "d1", 0) - Value(12, "e8", 0)));

    LoadTable(Queen, [] { return 30000; });
    LoadTable(King, [] { return 0; });
    EXPECT_EQ(Fresh(At("4k3/8/8/8/8/8/8/QQ2K3 w - - 0 1")).Score, -5536);
    EXPECT_EQ(Fresh(At("4k3/8/8/8/8/8/8/QQ2K3 b - - 0 1")).Score, 5536);
}

TEST_F(EvaluationTest, SpecialMovesUpdateLikeAFreshEvaluation)
{
    const std::pair<const char*, const char*> cases[] = {
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6"},
        {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1", "e4d3"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8"},
        {"3n1r2/4P3/8/8/8/8/8/K6k w - - 0 1", "e7f8q"},
        {"4k3/P7/8/8/8/8/8/Q3K3 w - - 0 1", "a7a8q"},   // weight 5 to 10: middle game
        {"k7/8/8/8/8/8/8/r2NQK2 b - - 0 1", "a1d1"},     // weight 6 to 5: endgame
    };
    for (const auto& [fen, text] : cases) {
        Position pos = At(fen);
        EvalState eval = Fresh(pos);
        std::vector<Move> legal = LegalMoves(pos);
        auto move = std::find_if(legal.begin(), legal.end(), [&](const Move& m) { return MoveText(m) == text; });
        ASSERT_NE(move, legal.end()) << fen << " " << text;
        PlayAndCompare(pos, *move, eval, std::string(fen) + " " + text);
    }
}

TEST_F(EvaluationTest, UpdatesAgreeAlongRandomLines)
{
    std::mt19937 random(99);
    int castling = 0, promotions = 0, phaseSwitches = 0;
    for (const PerftCase& entry : ReadPerftSuite(TALVORAN_TEST_DATA "/perft.epd")) {
        Position pos = At(entry.Fen);
        EvalState eval = Fresh(pos);
        for (const Move& move : RandomLine(pos, random, 120)) {
            bool endgame = eval.Weight[White] <= 5 && eval.Weight[Black] <= 5;
            PlayAndCompare(pos, move, eval, entry.Fen + " " + MoveText(move));
            castling += (move.Flags & 48) != 0;
            promotions += PromotionKind(move) != 0;
            phaseSwitches += endgame != (eval.Weight[White] <= 5 && eval.Weight[Black] <= 5);
        }
    }
    EXPECT_GT(castling, 0);
    EXPECT_GT(promotions, 0);
    EXPECT_GT(phaseSwitches, 0);
}
