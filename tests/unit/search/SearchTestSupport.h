// Helpers for the search tests: a fixture with the shipped keys and tables
// loaded and the search's settings put back afterwards, positions set up
// through the position command, and a root search run with its standard
// input on a quiet pipe and its output caught.
#pragma once

#include "../frontend/FrontendTestSupport.h"

#include "board/Mapper.h"
#include "movegen/Evaluation.h"
#include "platform/Platform.h"
#include "search/History.h"
#include "search/TreeBranch.h"
#include "search/TreeRoot.h"

#include <limits>
#include <sstream>
#include <vector>

// The front end's fixture, plus the shipped piece-square tables (other tests
// rewrite them), an empty table and history at the start, and DepthLimit and
// InfoLinesOn put back afterwards.
class SearchTest : public FrontendStateTest {
protected:
    using Position = ::Position;  // the record, not the base's position command

    void SetUp() override
    {
        FrontendStateTest::SetUp();
        static const char* const files[] = {"", "Pawn.txt", "Knight.txt", "Bishop.txt",
                                            "Rook.txt", "Queen.txt", "King.txt"};
        for (int kind = Pawn; kind <= King; kind++)
            LoadPieceSquare(ShippedData(files[kind]), kind);
        ClearHashTable();
        ClearHistory();
        SavedLimit = DepthLimit;
        SavedInfo = InfoLinesOn;
    }
    void TearDown() override
    {
        DepthLimit = SavedLimit;
        InfoLinesOn = SavedInfo;
        FrontendStateTest::TearDown();
    }

    // The position of a position command ("startpos ..." or "fen ..."), as go
    // builds it. The command must be accepted.
    static Position Setup(const std::string& text)
    {
        EXPECT_FALSE(FrontendStateTest::Position(text)) << text;
        return BuildPosition(LastAccepted.Board, LastAccepted.Castling, LastAccepted.EnPassant,
                             LastAccepted.Halfmoves, LastAccepted.Side);
    }

    // The same, with the table emptied of the game positions it was seeded with.
    static Position Fresh(const std::string& text)
    {
        Position pos = Setup(text);
        ClearHashTable();
        return pos;
    }

    // A root search of the position command's position, with the input lines
    // fed on a pipe that stays open. Returns the best-move text; output gets
    // everything written, split at the line ends.
    static std::string RunRoot(const std::string& position, const std::string& input,
                               std::vector<std::string>& output)
    {
        Setup(position);
        return SearchAgain(input, output);
    }

    // The same search of the last accepted position without a position
    // command, as a second go searches it: the table is kept.
    static std::string SearchAgain(const std::string& input, std::vector<std::string>& output)
    {
        Position pos = BuildPosition(LastAccepted.Board, LastAccepted.Castling, LastAccepted.EnPassant,
                                     LastAccepted.Halfmoves, LastAccepted.Side);
        PipedInput pipe;
        pipe.Send(input);
        CapturedStream captured(1);
        StopRequested = false;
        std::string best = SearchRoot(pos);
        output.clear();
        std::istringstream lines(captured.Text());
        for (std::string line; std::getline(lines, line, LineEnd);)
            output.push_back(line);
        return best;
    }

private:
    int SavedLimit = MaxDepth;
    bool SavedInfo = true;
};

// The evaluation of a position from scratch, as the root computes it.
inline EvalState Evaluation(const Position& pos)
{
    EvalState eval{};
    EvaluatePosition(pos, eval);
    return eval;
}

// A move of the generators' encoding from square names.
inline Move MoveOf(const char* from, const char* to, int kind, int captured = 0, int flags = 0)
{
    auto square = [](const char* name) { return static_cast<uint8_t>(('8' - name[1]) * 16 + (name[0] - 'a')); };
    return Move{square(from), square(to), static_cast<uint8_t>(kind | captured << 4), static_cast<uint8_t>(flags)};
}
