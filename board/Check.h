// Attack questions on a Position: whether a colour attacks a square, whether
// a move just made leaves the mover's king attacked, and whether it gives check.
#pragma once

#include "board/Position.h"

// True when a piece of the colour attacks the square (empty or not). Marks the
// target cell while it runs and restores it.
bool IsSquareAttacked(Position& pos, int square, int colour);

// After PlayMove: true when the mover (now XSide) has left its king attacked.
// wasInCheck must be true whenever the mover was in check before the move.
bool LeavesKingInCheck(Position& pos, const Move& move, bool wasInCheck);

// After PlayMove of a legal move: true when the side now to move is in check.
bool GivesCheck(const Position& pos, const Move& move);
