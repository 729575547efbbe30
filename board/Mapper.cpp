// Guards the setup form of a position and turns it into a search Position:
// IsValidSetup refuses setups the board code cannot work with, BuildPosition
// derives board, shadow cells, lists, pawn masks, tallies and key from a setup.
#include "board/Mapper.h"

#include "board/Check.h"
#include "board/DataFiles.h"
#include "board/Initialize.h"

#include <cstring>

constexpr int KingIndex[2] = {60, 4};                // e1, e8
constexpr int QueenRookIndex[2] = {56, 0};           // a1, a8
constexpr int KingRookIndex[2] = {63, 7};            // h1, h8

// True when every code is a piece code or 0, no pawn stands on rank 1 or 8,
// and each colour has one king, at most 8 pawns and 15 pieces besides it.
static bool HasPlausiblePieces(const uint8_t board[64])
{
    int kings[2] = {0, 0};
    int pawns[2] = {0, 0};
    int others[2] = {0, 0};
    for (int index = 0; index < 64; index++) {
        int code = board[index];
        if (code == 0)
            continue;
        int kind = code & 7;
        if (code >= 16 || kind == 0 || kind == 7)
            return false;
        int colour = code >> 3;
        if (kind == Pawn && (index < 8 || index >= 56))
            return false;
        if (kind == King)
            kings[colour]++;
        else if (kind == Pawn)
            pawns[colour]++;
        else
            others[colour]++;
    }
    for (int colour = White; colour <= Black; colour++) {
        if (kings[colour] != 1 || pawns[colour] > 8 || pawns[colour] + others[colour] > 15)
            return false;
    }
    return true;
}

// True when every castling right held is backed by the king on its e-square
// and the rook on the corner of that side.
static bool HasBackedRights(const uint8_t board[64], const uint8_t castling[2])
{
    for (int colour = White; colour <= Black; colour++) {
        int rights = castling[colour];
        int base = colour * 8;
        if (rights != 0 && board[KingIndex[colour]] != base + King)
            return false;
        if ((rights & QueenSideRight) && board[QueenRookIndex[colour]] != base + Rook)
            return false;
        if ((rights & KingSideRight) && board[KingRookIndex[colour]] != base + Rook)
            return false;
    }
    return true;
}

// True when the en-passant index is none (above 63) or lies on the row that a
// pawn of the side not to move has just passed, with that pawn in front of it.
static bool HasPlausibleEnPassant(const uint8_t board[64], int enPassant, int side)
{
    if (enPassant > 63)
        return true;
    if (side == White)
        return enPassant >= 16 && enPassant <= 23 && board[enPassant + 8] == 8 + Pawn;
    return enPassant >= 40 && enPassant <= 47 && board[enPassant - 8] == Pawn;
}

// True when the setup is one the engine can search: the piece, rights,
// en-passant and clock rules, and, checked last on a built position, the side
// that is not to move is not in check (touching kings included).
bool IsValidSetup(const uint8_t board[64], const uint8_t castling[2], int enPassant, int halfmoves, int side)
{
    if (side != White && side != Black)
        return false;
    if (!HasPlausiblePieces(board) || !HasBackedRights(board, castling) ||
        !HasPlausibleEnPassant(board, enPassant, side) || halfmoves > 100)
        return false;
    Position pos = BuildPosition(board, castling, enPassant, halfmoves, side);
    return !IsSquareAttacked(pos, KingSquare(pos, pos.XSide), pos.Side);
}

// A fresh Position for a setup that passed IsValidSetup: kings in slots 0 and
// 32, the other pieces after them in board order from a8 towards h1.
Position BuildPosition(const uint8_t board[64], const uint8_t castling[2], int enPassant, int halfmoves, int side)
{
    Position pos;
    std::memset(&pos, 0, sizeof pos);
    pos.Castling[White] = castling[White];
    pos.Castling[Black] = castling[Black];
    pos.HalfmoveClock = static_cast<uint8_t>(halfmoves);
    pos.Side = static_cast<uint8_t>(side);
    pos.XSide = static_cast<uint8_t>(1 - side);
    pos.EpSquare = static_cast<uint8_t>(enPassant <= 63 ? SquareOfIndex(enPassant) : NoSquare);
    pos.ListEnd[White] = 0;
    pos.ListEnd[Black] = 32;

    for (int index = 0; index < 64; index++) {
        int code = board[index];
        if (code == 0)
            continue;
        int square = SquareOfIndex(index);
        int colour = code >> 3;
        int kind = code & 7;
        int slot = colour * 32;
        if (kind != King) {
            pos.ListEnd[colour] += 2;
            slot = pos.ListEnd[colour];
        }
        pos.Board[square] = static_cast<uint8_t>(code);
        pos.Board[square | 8] = static_cast<uint8_t>(slot);
        pos.PieceList[slot] = static_cast<uint8_t>(kind);
        pos.PieceList[slot + 1] = static_cast<uint8_t>(square);
        pos.MaterialTally[colour] += TallyWeight[kind];
        pos.Occupied[colour] |= SetOf(square);
        if (kind == Pawn) {
            pos.PawnMask[colour].Lo |= SquareMask[square].Lo;
            pos.PawnMask[colour].Hi |= SquareMask[square].Hi;
        }
    }
    pos.Key = ComputeKey(board, castling, enPassant, side);
    return pos;
}
