// The interior alpha-beta search: draws, repetitions, the table, null move,
// staged move ordering and the input poll.
#pragma once

#include "board/Position.h"
#include "movegen/Evaluation.h"

#include <cstdint>

// Keys of the positions on the current search path, by ply (1-255).
extern Bits64 PlyKeys[256];

// True when the move is one that the two generators would list in this
// position (inCheck as the node knows it). A table move that fails this test
// belongs to another position with the same key and is not made.
bool IsPseudoLegal(Position& pos, const Move& move, bool inCheck);

// Searches a node with remaining depth n at the given ply; writes its best
// line into line[0...], ended by an empty move when shorter than n. A node
// that returns before trying moves leaves line alone, so callers clear
// line[0] first. Returns a score from the side to move's view.
int16_t SearchBranch(Position& pos, EvalState& eval, int first, int n, int ply, bool inCheck,
                     int16_t alpha, int16_t beta, Move* line);
