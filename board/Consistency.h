// A debug check of a Position against its own invariants and a fresh key.
#pragma once

#include "board/Position.h"

#include <string>

// True when board, shadow cells, piece lists, pawn masks, tallies, side and
// key all agree. On failure, when problem is given, it names the first fault.
bool PositionIsConsistent(const Position& pos, std::string* problem = nullptr);

// Asserts PositionIsConsistent in debug builds (TALVORAN_CHECKS); no-op otherwise.
#ifdef TALVORAN_CHECKS
#include <cassert>
#define ASSERT_CONSISTENT(pos) assert(PositionIsConsistent(pos))
#else
#define ASSERT_CONSISTENT(pos) ((void)0)
#endif
