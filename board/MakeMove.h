// PlayMove: makes a pseudo-legal move on the Position in place, keeping the
// board, shadow cells, lists, pawn masks, tallies, rights and key up to date.
#pragma once

#include "board/Position.h"

// Makes the move for Side. The caller keeps SaveUndoInfo(pos) and pos.Key
// from just before the call, for TakeBack.
void PlayMove(Position& pos, const Move& move);

// The key the move leads to as far as the moved and captured pieces, the side
// to move and the cleared en-passant file change it; changes of castling
// rights, a new en-passant file and a castling rook are left out. Good enough
// to fetch the table entry of the child ahead of time; never a real key.
Bits64 KeyHintAfter(const Position& pos, const Move& move);
