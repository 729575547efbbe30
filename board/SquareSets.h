// The compile-time square-set tables that go with the position's Occupied
// sets (line rays, where each kind of piece could capture, knight and king
// targets). They let a generator skip pieces with nothing to do, and every
// procedure find the nearest piece of a ray with one bit scan instead of a walk.
#pragma once

#include "board/Position.h"

#include <bit>
#include <cstdint>

// With bit i for setup index i, the nearest piece on a ray is the lowest bit
// of the ray's occupied squares when the ray raises the index and the highest
// when it lowers it.
constexpr SquareSet AllSquares = ~SquareSet{0};

// The line directions (Direction entries) a slider of this kind moves along:
// rook 0-3, bishop 4-7, queen 0-7.
constexpr int FirstLineDirection(int kind) { return kind == Bishop ? 4 : 0; }
constexpr int LastLineDirection(int kind) { return kind == Rook ? 3 : 7; }

// Built at compile time from the same steps as Direction. Per setup index:
// Rays[i][d], the squares along line direction d (Direction 0-7) up to the
// edge, the start excluded (even d lower the index, odd d raise it); and the
// knight and king targets as 0x88 lists in Direction order, ended by
// NoSquare. Reach, by colour, kind and 0x88 square: where a capture of that
// piece could land (every square for a pawn about to promote, whose push
// needs no victim).
struct SquareTables {
    SquareSet Rays[64][8];
    SquareSet Reach[2][8][128];
    uint8_t KnightList[64][9];
    uint8_t KingList[64][9];
};

extern const SquareTables Squares;

// The nearest piece on ray d of a square, given the ray's occupied squares;
// the empty set when there is none.
inline SquareSet NearestOnRay(SquareSet blockers, int d)
{
    return (d & 1) != 0 ? blockers & (0 - blockers) : std::bit_floor(blockers);
}

// The square of the nearest piece of occupied from square along line
// direction d (Direction 0-7), or NoSquare when the line meets the edge first.
inline int NearestOnLine(int square, int d, SquareSet occupied)
{
    SquareSet blockers = Squares.Rays[IndexOfSquare(square)][d] & occupied;
    if (blockers == 0)
        return NoSquare;
    return SquareOfIndex(std::countr_zero(NearestOnRay(blockers, d)));
}
