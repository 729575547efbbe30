// The capture and promotion generator: every pseudo-legal capture (en passant
// included) and every promotion, scored from CaptureScores.
#pragma once

#include "board/Position.h"

// Writes the forcing moves of the side to move into the move store from top
// upwards and returns one past the last.
int GenerateCaptures(const Position& pos, int top);
