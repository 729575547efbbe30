// The square-set tables, computed by the compiler.
#include "board/SquareSets.h"

static constexpr SquareTables MakeSquareTables()
{
    constexpr int lineSteps[8] = {-16, 16, -1, 1, -17, 15, -15, 17};
    constexpr int knightSteps[8] = {-33, 31, -31, 33, -18, 18, 14, -14};
    SquareTables t{};
    for (int index = 0; index < 64; index++) {
        int square = SquareOfIndex(index);
        SquareSet rook = 0, bishop = 0, knight = 0, king = 0;
        int knights = 0, kings = 0;
        for (int d = 0; d < 8; d++) {
            for (int to = square + lineSteps[d]; IsOnBoard(to); to += lineSteps[d])
                t.Rays[index][d] |= SetOf(to);
            (d < 4 ? rook : bishop) |= t.Rays[index][d];
            if (IsOnBoard(square + knightSteps[d])) {
                knight |= SetOf(square + knightSteps[d]);
                t.KnightList[index][knights++] = static_cast<uint8_t>(square + knightSteps[d]);
            }
            if (IsOnBoard(square + lineSteps[d])) {
                king |= SetOf(square + lineSteps[d]);
                t.KingList[index][kings++] = static_cast<uint8_t>(square + lineSteps[d]);
            }
        }
        t.KnightList[index][knights] = NoSquare;
        t.KingList[index][kings] = NoSquare;
        for (int colour = White; colour <= Black; colour++) {
            int forward = colour == White ? -16 : 16;
            SquareSet pawn = 0;
            for (int to = square + forward - 1; to <= square + forward + 1; to += 2) {
                if (IsOnBoard(to))
                    pawn |= SetOf(to);
            }
            bool promoting = (square & 0xF0) == (colour == White ? 0x10 : 0x60);
            t.Reach[colour][Pawn][square] = promoting ? AllSquares : pawn;
            t.Reach[colour][Knight][square] = knight;
            t.Reach[colour][Bishop][square] = bishop;
            t.Reach[colour][Rook][square] = rook;
            t.Reach[colour][Queen][square] = rook | bishop;
            t.Reach[colour][King][square] = king;
        }
    }
    return t;
}

constexpr SquareTables Squares = MakeSquareTables();
