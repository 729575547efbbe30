// Attack questions on a Position: whether a colour attacks a square, whether
// a move just made leaves the mover's king attacked, and whether it gives check.
#pragma once

#include "board/Position.h"

#include <cassert>

// True when a piece of the colour attacks the square (empty or not).
bool IsSquareAttacked(const Position& pos, int square, int colour);

// Where an attack on a square comes from: how many pieces attack it (0, 1, or
// 2 standing for two or more) and the square of the last one found.
struct CheckSource {
    int Count;
    int Square;
};

// The pieces of the colour that attack the square (empty or not).
CheckSource FindCheckSource(const Position& pos, int square, int colour);

// Before PlayMove, for the side to move in check from source: false when the
// move must leave the king attacked, being neither a king move nor en passant
// nor a capture of a lone checker nor a step between it and the king. True
// moves still need LeavesKingInCheck.
bool MayAnswerCheck(const Position& pos, Move move, CheckSource source);

// After PlayMove: true when the mover (now XSide) has left its king attacked.
// wasInCheck must be true whenever the mover was in check before the move.
bool LeavesKingInCheck(const Position& pos, Move move, bool wasInCheck);

// The same answer as LeavesKingInCheck(pos, move, true) for a move made while
// in check from source (as FindCheckSource found it before the move), found
// faster: a lone checker must be taken or blocked, and the From line shut.
bool EvasionLeavesKingInCheck(const Position& pos, Move move, CheckSource source);

// LeavesKingInCheck for the search, which knows where a check came from.
inline bool MoveLeavesKingInCheck(const Position& pos, Move move, bool wasInCheck, CheckSource source)
{
    bool leaves = wasInCheck ? EvasionLeavesKingInCheck(pos, move, source) : LeavesKingInCheck(pos, move, false);
    assert(leaves == LeavesKingInCheck(pos, move, wasInCheck));
    return leaves;
}

// After PlayMove of a legal move: true when the side now to move is in check.
bool GivesCheck(const Position& pos, Move move);

// The same answers before PlayMove, for the quiescence search, which can then
// settle a child that would only stand pat without making its move.
// WouldLeaveKingInCheck: for a move that is neither en passant nor castling,
// by a side in check from source (Count 0 when not in check),
// LeavesKingInCheck once the move is made.
bool WouldLeaveKingInCheck(const Position& pos, Move move, CheckSource source);
// WouldGiveCheck: for a legal move that is neither en passant nor castling,
// GivesCheck once the move is made.
bool WouldGiveCheck(const Position& pos, Move move);
