// TakeBack: unmakes the move of the last PlayMove on the Position.
#pragma once

#include "board/Initialize.h"
#include "board/Position.h"

// Restores the position from before PlayMove<Scope>(pos, move), given the
// UndoInfo and key saved then. A captured piece returns at the end of its
// colour's list.
template <MoveScope Scope = MoveScope::Full>
void TakeBack(Position& pos, Move move, const UndoInfo& undo, Bits64 savedKey);

// What PlayMove and TakeBack of a capture leave changed: the victim's entry
// and the last entry of its colour's list have traded slots. For a search
// that settles a move without making it, so that the lists, and with them
// the generated move order, come out as if it had been made; nothing for a
// move that captures nothing.
inline void ReorderAsAfterCapture(Position& pos, Move move)
{
    if (CapturedKind(move) == 0)
        return;
    int xside = pos.XSide;
    int square = (move.Flags & FlagEnPassant) != 0 ? move.To + Direction[xside] : move.To;
    int slot = pos.Board[square | 8];
    int last = pos.ListEnd[xside];
    uint8_t kind = pos.PieceList[slot];
    uint8_t other = pos.PieceList[last + 1];
    pos.PieceList[slot] = pos.PieceList[last];
    pos.PieceList[slot + 1] = other;
    pos.PieceList[last] = kind;
    pos.PieceList[last + 1] = static_cast<uint8_t>(square);
    pos.Board[other | 8] = static_cast<uint8_t>(slot);
    pos.Board[square | 8] = static_cast<uint8_t>(last);
}
