// The constant tables of the board, filled once at start-up by the five
// Init... procedures (in the order declared here) and read-only afterwards.
#pragma once

#include "board/Position.h"

#include <cstdint>

// Attack classes of the pieces, as bits of AttackTable entries.
constexpr int PawnBit = 16;
constexpr int KnightBit = 8;
constexpr int BishopBit = 32;
constexpr int RookBit = 64;
constexpr int LineBits = BishopBit | RookBit;
constexpr int KingBit = 128;

extern uint8_t KindBits[7];        // kind 0-6 -> attack class bits
extern uint8_t PromotionRow[2];    // colour -> row base (square & 0xF0) a pawn promotes from
extern uint8_t RookHome[4];        // [c] queen-side rook home of colour c, [2 + c] king-side
extern int16_t Direction[16];      // 0-3 orthogonal, 4-7 diagonal, 8-15 knight steps
extern int16_t CastleOffset[4];    // castling side t: rook on To + [t - 1], goes + [t + 1]
extern char PromotionLetter[6];    // promotion kind 2-5 -> 'n', 'b', 'r', 'q'
extern uint8_t AttackTable[239];   // square difference -119..119 at index difference + 119
extern Bits64 SquareMask[128];     // 0x88 square -> its single bit as a square set
extern uint8_t TallyWeight[7];     // kind -> MaterialTally weight (16 pawn/major, 1 minor)
extern uint8_t PhaseWeights[7];    // kind -> game-phase weight
extern uint8_t ExchangeValues[7];  // kind -> value in pawns for the exchange test
extern uint8_t CaptureScores[18];  // victim 0-5, attacker 6-11 (5 + kind), promotion 12-17

// AttackTable entry of target - origin: line bits, class bits and in the low
// four bits the Direction index that leads from origin to target.
inline uint8_t AttackEntry(int difference) { return AttackTable[difference + 119]; }

// The pawn rule: true when a pawn of the colour captures across this entry.
inline bool PawnRuleHolds(int entry, int colour) { return ((entry ^ 0xFE) & 0x11) == colour; }

void InitKindTables();
void InitDirections();
void InitAttackTable();  // needs Direction
void InitSquareMasks();
void InitValueTables();

// All five, in order.
void InitConstantTables();
