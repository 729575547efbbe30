// The quiet-move generator: castling, non-capturing piece and king moves and
// pawn pushes short of the last rank, each scored from the History table.
#pragma once

#include "board/Position.h"

// Writes the quiet moves of the side to move into the move store from top
// upwards and returns one past the last. inCheck forbids castling.
int GenerateQuietMoves(Position& pos, int top, bool inCheck);
