// The static evaluation: a sum of piece-square values for the side to move,
// with the endgame half of the tables once both sides are light.
#pragma once

#include "board/Position.h"

#include <cstdint>

// Kept by value in every search frame. Score wraps modulo 65536.
struct EvalState {
    int16_t Score;     // static score for the side to move
    uint8_t Weight[2]; // per colour, the sum of PhaseWeights of its pieces
};

// Offset of the table half in force: 8 (endgame) when both weights are 5 or
// less, else 0 (middle game).
inline int EndgameOffset(const EvalState& eval)
{
    return (eval.Weight[White] <= 5 && eval.Weight[Black] <= 5) ? 8 : 0;
}

// The evaluation of a position from scratch.
void EvaluatePosition(const Position& pos, EvalState& eval);

// The parent's evaluation brought up to date for a move by mover, before or
// after it is made: false when the move changes the game phase, and the score
// then needs UpdateEvaluation on the new position.
bool StepEvaluation(Move move, int mover, EvalState& eval);

// Brings the parent's evaluation up to date after PlayMove(pos, move); equal
// to EvaluatePosition of the new position when the parent's state was right.
void UpdateEvaluation(const Position& pos, Move move, EvalState& eval);
