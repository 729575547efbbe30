// The interior alpha-beta search: draws, repetitions, the table, null move,
// staged move ordering and the input poll.
#pragma once

#include "board/Position.h"
#include "movegen/Evaluation.h"

#include <cstdint>

// Keys of the positions on the current search path, by ply (1-255).
extern Bits64 PlyKeys[256];

// Searches a node with remaining depth n at the given ply; writes its best
// line into line[0...]. Returns a score from the side to move's view.
int16_t SearchBranch(Position& pos, EvalState& eval, int first, int n, int ply, bool inCheck,
                     int16_t alpha, int16_t beta, Move* line);
