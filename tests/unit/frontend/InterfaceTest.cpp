// The dispatcher inside the test process: word splitting, which word selects
// a command in which mode, and the replies written to standard output.
#include "FrontendTestSupport.h"

namespace {

// Dispatches one line in the mode and returns what it wrote.
std::string Dispatch(const std::string& line, int mode)
{
    CapturedStream output(1);
    InputBuffer = line + "\n";
    DispatchCommand(mode);
    EXPECT_EQ(InputBuffer, "");
    return output.Text();
}

}  // namespace

using Dispatcher = FrontendStateTest;

TEST(Words, BlanksAndSplitting)
{
    for (int code : {8, 9, 10, 11, 12, 13, 32})
        EXPECT_TRUE(IsBlank(code)) << code;
    for (int code : {0, 7, 14, 31, 33, 160})
        EXPECT_FALSE(IsBlank(code)) << code;
    EXPECT_EQ(FirstWord("\t\x0b go\tinfinite"), "go");
    EXPECT_EQ(FirstWord(" \r"), "");
    EXPECT_EQ(SplitWords("go  infinite\t"), (WordList{"go", "", "infinite"}));
    EXPECT_EQ(SplitWords(""), (WordList{""}));
}

TEST_F(Dispatcher, HandshakeReplies)
{
    EXPECT_EQ(Dispatch("uci", IdleMode), "id name Talvoran 101 C null\rid author Ornel Tavask\ruciok\r");
    EXPECT_EQ(Dispatch("xyz  isready", IdleMode), "readyok\r");
    EXPECT_EQ(Dispatch("isready", SearchMode), "readyok\r");
    EXPECT_EQ(Dispatch("setoption name Hash value 64", IdleMode), "");
    EXPECT_EQ(Dispatch("position fen 8/8/8/8/8/8/8/8 w - - 0 1", IdleMode),
              "info string Error: absurd position or move\r");
}

TEST_F(Dispatcher, CommandsActOnlyInTheirMode)
{
    StopRequested = false;
    NoTimeLimit = true;
    for (const char* line : {"ISREADY", "Quit", "GO", "stop", "ponderhit", "", "   "})
        EXPECT_EQ(Dispatch(line, IdleMode), "") << line;
    EXPECT_FALSE(StopRequested);
    EXPECT_TRUE(NoTimeLimit);

    ASSERT_FALSE(Position("startpos"));
    for (const char* line : {"uci", "setoption", "position startpos moves e2e4", "go infinite"})
        EXPECT_EQ(Dispatch(line, SearchMode), "") << line;
    EXPECT_EQ(SetupBoard[52], 1) << "a position line while searching is dropped";
    EXPECT_TRUE(NoTimeLimit);

    Dispatch("ponderhit", SearchMode);
    EXPECT_FALSE(NoTimeLimit);
    Dispatch("go stop", SearchMode);
    EXPECT_TRUE(StopRequested);
}
