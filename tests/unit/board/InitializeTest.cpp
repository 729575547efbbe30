// The constant tables: attack-table entries, their directions and the pawn
// rule, and the square masks.
#include "board/Initialize.h"

#include <gtest/gtest.h>

TEST(InitializeTest, AttackTableAndSquareMasks)
{
    InitConstantTables();
    const int entries[][2] = {{0, 0},     {-16, 0xC0}, {1, 0xC3},   {-17, 0xB4}, {15, 0xB5}, {17, 0xB7},
                              {32, 0x41}, {-33, 0x08}, {34, 0x27},  {119, 0x27}, {35, 0},    {-119, 0x24}};
    for (const auto& [difference, entry] : entries)
        EXPECT_EQ(AttackEntry(difference), entry) << difference;
    int nonZero = 0;
    for (int difference = -119; difference <= 119; difference++) {
        int entry = AttackEntry(difference), step = Direction[entry & 15];
        if (entry == 0)
            continue;
        nonZero++;  // the direction reaches the difference in 1-7 steps, a knight's in 1
        EXPECT_TRUE(difference % step == 0 && difference / step >= 1 && difference / step <= (entry & 8 ? 1 : 7))
            << difference;
        bool pawnCapture = difference == -17 || difference == -15 || difference == 15 || difference == 17;
        EXPECT_EQ(PawnRuleHolds(entry, White), pawnCapture && difference < 0) << difference;
        EXPECT_EQ(PawnRuleHolds(entry, Black), pawnCapture && difference > 0) << difference;
    }
    EXPECT_EQ(nonZero, 64);

    const struct { int Square; Bits64 Mask; } masks[] = {
        {0x00, {1, 0}},         {0x01, {2, 0}}, {0x10, {0x100, 0}},      {0x36, {0x40000000, 0}}, {0x37, {INT32_MIN, 0}},
        {0x40, {0, 1}},         {0x38, {0, 0}}, {0x70, {0, 0x01000000}}, {0x77, {0, INT32_MIN}}};
    for (const auto& [square, mask] : masks)
        EXPECT_EQ(SquareMask[square], mask) << square;
}
