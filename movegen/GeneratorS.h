// The quiet-move generator: castling, non-capturing piece and king moves and
// pawn pushes short of the last rank, each scored from the History table.
#pragma once

#include "board/Check.h"
#include "board/Position.h"

// Writes the quiet moves of the side to move into the move store from top
// upwards and returns one past the last. inCheck forbids castling.
int GenerateQuietMoves(const Position& pos, int top, bool inCheck);

// For the side to move in check from source: exactly those moves of
// GenerateQuietMoves(pos, top, true) that MayAnswerCheck lets through, in the
// same order (king steps and the steps between a lone checker on a line and
// the king), written from top upwards; returns one past the last.
int GenerateQuietEvasions(const Position& pos, int top, CheckSource source);
