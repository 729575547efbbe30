// PlayMove: makes a pseudo-legal move on the Position in place, keeping the
// board, shadow cells, lists, pawn masks, tallies, rights and key up to date.
#pragma once

#include "board/Position.h"

// Makes the move for Side. The caller keeps SaveUndoInfo(pos) and pos.Key
// from just before the call, for TakeBack.
void PlayMove(Position& pos, const Move& move);
