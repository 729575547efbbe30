// Fuzz target: arbitrary position lines. The input's lines (at most four)
// each go to the dispatcher after "position", so later lines may play moves
// on what earlier ones left. An input that starts with '#' is a game instead:
// each later byte picks a legal move, and the move texts must set up the
// position that PlayMove reaches. The accepted position must build
// consistently, and a depth-2 search of it must put it back and answer a
// legal move.
#include "FuzzSupport.h"

#include "board/Consistency.h"
#include "board/MakeMove.h"
#include "board/Mapper.h"
#include "frontend/Channel.h"
#include "frontend/Decript.h"
#include "frontend/Interface.h"
#include "search/TreeRoot.h"
#include "tools/perft/Perft.h"

#include <algorithm>
#include <cstring>
#include <string>

constexpr int SearchDepth = 2;
constexpr int MostLines = 4;

// One position command through the dispatcher. An accepted one must leave
// the setup fields and the last accepted position equal.
static void RunPositionLine(const std::string& text)
{
    FuzzOutput().clear();
    InputBuffer = "position " + text + "\n";
    DispatchCommand(IdleMode);
    bool rejected = FuzzOutput().find("absurd") != std::string::npos;
    CheckAcceptedSetup();
    if (!rejected && (!LastAccepted.Valid || std::memcmp(LastAccepted.Board, SetupBoard, 64) != 0 ||
                      LastAccepted.Side != SetupSide || LastAccepted.Halfmoves != SetupHalfmoves))
        FuzzFailure("an accepted position command is not what go would search");
}

// Plays the game the bytes choose from the start position with PlayMove,
// then sends its move texts; unless the clock passed 100 on the way (which
// refuses them), the setup must hold the same pieces, side, rights, en-passant
// square and clock.
static void RunChosenGame(const uint8_t* choices, size_t count)
{
    SetStartPosition();
    Position pos = BuildPosition(SetupBoard, SetupCastling, SetupEnPassant, SetupHalfmoves, SetupSide);
    std::string text = "startpos moves";
    int highestClock = 0;
    for (size_t i = 0; i < count; i++) {
        std::vector<RootMoveCount> legal;
        DividePerft(pos, 1, legal);
        if (legal.empty())
            break;
        const Move move = legal[choices[i] % legal.size()].RootMove;
        text += " " + MoveText(move);
        PlayMove(pos, move);
        highestClock = std::max(highestClock, static_cast<int>(pos.HalfmoveClock));
    }
    RunPositionLine(text);
    if (FuzzOutput().find("absurd") != std::string::npos) {
        if (highestClock <= 100)
            FuzzFailure("a legal game was refused: " + text);
        return;
    }
    for (int index = 0; index < 64; index++) {
        if (SetupBoard[index] != pos.Board[SquareOfIndex(index)])
            FuzzFailure("the move texts set up another board: " + text);
    }
    int enPassant = pos.EpSquare == NoSquare ? 64 : IndexOfSquare(pos.EpSquare);
    if (SetupSide != pos.Side || SetupEnPassant != enPassant || SetupCastling[0] != pos.Castling[0] ||
        SetupCastling[1] != pos.Castling[1] || SetupHalfmoves != pos.HalfmoveClock)
        FuzzFailure("the move texts set up another side, en passant, rights or clock: " + text);
}

// Searches the accepted position as go does and checks the answer and the
// position afterwards.
static void SearchAccepted()
{
    const AcceptedSetup& s = LastAccepted;
    Position pos = BuildPosition(s.Board, s.Castling, s.EnPassant, s.Halfmoves, s.Side);
    Position before = pos;
    std::vector<std::string> legal = LegalMoveTexts(pos);
    RemainingTime = 1 << 30;
    StopRequested = NoTimeLimit = false;
    std::string best = SearchRoot(pos);
    std::string problem;
    if (!PositionIsConsistent(pos, &problem))
        FuzzFailure("inconsistent after the search: " + problem);
    for (int square = 0; square < 128; square++) {
        if (IsOnBoard(square) && pos.Board[square] != before.Board[square])
            FuzzFailure("the search did not put back the board");
    }
    if (pos.Key != before.Key || pos.Side != before.Side || pos.EpSquare != before.EpSquare)
        FuzzFailure("the search did not put back the key, side or en-passant square");
    if (legal.empty() ? best != " 0000"
                      : std::find(legal.begin(), legal.end(), best.substr(best.empty() ? 0 : 1)) == legal.end())
        FuzzFailure("illegal best move:" + best);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzEngine(12);
    InfoLinesOn = false;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetEngineState(SearchDepth);
    SetFuzzInput(nullptr, 0);
    if (size > 0 && data[0] == '#') {
        RunChosenGame(data + 1, size - 1);
        if (LastAccepted.Valid)
            SearchAccepted();
        return 0;
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (int line = 0; line < MostLines && start <= text.size(); line++) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        RunPositionLine(text.substr(start, end - start));
        start = end + 1;
    }
    if (LastAccepted.Valid)
        SearchAccepted();
    return 0;
}
