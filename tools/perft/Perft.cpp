// Perft counting on the engine's own procedures: both generators into the
// shared move store, PlayMove, LeavesKingInCheck (in-check flag from
// IsSquareAttacked at the root, GivesCheck below) and TakeBack. The leaves
// themselves are counted as the quiescence search tests its moves, before the
// move. Also the FEN set-up and the EPD suite reader.
#include "tools/perft/Perft.h"

#include "board/Check.h"
#include "board/Consistency.h"
#include "board/DataFiles.h"
#include "board/Initialize.h"
#include "board/MakeMove.h"
#include "board/Mapper.h"
#include "board/UndoMove.h"
#include "frontend/Decript.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "platform/Platform.h"
#include "search/HashTable.h"
#include "search/TreeRoot.h"

#include <cassert>
#include <fstream>
#include <sstream>

// Builds the constant tables; keys are loaded only when the data folder has
// them, since counting needs none (any keys keep ComputeKey in agreement).
void PreparePerftTables()
{
    InitConstantTables();
    std::string path = WorkingDirectory() + PathSeparator + "Data" + PathSeparator + "Random.bin";
    if (FileExists(path)) {
        HashMask = (int32_t{1} << DefaultHashBits) - 1;
        LoadRandomKeys(path);
    }
}

// Decodes the FEN (or "startpos") into the setup fields, checks the setup
// and builds pos from it. False, with pos untouched, when refused.
bool PositionFromFen(const std::string& fen, Position& pos)
{
    if (fen == "startpos") {
        SetStartPosition();
    } else {
        WordList words{"fen"};
        std::istringstream stream(fen);
        for (std::string word; stream >> word;)
            words.push_back(word);
        if (words.size() < 5)
            return false;
        // the clock and the move number may be left out
        if (words.size() == 5)
            words.push_back("0");
        if (words.size() == 6)
            words.push_back("1");
        int k = 0;
        if (DecodeFen(words, k, static_cast<int>(words.size()) - 1))
            return false;
    }
    if (!IsValidSetup(SetupBoard, SetupCastling, SetupEnPassant, SetupHalfmoves, SetupSide))
        return false;
    pos = BuildPosition(SetupBoard, SetupCastling, SetupEnPassant, SetupHalfmoves, SetupSide);
    return true;
}

// The legal moves of a node one ply above the leaves. Each move is tested
// before it is made, as the quiescence search tests its moves; en passant
// and castling, which that test does not cover, are made and taken back. A
// checked build makes every move and holds the two answers against each other.
static uint64_t CountLegalMoves(Position& pos, bool inCheck, int first)
{
#ifdef TALVORAN_CHECKS
    constexpr bool MakeEveryMove = true;
#else
    constexpr bool MakeEveryMove = false;
#endif
    int end = GenerateCaptures(pos, first);
    end = GenerateQuietMoves(pos, end, inCheck);
    CheckSource source{0, NoSquare};
    if (inCheck)
        source = FindCheckSource(pos, KingSquare(pos, pos.Side), pos.XSide);
    uint64_t legal = 0;
    for (int i = first; i < end; i++) {
        const Move& move = MoveList[i];
        const bool testable = (move.Flags & (FlagEnPassant | FlagQueenSideCastle | FlagKingSideCastle)) == 0;
        const bool refused = testable && WouldLeaveKingInCheck(pos, move, source);
        if (testable && !MakeEveryMove) {
            legal += !refused;
            continue;
        }
        UndoInfo undo = SaveUndoInfo(pos);
        Bits64 key = pos.Key;
        PlayMove(pos, move);
        ASSERT_CONSISTENT(pos);
        const bool leaves = LeavesKingInCheck(pos, move, inCheck);
        assert(!testable || leaves == refused);
        legal += !leaves;
        TakeBack(pos, move, undo, key);
        ASSERT_CONSISTENT(pos);
    }
    return legal;
}

// Makes every pseudo-legal move of the node, keeps the legal ones and counts
// the leaves below them; the store above first holds the node's moves.
uint64_t CountLeaves(Position& pos, int depth, bool inCheck, int first)
{
    assert(depth >= 1 && !MoveStoreIsFull(first));
    if (depth == 1)
        return CountLegalMoves(pos, inCheck, first);
    int end = GenerateCaptures(pos, first);
    end = GenerateQuietMoves(pos, end, inCheck);
    uint64_t leaves = 0;
    for (int i = first; i < end; i++) {
        const Move& move = MoveList[i];
        UndoInfo undo = SaveUndoInfo(pos);
        Bits64 key = pos.Key;
        PlayMove(pos, move);
        ASSERT_CONSISTENT(pos);
        if (!LeavesKingInCheck(pos, move, inCheck))
            leaves += CountLeaves(pos, depth - 1, GivesCheck(pos, move), end);
        TakeBack(pos, move, undo, key);
        ASSERT_CONSISTENT(pos);
    }
    return leaves;
}

// The root loop shared by Perft and DividePerft; lines, when given, receive
// one entry per legal root move.
static uint64_t CountRoot(Position& pos, int depth, std::vector<RootMoveCount>* lines)
{
    if (depth <= 0)
        return 1;
    bool inCheck = IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide);
    int end = GenerateCaptures(pos, 0);
    end = GenerateQuietMoves(pos, end, inCheck);
    uint64_t total = 0;
    for (int i = 0; i < end; i++) {
        const Move& move = MoveList[i];
        UndoInfo undo = SaveUndoInfo(pos);
        Bits64 key = pos.Key;
        PlayMove(pos, move);
        if (!LeavesKingInCheck(pos, move, inCheck)) {
            uint64_t leaves = depth == 1 ? 1 : CountLeaves(pos, depth - 1, GivesCheck(pos, move), end);
            total += leaves;
            if (lines != nullptr)
                lines->push_back(RootMoveCount{move, leaves});
        }
        TakeBack(pos, move, undo, key);
    }
    return total;
}

// Leaves of the legal tree of depth below the root position.
uint64_t Perft(Position& pos, int depth)
{
    return CountRoot(pos, depth, nullptr);
}

// As Perft, listing each legal root move with its leaves.
uint64_t DividePerft(Position& pos, int depth, std::vector<RootMoveCount>& lines)
{
    lines.clear();
    return CountRoot(pos, depth, &lines);
}

// UCI text of one move, without the blank that MovesToText puts first.
std::string MoveText(const Move& move)
{
    std::string text = MovesToText(&move, 0, 0);
    return text.empty() ? text : text.substr(1);
}

// One EPD line: the text before the first ';' is the FEN, each later field
// "Dk n" a depth and its count; fields without a count are skipped.
static PerftCase ParsePerftLine(const std::string& line)
{
    PerftCase entry;
    std::istringstream fields(line);
    std::getline(fields, entry.Fen, ';');
    while (!entry.Fen.empty() && entry.Fen.back() == ' ')
        entry.Fen.pop_back();
    for (std::string field; std::getline(fields, field, ';');) {
        std::istringstream words(field);
        std::string name;
        uint64_t count = 0;
        if (words >> name >> count && name.size() > 1 && name[0] == 'D')
            entry.Counts.emplace_back(std::stoi(name.substr(1)), count);
    }
    return entry;
}

// Every non-empty line of the file, in order.
std::vector<PerftCase> ReadPerftSuite(const std::string& path)
{
    std::vector<PerftCase> suite;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos)
            suite.push_back(ParsePerftLine(line));
    }
    return suite;
}
