// The shared move store: one stack of moves with their ordering scores, used
// by both generators and by every ply of the search.
#pragma once

#include "board/Position.h"

#include <cstdint>

// The store holds MoveStoreSize moves for the search. Behind them lies room
// for one more position's moves, so that a generator started at or below
// MoveStoreSize never writes past the arrays; the search treats a top beyond
// MoveStoreSize as a full store and does not search those moves.
constexpr int MoveStoreSize = 4097;
constexpr int MoveStoreRoom = MoveStoreSize + 512;

extern Move MoveList[MoveStoreRoom];
extern int32_t MoveScores[MoveStoreRoom];

inline bool MoveStoreIsFull(int top) { return top > MoveStoreSize; }

// Exchanges entries i and j of MoveList and of MoveScores.
inline void SwapMoves(int i, int j)
{
    Move move = MoveList[i];
    MoveList[i] = MoveList[j];
    MoveList[j] = move;
    int32_t score = MoveScores[i];
    MoveScores[i] = MoveScores[j];
    MoveScores[j] = score;
}
