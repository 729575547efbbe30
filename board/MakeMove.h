// PlayMove: makes a pseudo-legal move on the Position in place, keeping the
// board, shadow cells, lists and square sets up to date, and unless told
// otherwise the pawn masks, tallies, rights, clock and key as well.
#pragma once

#include "board/DataFiles.h"
#include "board/Initialize.h"
#include "board/Position.h"

// Makes the move for Side, keeping the fields of the scope up to date. The
// caller keeps SaveUndoInfo(pos) and pos.Key from just before the call, for
// TakeBack of the same scope.
template <MoveScope Scope = MoveScope::Full>
void PlayMove(Position& pos, Move move);

// The key the move leads to as far as the moved and captured pieces, the side
// to move and the cleared en-passant file change it; changes of castling
// rights, a new en-passant file and a castling rook are left out. Good enough
// to fetch the table entry of the child ahead of time; never a real key.
// Inline, so that a caller that needs only one half computes only that one.
inline Bits64 KeyHintAfter(const Position& pos, Move move)
{
    int side = pos.Side;
    int kind = MovingKind(move);
    int arriving = ArrivingKind(move);
    Bits64 key = pos.Key;
    ToggleBits(key, RandomKeys[PieceKeyIndex(move.From, side, kind)]);
    ToggleBits(key, RandomKeys[PieceKeyIndex(move.To, side, arriving)]);
    ToggleBits(key, RandomKeys[SideKey]);
    ToggleBits(key, RandomKeys[EnPassantKey + (pos.EpSquare & 15)]);
    int victim = CapturedKind(move);
    if (victim != 0) {
        int square = (move.Flags & FlagEnPassant) != 0 ? move.To + Direction[pos.XSide] : move.To;
        ToggleBits(key, RandomKeys[PieceKeyIndex(square, pos.XSide, victim)]);
    }
    return key;
}
