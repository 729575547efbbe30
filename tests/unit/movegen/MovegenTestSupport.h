// Helpers for the move generation tests: positions from FEN through the
// engine's own decoding, store entries as text, legal moves by making them,
// and a fixture that resets the History table and the game position.
#pragma once

#include "board/Check.h"
#include "board/Initialize.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"
#include "frontend/Decript.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "search/History.h"
#include "tools/perft/Perft.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

inline int SquareOf(const char* name) { return ('8' - name[1]) * 16 + (name[0] - 'a'); }

inline bool SideInCheck(Position& pos) { return IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide); }

// Store entries first..end-1 as "e2e4 g1f3", or "e2e4:0 g1f3:9" with scores.
inline std::string ListText(int first, int end, bool scores = false)
{
    std::string text;
    for (int i = first; i < end; i++) {
        if (i > first)
            text += ' ';
        text += MoveText(MoveList[i]);
        if (scores)
            text += ':' + std::to_string(MoveScores[i]);
    }
    return text;
}

// Every legal move of the position, in generation order.
inline std::vector<Move> LegalMoves(Position& pos)
{
    bool inCheck = SideInCheck(pos);
    int end = GenerateQuietMoves(pos, GenerateCaptures(pos, 0), inCheck);
    std::vector<Move> legal;
    for (int i = 0; i < end; i++) {
        Move move = MoveList[i];
        UndoInfo undo = SaveUndoInfo(pos);
        Bits64 key = pos.Key;
        PlayMove(pos, move);
        if (!LeavesKingInCheck(pos, move, inCheck))
            legal.push_back(move);
        TakeBack(pos, move, undo, key);
    }
    return legal;
}

// A random legal line of up to plies moves from pos (a copy).
inline std::vector<Move> RandomLine(Position pos, std::mt19937& random, int plies)
{
    std::vector<Move> line;
    for (std::vector<Move> legal; static_cast<int>(line.size()) < plies && !(legal = LegalMoves(pos)).empty();) {
        line.push_back(legal[random() % legal.size()]);
        PlayMove(pos, line.back());
    }
    return line;
}

class MovegenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitConstantTables();
        ClearHistory();
    }
    void TearDown() override
    {
        ClearHistory();
        SetStartPosition();
    }
    static Position At(const std::string& fen)
    {
        Position pos{};
        EXPECT_TRUE(PositionFromFen(fen, pos)) << fen;
        return pos;
    }
};
