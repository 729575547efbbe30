// The search under key collisions. With every random key zero, every
// position has key 0 and finds whatever entry the last node of any position
// stored; fifty varied positions searched one after the other must each come
// back unchanged and answer a legal move. And a node whose own entry holds a
// move of another position must never make it: its result is the one it
// gets with an empty entry.
#include "SearchTestSupport.h"

#include "board/Check.h"
#include "board/Consistency.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "tools/perft/Perft.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int CollisionDepth = 4;

// The first four fields of every step-th line of an EPD file, with clocks.
std::vector<std::string> EpdPositions(const std::string& path, int step)
{
    std::vector<std::string> fens;
    std::ifstream file(path);
    int index = 0;
    for (std::string line; std::getline(file, line); index++) {
        std::istringstream words(line);
        std::string placement, side, castling, ep;
        if (index % step == 0 && words >> placement >> side >> castling >> ep)
            fens.push_back("fen " + placement + " " + side + " " + castling + " " + ep + " 0 1");
    }
    return fens;
}

// Tactical positions, openings, and positions with a mate, a stalemate, an
// en-passant capture, promotions and both castlings to hand.
std::vector<std::string> VariedPositions()
{
    std::vector<std::string> positions = EpdPositions(TALVORAN_TEST_DATA "/wac.epd", 15);
    std::vector<std::string> openings = EpdPositions(TALVORAN_TEST_DATA "/openings.epd", 10);
    positions.insert(positions.end(), openings.begin(), openings.end());
    for (const char* special : {
             "startpos",
             "startpos moves e2e4 d7d5 e4e5 f7f5",
             "fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1",
             "fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",
             "fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
             "fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1",
             "fen n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
             "fen 8/P6k/8/8/8/8/1p6/K7 w - - 0 1",
             "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
             "fen 4k3/8/8/8/8/8/8/4K3 w - - 0 1",
         })
        positions.push_back(special);
    return positions;
}

std::vector<std::string> LegalMoves(Position& pos)
{
    std::vector<RootMoveCount> lines;
    DividePerft(pos, 1, lines);
    std::vector<std::string> texts;
    for (const RootMoveCount& line : lines)
        texts.push_back(" " + MoveText(line.RootMove));
    return texts;
}

// Every move the generators list in the positions, each once.
std::vector<Move> MovePool(const std::vector<::Position>& positions)
{
    std::vector<Move> pool;
    for (::Position pos : positions) {
        bool inCheck = IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide);
        int end = GenerateQuietMoves(pos, GenerateCaptures(pos, 0), inCheck);
        for (int i = 0; i < end; i++) {
            if (std::find(pool.begin(), pool.end(), MoveList[i]) == pool.end())
                pool.push_back(MoveList[i]);
        }
    }
    return pool;
}

// Same pieces on the same squares, same state and key (list order aside).
bool SameState(const Position& a, const Position& b)
{
    for (int square = 0; square < 128; square++) {
        if (IsOnBoard(square) && a.Board[square] != b.Board[square])
            return false;
    }
    return a.Castling[0] == b.Castling[0] && a.Castling[1] == b.Castling[1] && a.EpSquare == b.EpSquare &&
           a.HalfmoveClock == b.HalfmoveClock && a.Side == b.Side && a.Key == b.Key &&
           a.ListEnd[0] == b.ListEnd[0] && a.ListEnd[1] == b.ListEnd[1] && a.PawnMask[0] == b.PawnMask[0] &&
           a.PawnMask[1] == b.PawnMask[1] && a.MaterialTally[0] == b.MaterialTally[0] &&
           a.MaterialTally[1] == b.MaterialTally[1];
}

}  // namespace

// Every key zero (as with Random.bin missing); afterwards the shipped table
// size is made again and the fixture zeroes the keys as usual.
class CollisionTest : public SearchTest {
protected:
    std::string TableFile = (std::filesystem::temp_directory_path() /
                             ("talvoran-collision-" + std::to_string(getpid()) + ".ini")).string();

    void SetUp() override
    {
        SearchTest::SetUp();
        LoadRandomKeys("/dev/null");
        DepthLimit = CollisionDepth;
        InfoLinesOn = false;
        RemainingTime = std::numeric_limits<int32_t>::max();
    }
    void TearDown() override
    {
        CreateHashTable(ShippedData("Hashtable.ini"));
        std::filesystem::remove(TableFile);
        SearchTest::TearDown();
    }

    void UseOneEntryTable()
    {
        std::ofstream(TableFile) << "0\n";
        CreateHashTable(TableFile);
        ASSERT_EQ(HashMask, 0);
    }

    // Searches every position in turn. The position command clears the
    // table; entry 0 is put back as the previous search left it, so that the
    // next search starts on a foreign entry.
    void SearchAllPositions()
    {
        for (const std::string& text : VariedPositions()) {
            HashEntry previous = HashTable[0];
            ::Position pos = Setup(text);
            FillHashSlot(Bits64{}) = previous;
            const ::Position before = pos;
            std::vector<std::string> legal = LegalMoves(pos);
            PipedInput quiet;
            StopRequested = false;
            std::string best = SearchRoot(pos);
            std::string problem;
            EXPECT_TRUE(PositionIsConsistent(pos, &problem)) << text << ": " << problem;
            EXPECT_TRUE(SameState(pos, before)) << text;
            if (legal.empty())
                EXPECT_EQ(best, " 0000") << text;
            else
                EXPECT_NE(std::find(legal.begin(), legal.end(), best), legal.end()) << text << ":" << best;
        }
    }
};

// A depth-1 node of every position, once with an empty entry and once with
// an entry of its own key that holds a move of another position (about a
// hundred such moves each). The entry gives no score, only the move.
class ForeignTableMoveTest : public CollisionTest {
protected:
    struct NodeResult {
        int16_t Score;
        Move Best;
    };

    static NodeResult SearchNode(::Position& pos, const HashEntry& entry)
    {
        FillHashSlot(pos.Key) = entry;
        EvalState eval = Evaluation(pos);
        bool inCheck = IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide);
        Move line[MaxDepth] = {};
        StopRequested = false;
        int16_t score = SearchBranch(pos, eval, 0, 1, 1, inCheck, -32767, 32767, line);
        FillHashSlot(pos.Key) = HashEntry{};
        return NodeResult{score, line[0]};
    }

    void SearchWithForeignMoves()
    {
        std::vector<::Position> positions;
        for (const std::string& text : VariedPositions())
            positions.push_back(Setup(text));
        std::vector<Move> pool = MovePool(positions);
        ClearHashTable();
        PipedInput quiet;
        for (size_t p = 0; p < positions.size(); p++) {
            ::Position& pos = positions[p];
            const ::Position before = pos;
            std::vector<std::string> legal = LegalMoves(pos);
            NodeResult plain = SearchNode(pos, HashEntry{});
            for (size_t m = p % 17; m < pool.size(); m += 17) {
                HashEntry foreign{pos.Key.Hi, pool[m], -32767, LowerBound, 0};
                NodeResult fed = SearchNode(pos, foreign);
                std::string text = " " + MoveText(pool[m]);
                ASSERT_EQ(fed.Score, plain.Score) << p << " fed" << text;
                if (fed.Best.Kinds != 0) {
                    EXPECT_NE(std::find(legal.begin(), legal.end(), " " + MoveText(fed.Best)), legal.end())
                        << p << " fed" << text;
                }
                std::string problem;
                ASSERT_TRUE(PositionIsConsistent(pos, &problem)) << p << " fed" << text << ": " << problem;
                ASSERT_TRUE(SameState(pos, before)) << p << " fed" << text;
            }
        }
    }
};

TEST_F(ForeignTableMoveTest, ANodeNeverMakesAnotherPositionsMove)
{
    LoadRandomKeys(ShippedData("Random.bin"));
    SearchWithForeignMoves();
}

TEST_F(ForeignTableMoveTest, ANodeNeverMakesAnotherPositionsMoveUnderKeyZero)
{
    SearchWithForeignMoves();
}

TEST_F(CollisionTest, FiftyPositionsSharingKeyZero)
{
    ASSERT_EQ(VariedPositions().size(), 50u);
    SearchAllPositions();
}

TEST_F(CollisionTest, FiftyPositionsSharingOneEntryAndKeyZero)
{
    UseOneEntryTable();
    SearchAllPositions();
}

// Real keys but one entry: every node overwrites the one entry under the
// store rule and meets the other positions' check values.
TEST_F(CollisionTest, FiftyPositionsSharingOneEntry)
{
    UseOneEntryTable();
    LoadRandomKeys(ShippedData("Random.bin"));
    SearchAllPositions();
}
