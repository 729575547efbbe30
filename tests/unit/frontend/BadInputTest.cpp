// Malformed input through the dispatcher: lines without a command, stray
// words around one, position commands that must be refused or that are read
// loosely, and go when there is nothing sound to search. Each case is a row
// of docs/bad-input.md.
#include "../search/SearchTestSupport.h"

#include "board/Mapper.h"

#include <sys/wait.h>

namespace {

// What the engine's state looks like from outside: the setup fields, the
// position go would search, the clock and the two search flags.
struct Snapshot {
    uint8_t Board[64];
    uint8_t Rest[5];
    AcceptedSetup Accepted;
    int32_t Time;
    bool Stop, NoLimit;

    static Snapshot Take()
    {
        Snapshot s{};
        std::memcpy(s.Board, SetupBoard, 64);
        s.Rest[0] = SetupCastling[0], s.Rest[1] = SetupCastling[1], s.Rest[2] = SetupEnPassant;
        s.Rest[3] = SetupHalfmoves, s.Rest[4] = SetupSide;
        s.Accepted = LastAccepted;
        s.Time = RemainingTime, s.Stop = StopRequested, s.NoLimit = NoTimeLimit;
        return s;
    }
    bool operator==(const Snapshot& o) const
    {
        return std::memcmp(Board, o.Board, 64) == 0 && std::memcmp(Rest, o.Rest, 5) == 0 &&
               std::memcmp(&Accepted, &o.Accepted, sizeof Accepted) == 0 && Time == o.Time && Stop == o.Stop &&
               NoLimit == o.NoLimit;
    }
};

const char* const ErrorLine = "info string Error: absurd position or move\r";

}  // namespace

// Searches stop after one iteration and write only their best move.
class BadInput : public SearchTest {
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        DepthLimit = 1;
        InfoLinesOn = false;
    }

    // Dispatches one line in the mode, with a quiet standard input for a
    // search it may start, and returns everything written.
    static std::string Dispatch(const std::string& line, int mode = IdleMode)
    {
        PipedInput quiet;
        CapturedStream output(1);
        InputBuffer = line + "\n";
        DispatchCommand(mode);
        return output.Text();
    }

    // The game as it is before any position command.
    static void ForgetPosition()
    {
        std::memset(SetupBoard, 0, 64);
        SetupCastling[0] = SetupCastling[1] = SetupEnPassant = SetupHalfmoves = SetupSide = 0;
        LastAccepted = AcceptedSetup{};
    }
};

TEST_F(BadInput, LinesWithoutACommandChangeNothing)
{
    ASSERT_EQ(Dispatch("position startpos moves e2e4"), "");
    const Snapshot before = Snapshot::Take();
    for (const char* line : {"", "   \t ", "xyzzy", "ucinewgame", "debug on", "register later", "UCI", "Quit",
                             "IsReady", "GO infinite", "Position startpos", "quit\x01", "\x01\xff\x7f", "stop",
                             "ponderhit"}) {
        EXPECT_EQ(Dispatch(line), "") << line;
        EXPECT_TRUE(Snapshot::Take() == before) << line;
    }
}

TEST_F(BadInput, StrayWordsAroundACommandAreIgnored)
{
    EXPECT_EQ(Dispatch("xyz isready"), "readyok\r");
    EXPECT_EQ(Dispatch("\x01\xff isready now isready"), "readyok\r");
    EXPECT_EQ(Dispatch("uci please"), "id name Talvoran 101 C null\rid author Ornel Tavask\ruciok\r");
    for (const char* line : {"setoption", "setoption name", "setoption name Hash value lots", "setoption value"})
        EXPECT_EQ(Dispatch(line), "") << line;
}

// Every refusal answers the error line and leaves go with the position the
// last accepted command set up.
TEST_F(BadInput, RefusedPositionsKeepTheLastAcceptedOne)
{
    ASSERT_EQ(Dispatch("position startpos moves e2e4"), "");
    const AcceptedSetup accepted = LastAccepted;
    const char* const refused[] = {
        "fen",
        "fen 4k3/8/8/8/8/8/8/4K3 w - -",                                    // fewer than five words follow
        "fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1",    // X: no placement at all
        "fen 4k3/8/8/8/8/8/8/4K3R w - - 0 1",                               // runs past h1
        "fen 8/8/8/8/8/8/8/8 w - - 0 1",                                    // no kings
        "fen 4k3/8/8/8/8/8/8/3KK3 w - - 0 1",                               // two white kings
        "fen 4k3/pppppppp/p7/8/8/8/8/4K3 b - - 0 1",                        // nine black pawns
        "fen 4k3/8/8/8/8/N7/PPPPPPPP/RNBQKBNR w - - 0 1",                   // sixteen white pieces
        "fen P3k3/8/8/8/8/8/8/4K3 w - - 0 1",                               // a pawn on rank 8
        "fen 4k3/8/8/8/8/8/8/4K3 w K - 0 1",                                // a right without its rook
        "fen 4k3/8/8/8/8/8/8/4K3 w - z9 0 1",                               // en passant off the board
        "fen 4k3/8/8/8/8/8/8/4K3 w - e3 0 1",                               // en passant on the wrong rank
        "fen 4k3/8/8/8/8/8/8/4K3 w - e6 0 1",                               // no pawn in front of it
        "fen 4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",                              // the side not to move in check
        "fen 8/8/8/8/8/8/8/3kK3 w - - 0 1",                                 // kings touching
        "fen 4k3/8/8/8/8/8/4q3/4K3 w - - 0 1 moves e1d1",                   // a move into check
        "startpos moves e2e4 f7f6 d1h5 a7a6 h5e8",                           // a king taken
        "fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8",                    // a pawn left on rank 8
        "fen 4k3/8/8/8/8/8/8/4K2R w - - 99 60 moves h1h2 e8e7",             // the clock passes 100
    };
    for (const char* text : refused) {
        EXPECT_EQ(Dispatch(std::string("position ") + text), ErrorLine) << text;
        EXPECT_EQ(std::memcmp(&LastAccepted, &accepted, sizeof accepted), 0) << text;
    }
    std::string answer = Dispatch("go");
    ASSERT_EQ(answer.size(), 14u) << answer;
    int from = ('8' - answer[10]) * 8 + (answer[9] - 'a');
    EXPECT_EQ(LastAccepted.Board[from] >> 3, Black) << answer << ": a move for black, after e2e4";
}

TEST_F(BadInput, NothingToSearchBeforeAnAcceptedPosition)
{
    ForgetPosition();
    EXPECT_EQ(Dispatch("go wtime 1000"), "bestmove 0000\r");
    EXPECT_EQ(Dispatch("position"), ErrorLine) << "an empty board is no position";
    EXPECT_EQ(Dispatch("position moves e2e4"), ErrorLine);
    EXPECT_EQ(Dispatch("go"), "bestmove 0000\r");
    ASSERT_EQ(Dispatch("position startpos"), "");
    EXPECT_EQ(Dispatch("position"), "") << "the previous position, accepted again";
    EXPECT_EQ(SetupBoard[52], Pawn);
}

// Fields that are read loosely, and move texts that cannot be applied and
// are passed over: the command is accepted.
TEST_F(BadInput, LooseFieldsAndUnplayableMovesAreAccepted)
{
    const struct {
        const char* Text;
        int Side, Castling, EnPassant, Clock;
    } cases[] = {
        {"fen 4k3/8/8/8/8/8/8/4K3 B - - 0 1", White, 0, 64, 0},
        {"fen 4k3/8/8/8/8/8/8/4K3 black - - 0 1", White, 0, 64, 0},
        {"fen r3k2r/8/8/8/8/8/8/R3K2R w xKQkq-z - 0 1", White, 33, 64, 0},
        {"fen 4k3/8/8/8/8/8/8/4K3 w - none 0 1", White, 0, 64, 0},
        {"fen 4k3/8/8/8/8/8/8/4K3 w - - 150 1", White, 0, 64, 0},
        {"fen 4k3/8/8/8/8/8/8/4K3 w - - -3 1", White, 0, 64, 0},
        {"fen 4k3/8/8/8/8/8/8/4K3 w - - abc 1", White, 0, 64, 0},
        {"fen 4k3/8/8/8/8/8/8/4K3 w - - 12.6 x", White, 0, 64, 13},
        {"fen 4k3/8/8/8/8/8/8/4K2 w - - 0 1", White, 0, 64, 0},  // short of h1: the rest is empty
        {"startpos moves", White, 33, 64, 0},
        {"startpos moves e2e e2e4qq e9e4 z2z4 e2e0 e2e2 e4e5 e7e5 g1f3", Black, 33, 64, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Dispatch(std::string("position ") + c.Text), "") << c.Text;
        EXPECT_EQ(SetupSide, c.Side) << c.Text;
        EXPECT_EQ(SetupCastling[0] + 10 * SetupCastling[1], c.Castling) << c.Text;
        EXPECT_EQ(SetupEnPassant, c.EnPassant) << c.Text;
        EXPECT_EQ(SetupHalfmoves, c.Clock) << c.Text;
    }
    EXPECT_EQ(SetupBoard[45], Knight) << "g1f3, after every unplayable text";
    EXPECT_EQ(SetupBoard[52], Pawn);

    // a move that no piece could make is played all the same; a file past h
    // names a square of the next rank: i2 is a1
    EXPECT_EQ(Dispatch("position startpos moves e2e5"), "");
    EXPECT_EQ(SetupBoard[28], Pawn);
    EXPECT_EQ(SetupEnPassant, 64);
    EXPECT_EQ(Dispatch("position startpos moves i2i4"), "");
    EXPECT_EQ(SetupBoard[40], Rook);
    EXPECT_EQ(SetupCastling[White], KingSideRight);
}

TEST_F(BadInput, WhileSearchingOnlyFourCommandsAct)
{
    ASSERT_EQ(Dispatch("position startpos"), "");
    const Snapshot before = Snapshot::Take();
    for (const char* line : {"uci", "setoption name x", "position fen 8/8/8/8/8/8/8/8 w - - 0 1", "go infinite",
                             "position startpos moves e2e4"}) {
        EXPECT_EQ(Dispatch(line, SearchMode), "") << line;
        EXPECT_TRUE(Snapshot::Take() == before) << line;
    }
    EXPECT_EQ(Dispatch("go isready", SearchMode), "readyok\r");
}

// quit ends the process at once with status 0, whatever follows it.
TEST_F(BadInput, QuitWithWordsEndsTheProcess)
{
    for (const char* line : {"quit now", "xyz quit go", "quit\t\x0b"}) {
        std::fflush(nullptr);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            InputBuffer = std::string(line) + "\n";
            DispatchCommand(IdleMode);
            _exit(3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << line;
    }
}
