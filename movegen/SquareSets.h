// Square sets for the generators: 64-bit sets of squares read off the board
// once per call, and the compile-time tables that go with them (line rays,
// where each kind of piece could capture, knight and king targets). They let
// a generator skip pieces with nothing to do and find the nearest piece of a
// ray with one bit scan instead of a walk.
#pragma once

#include "board/Position.h"

#include <bit>
#include <cstdint>
#include <cstring>

// Bit i stands for setup index i (a8 = 0 ... h1 = 63), the order of the pawn
// masks' two halves put together, so that the nearest piece on a ray is the
// lowest bit of the ray's occupied squares when the ray raises the index and
// the highest when it lowers it.
using SquareSet = uint64_t;

constexpr SquareSet SetOf(int square) { return SquareSet{1} << IndexOfSquare(square); }
constexpr SquareSet AllSquares = ~SquareSet{0};

// The line directions (Direction entries) a slider of this kind moves along:
// rook 0-3, bishop 4-7, queen 0-7.
constexpr int FirstLineDirection(int kind) { return kind == Bishop ? 4 : 0; }
constexpr int LastLineDirection(int kind) { return kind == Rook ? 3 : 7; }

// Built at compile time from the same steps as Direction. Per setup index:
// Rays[i][d], the squares along line direction d (Direction 0-7) up to the
// edge, the start excluded (even d lower the index, odd d raise it); and the
// knight and king targets as 0x88 lists in Direction order, ended by NoSquare. Reach, by
// colour, kind and 0x88 square: where a capture of that piece could land
// (every square for a pawn about to promote, whose push needs no victim).
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

// The occupied squares and those of colour xside, read from the board a row
// at a time: the eight cells of a row as one little-endian word, a byte's top
// bit set for a non-empty cell and, separately, for a black piece (code bit
// 3), each gathered into the top byte by a multiplication.
inline void ReadOccupancy(const Position& pos, int xside, SquareSet& occupied, SquareSet& enemies)
{
    static_assert(std::endian::native == std::endian::little, "rows are read as little-endian words");
    constexpr uint64_t Low7 = 0x7F7F7F7F7F7F7F7F;
    constexpr uint64_t Top = 0x8080808080808080;
    constexpr uint64_t Gather = 0x0002040810204081;  // byte j's top bit to bit 56 + j
    SquareSet full = 0, black = 0;
    for (int row = 0; row < 8; row++) {
        uint64_t cells;
        std::memcpy(&cells, pos.Board + row * 16, sizeof cells);
        full |= ((((((cells & Low7) + Low7) | cells) & Top) * Gather) >> 56) << (row * 8);
        black |= ((((cells << 4) & Top) * Gather) >> 56) << (row * 8);
    }
    occupied = full;
    enemies = xside == Black ? black : full & ~black;
}
