// The position and go commands: setup fields after FEN and move texts, the
// refusals, the game positions marked in the hash table, and the clock words.
#include "FrontendTestSupport.h"

#include <climits>

namespace {

Bits64 CurrentKey()
{
    return ComputeKey(SetupBoard, SetupCastling, SetupEnPassant, SetupSide);
}

// An entry seeded for the position: its check value, exact, depth 255, score 0.
bool IsMarked(Bits64 key)
{
    const HashEntry& entry = HashSlot(key);
    return entry.Check == key.Hi && entry.Bound == Exact && entry.Depth == GameDepth && entry.Score == 0;
}

int MarkedEntries()
{
    int count = 0;
    for (int32_t i = 0; i <= HashMask; i++)
        count += HashTable[i].Depth == GameDepth;
    return count;
}

const char* const BareKings = "fen 4k3/8/8/8/8/8/8/4K3 w - - 0 1";

}  // namespace

using PositionCommand = FrontendStateTest;
using GoCommand = FrontendStateTest;

TEST_F(PositionCommand, MarksThePositionsSinceTheLastCaptureOrPawnMove)
{
    ASSERT_FALSE(Position("startpos"));
    EXPECT_EQ(SetupBoard[4], 14);
    EXPECT_EQ(SetupEnPassant, 64);
    EXPECT_EQ(MarkedEntries(), 1);
    EXPECT_TRUE(IsMarked(CurrentKey()));

    ASSERT_FALSE(Position("startpos moves e2e4 e7e5"));
    EXPECT_EQ(SetupSide, White);
    EXPECT_EQ(SetupEnPassant, 20);
    EXPECT_EQ(SetupHalfmoves, 0);
    EXPECT_EQ(MarkedEntries(), 1);
    EXPECT_TRUE(IsMarked(CurrentKey()));

    // a knight out and back by each side: the start, the three positions in
    // between and the start again, which is also the current position
    std::string command = "startpos moves";
    std::vector<Bits64> keys;
    for (const char* move : {"", " g1f3", " g8f6", " f3g1"}) {
        ASSERT_FALSE(Position(command += move));
        keys.push_back(CurrentKey());
    }
    ASSERT_FALSE(Position(command + " f6g8"));
    EXPECT_EQ(SetupHalfmoves, 4);
    EXPECT_TRUE(CurrentKey() == keys[0]);
    EXPECT_EQ(MarkedEntries(), 4);
    for (Bits64 key : keys)
        EXPECT_TRUE(IsMarked(key));
}

TEST_F(PositionCommand, MoveTextsFollowTheRulesOfEachPiece)
{
    ASSERT_FALSE(Position("startpos moves e2e4 g8f6 g1f3 f6g8 f1c4 g8f6 e1g1"));
    EXPECT_EQ(SetupBoard[62], 6);
    EXPECT_EQ(SetupBoard[61], 4);
    EXPECT_EQ(SetupBoard[63], 0);
    EXPECT_EQ(SetupCastling[White], 0);
    EXPECT_EQ(SetupCastling[Black], 3);

    ASSERT_FALSE(Position("startpos moves e2e4 a7a6 e4e5 d7d5 e5d6"));
    EXPECT_EQ(SetupBoard[19], 1);
    EXPECT_EQ(SetupBoard[27], 0) << "the pawn taken en passant";

    // a black piece while white is to move is passed over; white then moves
    ASSERT_FALSE(Position("startpos moves e7e5 e2e4"));
    EXPECT_EQ(SetupBoard[12], 9);
    EXPECT_EQ(SetupBoard[36], 1);
    EXPECT_EQ(SetupSide, Black);

    // without startpos or fen the moves go on from the previous position
    ASSERT_FALSE(Position("moves e7e5"));
    EXPECT_EQ(SetupBoard[28], 9);
    EXPECT_EQ(SetupSide, White);
    EXPECT_EQ(LastAccepted.Board[28], 9);
}

TEST_F(PositionCommand, PromotionLetters)
{
    EXPECT_TRUE(Position("fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8"));
    const struct {
        const char* Letter;
        int Code;
    } cases[] = {{"r", 4}, {"b", 3}, {"n", 2}, {"q", 5}, {"Q", 5}, {"R", 5}, {"x", 5}};
    for (const auto& c : cases) {
        ASSERT_FALSE(Position(std::string("fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8") + c.Letter));
        EXPECT_EQ(SetupBoard[0], c.Code) << c.Letter;
    }
}

TEST_F(PositionCommand, FenFieldsAreReadLoosely)
{
    ASSERT_FALSE(Position("fen junk 4k3/8/8/3pP3/8/8/8/4K3 B - d6 42 1"));
    EXPECT_EQ(SetupSide, White) << "only b means black";
    EXPECT_EQ(SetupEnPassant, 19);
    EXPECT_EQ(SetupHalfmoves, 42);
    for (const char* clock : {"150", "-3"}) {
        ASSERT_FALSE(Position(std::string("fen 4k3/8/8/8/8/8/8/4K3 b - - ") + clock + " 1"));
        EXPECT_EQ(SetupHalfmoves, 0) << clock;
        EXPECT_EQ(SetupSide, Black);
    }
    // four fields and "moves": the clock word is "moves", no move is played
    ASSERT_FALSE(Position("fen 4k3/8/8/8/8/8/8/4K3 w - - moves e1e2"));
    EXPECT_EQ(SetupBoard[60], 6);
}

TEST_F(PositionCommand, RefusalsKeepWhatTheTableSays)
{
    ASSERT_FALSE(Position("startpos moves e2e4"));
    const AcceptedSetup accepted = LastAccepted;
    uint8_t board[64];
    std::memcpy(board, SetupBoard, sizeof board);

    EXPECT_TRUE(Position("fen 4k3/8/8/8/8/8/8/4K3 w - -"));
    EXPECT_EQ(std::memcmp(board, SetupBoard, 64), 0);
    ASSERT_TRUE(IsPlacement("4k3/8/8/8/8/8/8/4K3R"));
    EXPECT_TRUE(Position("fen 4k3/8/8/8/8/8/8/4K3R w - - 0 1")) << "runs past h1";
    EXPECT_EQ(std::memcmp(board, SetupBoard, 64), 0);

    EXPECT_TRUE(Position("fen 4k3/8/8/8/8/8/8/4K3 w - - 99 1 moves e1e2 e8e7"));
    EXPECT_EQ(SetupHalfmoves, 101) << "left on the refused move";
    EXPECT_EQ(std::memcmp(&accepted, &LastAccepted, sizeof accepted), 0);
}

TEST_F(GoCommand, TheClockOfTheSideToMoveIsTaken)
{
    ASSERT_FALSE(Position("startpos"));
    Go("wtime 640 btime 900");
    EXPECT_EQ(RemainingTime, 640);
    ASSERT_FALSE(Position("startpos moves e2e4"));
    Go("wtime 640 btime 900 winc 5");
    EXPECT_EQ(RemainingTime, 900);

    ASSERT_FALSE(Position(BareKings));
    Go("wtime 500");
    for (const char* words : {"depth 5", "btime 100", "movetime 7 wtime", "wtime -5"})
        Go(words);
    EXPECT_EQ(RemainingTime, 500);
    Go("wtime -5 btime 700");
    EXPECT_EQ(RemainingTime, 700);
    Go("wtime  12ab");
    EXPECT_EQ(RemainingTime, 12);
    Go("wtime 99999999999");
    EXPECT_EQ(RemainingTime, INT32_MAX);
}

TEST_F(GoCommand, PonderAndInfiniteLiftTheTimeLimitAnywhere)
{
    ASSERT_FALSE(Position(BareKings));
    Go("wtime 100 ponder");
    EXPECT_TRUE(NoTimeLimit);
    EXPECT_EQ(RemainingTime, 100);
    Go("wtime 200");
    EXPECT_FALSE(NoTimeLimit);
    Go("infinite");
    EXPECT_TRUE(NoTimeLimit);
}
