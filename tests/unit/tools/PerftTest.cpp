// Perft against published leaf counts: the whole suite within a per-position
// budget, six well-known positions, the divide breakdown, and a walk of every
// path that checks the position after each PlayMove and TakeBack.
#include "board/Check.h"
#include "board/Consistency.h"
#include "board/DataFiles.h"
#include "board/Initialize.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"
#include "frontend/Decript.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "search/HashTable.h"
#include "tools/perft/Perft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

#ifdef TALVORAN_CHECKS
constexpr uint64_t LeafBudget = 300000;  // every move is checked: keep it small
#else
constexpr uint64_t LeafBudget = 50000000;
#endif

struct PerftCount {
    const char* Fen;
    int Depth;
    uint64_t Leaves;
};

// Loads mixed, non-zero keys so that key faults show; every key is zero
// again afterwards and HashMask as it was.
class PerftTest : public ::testing::Test {
protected:
    int32_t SavedMask = HashMask;
    std::string KeyFile = (std::filesystem::temp_directory_path() / "talvoran-perft-keys.bin").string();

    void SetUp() override
    {
        InitConstantTables();
        HashMask = 0x7FFFFFFF;
        std::ofstream file(KeyFile, std::ios::binary);
        for (uint32_t i = 0; i < 781 * 2; i++) {
            uint32_t half = (i * 2654435761u) ^ (i << 7) ^ 0x5BD1E995u;
            file.write(reinterpret_cast<const char*>(&half), 4);
        }
        file.close();
        LoadRandomKeys(KeyFile);
    }
    void TearDown() override
    {
        std::ofstream(KeyFile, std::ios::trunc).close();
        LoadRandomKeys(KeyFile);
        std::filesystem::remove(KeyFile);
        HashMask = SavedMask;
        SetStartPosition();
    }
    static Position At(const std::string& fen)
    {
        Position pos{};
        EXPECT_TRUE(PositionFromFen(fen, pos)) << fen;
        return pos;
    }
};

// The position with the list entries behind each king sorted (captures taken
// back reorder them), unused slots and all shadow cells cleared.
Position Canonical(Position pos)
{
    for (int colour = White; colour <= Black; colour++) {
        uint8_t* list = pos.PieceList + colour * 32;
        int end = pos.ListEnd[colour] - colour * 32;
        std::vector<std::pair<uint8_t, uint8_t>> entries;
        for (int slot = 2; slot <= end; slot += 2)
            entries.emplace_back(list[slot], list[slot + 1]);
        std::sort(entries.begin(), entries.end());
        std::memset(list + 2, 0, 30);
        for (size_t k = 0; k < entries.size(); k++)
            std::tie(list[2 * k + 2], list[2 * k + 3]) = entries[k];
    }
    for (int square = 8; square < 128; square += 16)
        std::memset(pos.Board + square, 0, 8);
    return pos;
}

// Perft that checks the position after every PlayMove and TakeBack and that
// TakeBack restores it. Stops at the first fault, which names the path.
uint64_t CheckedLeaves(Position& pos, int depth, bool inCheck, int first, std::string& fault)
{
    int end = GenerateQuietMoves(pos, GenerateCaptures(pos, first), inCheck);
    uint64_t leaves = 0;
    for (int i = first; i < end && fault.empty(); i++) {
        const Move& move = MoveList[i];
        Position before = Canonical(pos);
        std::string problem;
        PlayMove(pos, move);
        if (!PositionIsConsistent(pos, &problem))
            fault = "played: " + problem;
        else if (!LeavesKingInCheck(pos, move, inCheck))
            leaves += depth == 1 ? 1 : CheckedLeaves(pos, depth - 1, GivesCheck(pos, move), end, fault);
        TakeBack(pos, move, SaveUndoInfo(before), before.Key);
        Position after = Canonical(pos);
        if (fault.empty() && !PositionIsConsistent(pos, &problem))
            fault = "taken back: " + problem;
        if (fault.empty() && (std::memcmp(&before, &after, offsetof(Position, XSide) + 1) != 0 || before.Key != after.Key))
            fault = "not restored";
        if (!fault.empty())
            fault = MoveText(move) + " " + fault;
    }
    return leaves;
}

}  // namespace

TEST_F(PerftTest, SuiteMatchesPublishedCountsWithinBudget)
{
    std::vector<PerftCase> suite = ReadPerftSuite(TALVORAN_TEST_DATA "/perft.epd");
    ASSERT_EQ(suite.size(), 128u);
    for (const PerftCase& entry : suite) {
        Position pos = At(entry.Fen);
        auto deepest = std::find_if(entry.Counts.rbegin(), entry.Counts.rend(),
                                    [](const auto& count) { return count.second <= LeafBudget; });
        ASSERT_NE(deepest, entry.Counts.rend()) << entry.Fen;
        EXPECT_EQ(Perft(pos, deepest->first), deepest->second) << entry.Fen << " depth " << deepest->first;
    }
}

TEST_F(PerftTest, WellKnownPositionsAndDivide)
{
    const PerftCount cases[] = {
        {"startpos", 5, 4865609},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4, 4085603},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 6, 11030083},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 5, 15833292},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 5, 89941194},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P3/P1NP1N2/1PP1QPP1/R4RK1 w - - 0 10", 4, 3065190},
    };
    for (const PerftCount& c : cases) {
        Position pos = At(c.Fen);
        if (c.Leaves <= 2 * LeafBudget) {
            EXPECT_EQ(Perft(pos, c.Depth), c.Leaves) << c.Fen;
        }
    }
    Position pos = At(cases[1].Fen);
    std::vector<RootMoveCount> lines;
    EXPECT_EQ(DividePerft(pos, 2, lines), 2039u);
    ASSERT_EQ(lines.size(), 48u);
    EXPECT_EQ(MoveText(lines.back().RootMove) + " " + std::to_string(lines.back().Leaves), "e1f1 43");
    EXPECT_EQ(Perft(pos, 0), 1u);
}

TEST_F(PerftTest, EveryPathKeepsThePositionConsistent)
{
    const PerftCount cases[] = {
        {"startpos", 3, 8902},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
        {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", 4, 182838},
    };
    for (const PerftCount& c : cases) {
        Position pos = At(c.Fen);
        ASSERT_TRUE(PositionIsConsistent(pos)) << c.Fen;
        std::string fault;
        EXPECT_EQ(CheckedLeaves(pos, c.Depth, IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide), 0, fault),
                  c.Leaves) << c.Fen;
        EXPECT_EQ(fault, "") << c.Fen;
    }
}
