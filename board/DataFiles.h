// The tables that come from the data directory: the 781 random hash keys of
// Random.bin and the six piece-square files. Also ComputeKey, the key of a
// position in setup form computed from scratch.
#pragma once

#include "board/Position.h"

#include <cstdint>
#include <string>

// RandomKeys layout: 0-767 piece keys at PieceKeyIndex, 768 side to move
// (black), 769/770 queen-side rights of white/black, 771/772 king-side rights,
// 773-780 en-passant file, 781 "no en-passant square", always zero. Every Lo
// half is masked with HashMask as it is loaded.
constexpr int SideKey = 768;
constexpr int QueenSideKey = 769;  // + colour
constexpr int KingSideKey = 771;   // + colour
constexpr int EnPassantKey = 773;  // + (square & 15); NoSquare gives 781
extern Bits64 RandomKeys[782];

inline int PieceKeyIndex(int square, int colour, int kind) { return (square + 8 * colour) * 6 + kind - 1; }

// PieceSquare[column][cell]: column = 6 * colour + kind (1-12); cell = a 0x88
// square for the middle-game value, its shadow cell (square | 8) for the
// endgame value. Black's columns mirror white's top to bottom.
extern int16_t PieceSquare[13][128];

// Fills RandomKeys 0-780 from the file; needs HashMask. A missing file is
// reported and leaves the table as it was; records past a short file's end are 0.
void LoadRandomKeys(const std::string& path);

// The piece-square file of each kind in Data/, "Pawn.txt" ... "King.txt";
// entry 0 is empty.
extern const char* const PieceSquareFiles[7];

// Fills columns kind and 6 + kind of PieceSquare from a text file of 128
// numbers (runs of digits, taken modulo 65536). Missing: reported, unchanged;
// numbers past a short file's end are 0.
void LoadPieceSquare(const std::string& path, int kind);

// Key of a setup: 64 piece codes (a8 = 0 ... h1 = 63), castling rights per
// colour, en-passant index (64 = none), side to move.
Bits64 ComputeKey(const uint8_t board[64], const uint8_t castling[2], int enPassant, int side);
