// The quiescence search: stand pat, captures and promotions best first, and
// every evasion when in check.
#pragma once

#include "board/Position.h"
#include "movegen/Evaluation.h"

#include <cstdint>

// Quiescence plies deeper than this stand pat, so that chains of checks and
// evasions cannot grow the stack without end.
constexpr int LeafPlyLimit = 250;

int16_t SearchLeaf(Position& pos, EvalState& eval, int first, int ply, bool inCheck, int16_t alpha,
                   int16_t beta);
