// Builds the constant tables of the board: attack classes, directions, the
// attack table indexed by square difference, square masks and value tables.
// Each table is written here once at start-up and only read afterwards.
#include "board/Initialize.h"

#include <cassert>
#include <cstring>
#include <initializer_list>

uint8_t KindBits[7];
uint8_t PromotionRow[2];
uint8_t RookHome[4];
int16_t Direction[16];
int16_t CastleOffset[4];
char PromotionLetter[6];
uint8_t AttackTable[239];
Bits64 SquareMask[128];
uint8_t TallyWeight[7];
uint8_t PhaseWeights[7];
uint8_t ExchangeValues[7];
uint8_t CaptureScores[18];

// Fills KindBits, PromotionRow and RookHome.
void InitKindTables()
{
    const uint8_t kindBits[7] = {0, PawnBit, KnightBit, BishopBit, RookBit, BishopBit | RookBit, KingBit};
    std::memcpy(KindBits, kindBits, sizeof KindBits);
    PromotionRow[White] = 16;
    PromotionRow[Black] = 96;
    const uint8_t rookHome[4] = {0x70, 0x00, 0x77, 0x07};
    std::memcpy(RookHome, rookHome, sizeof RookHome);
}

// Fills CastleOffset, Direction and PromotionLetter.
void InitDirections()
{
    const int16_t castleOffset[4] = {-2, 1, 3, -2};
    std::memcpy(CastleOffset, castleOffset, sizeof CastleOffset);
    const int16_t direction[16] = {-16, 16, -1, 1, -17, 15, -15, 17, -33, 31, -31, 33, -18, 18, 14, -14};
    std::memcpy(Direction, direction, sizeof Direction);
    std::memcpy(PromotionLetter, "\0\0nbrq", sizeof PromotionLetter);
}

// Writes one AttackTable entry, which must still be empty.
static void SetAttackEntry(int difference, int value)
{
    assert(AttackTable[difference + 119] == 0);  // no cell is assigned twice
    AttackTable[difference + 119] = static_cast<uint8_t>(value);
}

// Fills AttackTable from Direction: one-step entries carry the king bit (and
// the pawn bit on the four diagonals), longer line entries only the line bit.
void InitAttackTable()
{
    std::memset(AttackTable, 0, sizeof AttackTable);
    for (int d = 0; d < 8; d++) {
        int lineBit = d < 4 ? RookBit : BishopBit;
        SetAttackEntry(Direction[d], d | lineBit | KingBit);
        for (int k = 2; k <= 7; k++)
            SetAttackEntry(k * Direction[d], d | lineBit);
    }
    for (int d = 8; d < 16; d++)
        SetAttackEntry(Direction[d], d);  // d >= 8 carries KnightBit itself
    for (int difference : {-17, -15, 15, 17})
        AttackTable[difference + 119] |= PawnBit;
}

// Fills SquareMask: rows 0-3 in Lo, rows 4-7 in Hi, bits in square order.
void InitSquareMasks()
{
    for (int square = 0; square < 128; square++) {
        SquareSet bit = SetOf(square);  // empty for shadow cells
        SquareMask[square] = Bits64{static_cast<int32_t>(static_cast<uint32_t>(bit)),
                                    static_cast<int32_t>(static_cast<uint32_t>(bit >> 32))};
    }
}

// Fills TallyWeight, PhaseWeights, ExchangeValues and CaptureScores.
void InitValueTables()
{
    const uint8_t tally[7] = {0, 16, 1, 1, 16, 16, 0};
    const uint8_t phase[7] = {0, 0, 1, 1, 2, 5, 0};
    const uint8_t exchange[7] = {0, 1, 3, 3, 5, 9, 100};
    const uint8_t capture[18] = {0, 5, 15, 15, 25, 45, 3, 2, 2, 1, 0, 4, 0, 0, 10, 10, 20, 40};
    std::memcpy(TallyWeight, tally, sizeof TallyWeight);
    std::memcpy(PhaseWeights, phase, sizeof PhaseWeights);
    std::memcpy(ExchangeValues, exchange, sizeof ExchangeValues);
    std::memcpy(CaptureScores, capture, sizeof CaptureScores);
}

void InitConstantTables()
{
    InitKindTables();
    InitDirections();
    InitAttackTable();
    InitSquareMasks();
    InitValueTables();
}
