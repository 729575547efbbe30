// The setup form of a position (64 codes in FEN order, castling, en passant,
// clock, side) and the two procedures that guard it and turn it into a
// search Position.
#pragma once

#include "board/Position.h"

#include <cstdint>

// True when the setup is a position the engine can work with: legal codes, no
// pawn on the first or last rank, one king and at most 15 pieces (8 pawns) per
// colour, rights backed by king and rook, a plausible en-passant square, a
// clock of at most 100, and the side that is not to move not in check.
bool IsValidSetup(const uint8_t board[64], const uint8_t castling[2], int enPassant, int halfmoves, int side);

// A fresh Position with board, shadow cells, lists (king first, then the other
// pieces from a8 towards h1), pawn masks, tallies and key. The setup must have
// passed IsValidSetup.
Position BuildPosition(const uint8_t board[64], const uint8_t castling[2], int enPassant, int halfmoves, int side);
