// TakeBack: unmakes the move of the last PlayMove on the Position.
#pragma once

#include "board/Position.h"

// Restores the position from before PlayMove<Scope>(pos, move), given the
// UndoInfo and key saved then. A captured piece returns at the end of its
// colour's list.
template <MoveScope Scope = MoveScope::Full>
void TakeBack(Position& pos, Move move, const UndoInfo& undo, Bits64 savedKey);
