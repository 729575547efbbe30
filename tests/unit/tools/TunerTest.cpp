// The tuner fits what the engine computes: its score is the evaluation's, it
// finds a table that labelled positions were made from, and the files it
// writes load back to the values it fitted.
#include "../search/SearchTestSupport.h"

#include "tools/tune/Tuner.h"

#include <filesystem>
#include <random>

using Tuner = SearchTest;

// Tables of random values, rounded as the tuner leaves them.
static TuneTables RandomTables(uint64_t seed)
{
    std::mt19937_64 random(seed);
    TuneTables tables{};
    for (int kind = Pawn; kind <= King; kind++)
        for (int n = 0; n < 128; n++)
            tables.Values[kind - 1][n] = static_cast<double>(random() % 400) + (kind == King ? -200 : kind * 100);
    FinishTables(tables);
    return tables;
}

TEST_F(Tuner, WrittenFilesLoadBackAndScoreAsTheEvaluation)
{
    const TuneTables tables = RandomTables(7);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "talvoran-tuner-test";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(WriteTables(tables, folder.string()));
    LoadTables(folder.string());
    std::filesystem::remove_all(folder);
    const TuneTables loaded = LoadedTables();
    for (int kind = Pawn; kind <= King; kind++)
        for (int n = 0; n < 128; n++)
            ASSERT_EQ(loaded.Values[kind - 1][n], tables.Values[kind - 1][n]) << kind << " " << n;
    EXPECT_EQ(tables.Values[Pawn - 1][3], 0);      // no pawn on rank 8
    EXPECT_EQ(tables.Values[Pawn - 1][0x7C], 0);   // nor on rank 1, endgame half
    EXPECT_GE(*std::min_element(&tables.Values[King - 1][0], &tables.Values[King - 1][128]), 0);

    // middle game; endgames with a queen each (weights 5 and 5), with one
    // side's knight added (6: middle game again), and with bare pawns
    const char* const fens[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq - 0 1",
        "4k3/2q2pp1/8/3p4/8/2P5/1P1Q1P2/6K1 w - - 0 1",
        "4k3/2q2pp1/8/3p4/8/2P2N2/1P1Q1P2/6K1 b - - 0 1",
        "8/7p/5k2/5p2/p1p2P2/P2pPK2/1P5P/8 b - - 0 1",
    };
    for (const char* fen : fens) {
        Position pos;
        ASSERT_TRUE(SetUpFen(fen, pos)) << fen;
        EvalState eval;
        EvaluatePosition(pos, eval);
        const double white = WhiteScore(PositionCells(pos), tables);
        EXPECT_EQ(eval.Score, pos.Side == White ? white : -white) << fen;
    }
}

TEST_F(Tuner, RecoversTheTableThatLabelledThePositions)
{
    // both kings, four pairs of like pieces and one more piece, at random
    // places in either half, labelled with the probability of the known table
    const TuneTables known = RandomTables(11);
    std::mt19937_64 random(5);
    auto cell = [&random](int kind, int offset, bool white) {
        int row = kind == Pawn ? 1 + static_cast<int>(random() % 6) : static_cast<int>(random() % 8);
        int index = 1 + (kind - 1) * 128 + row * 16 + static_cast<int>(random() % 8) + offset;
        return static_cast<int16_t>(white ? index : -index);
    };
    std::vector<TunePosition> training(20000);
    for (TunePosition& position : training) {
        int offset = random() % 2 * 8;
        position.Cells[position.Count++] = cell(King, offset, true);
        position.Cells[position.Count++] = cell(King, offset, false);
        for (int pair = 0; pair < 4; pair++) {
            int kind = static_cast<int>(random() % 5) + 1;
            position.Cells[position.Count++] = cell(kind, offset, true);
            position.Cells[position.Count++] = cell(kind, offset, false);
        }
        position.Cells[position.Count++] = cell(static_cast<int>(random() % 5) + 1, offset, random() % 2 == 0);
        position.Target = static_cast<float>(WinProbability(1.0, WhiteScore(position, known)));
    }
    TuneTables fitted = known;  // a start 100 off either way
    for (int kind = Pawn; kind <= King; kind++)
        for (int n = 0; n < 128; n++)
            fitted.Values[kind - 1][n] += random() % 2 == 0 ? 100 : -100;
    EXPECT_NEAR(FitScale(training, known), 1.0, 0.01);
    TuneSettings settings;
    settings.Passes = 30;
    settings.BatchSize = 256;
    settings.Ridge = 0;  // exact labels: nothing to hold back
    std::ostringstream progress;
    FitTables(training, {}, fitted, 1.0, settings, progress);
    EXPECT_NE(progress.str().find("pass 30/30"), std::string::npos);
    double largest = 0;
    for (int kind = Pawn; kind < King; kind++)
        for (int n = 0; n < 128; n++)
            if (kind != Pawn || (n / 16 != 0 && n / 16 != 7))
                largest = std::max(largest, std::abs(fitted.Values[kind - 1][n] - known.Values[kind - 1][n]));
    EXPECT_LT(largest, 25);
    EXPECT_LT(MeanError(training, fitted, 1.0), 1e-4);
}

TEST_F(Tuner, RareCellsTakeTheirFittedNeighboursValues)
{
    // the knight's middle game rises 10 a rank towards rank 8; a8, h8, a7,
    // f7 and d4 were too rare to fit and hold rubbish
    TuneTables tables = MaterialTables();
    std::vector<int> seen(6 * 128, 500);
    double* knight = tables.Values[Knight - 1];
    for (int row = 0; row < 8; row++)
        for (int column = 0; column < 8; column++)
            knight[row * 16 + column] = 400 - 10 * row;
    for (int cell : {0x00, 0x07, 0x10, 0x15, 0x44}) {
        knight[cell] = 9999;
        seen[(Knight - 1) * 128 + cell] = 3;
    }
    seen[(Pawn - 1) * 128 + 0x16] = 0;  // a pawn on g7 in the middle game, at its start
    FillRareCells(tables, seen, 100);
    EXPECT_NEAR(knight[0x44], 360, 1e-9);  // the mean of c4, e4, d5 and d3
    EXPECT_NEAR(knight[0x15], 390, 1e-9);
    EXPECT_NEAR(knight[0x07], 395, 1e-9);
    EXPECT_NEAR(knight[0x10], 388, 1e-9);  // a7 and a8 lean on each other
    EXPECT_NEAR(knight[0x00], 394, 1e-9);
    EXPECT_EQ(knight[0x08], 320);  // the endgame half is untouched
    EXPECT_EQ(tables.Values[Pawn - 1][0x16], 100);

    int neighbours[4];
    EXPECT_EQ(CellNeighbours((Pawn - 1) * 128 + 0x18, neighbours), 2);  // a7, endgame: b7 and a6
    EXPECT_EQ(CellNeighbours((Pawn - 1) * 128 + 0x08, neighbours), 0);  // no pawn on rank 8
}
