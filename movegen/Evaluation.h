// The static evaluation: a sum of piece-square values for the side to move,
// with the endgame half of the tables once both sides are light.
#pragma once

#include "board/DataFiles.h"
#include "board/Initialize.h"
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

// The piece-square value of colour's piece of kind on square, in the half
// chosen by offset.
inline int PieceValue(int colour, int kind, int square, int offset)
{
    return PieceSquare[6 * colour + kind][square | offset];
}

// Turns the parent's eval into the child's for a move by mover, without
// looking at the position: the view passes to the receiver and only the
// touched squares are re-read. False when the move changes the game phase:
// the weights are then right, the score is for a whole sum.
inline bool StepEvaluation(Move move, int mover, EvalState& eval)
{
    int receiver = 1 - mover;
    int offset = EndgameOffset(eval);
    int kind = MovingKind(move);
    int victim = CapturedKind(move);
    int promotion = PromotionKind(move);
    int castling = (move.Flags >> 4) & 3;

    int score = -eval.Score;
    score -= PieceValue(mover, kind, move.To, offset);
    score += PieceValue(mover, kind, move.From, offset);
    if (victim != 0) {
        int square = move.To;
        if (move.Flags & FlagEnPassant)
            square += Direction[receiver];
        score -= PieceValue(receiver, victim, square, offset);
        eval.Weight[receiver] = static_cast<uint8_t>(eval.Weight[receiver] - PhaseWeights[victim]);
    }
    if (promotion != 0) {
        score += PieceValue(mover, Pawn, move.To, offset);
        score -= PieceValue(mover, promotion, move.To, offset);
        eval.Weight[mover] = static_cast<uint8_t>(eval.Weight[mover] + PhaseWeights[promotion] - PhaseWeights[Pawn]);
    }
    if (castling != 0) {
        int rookFrom = move.To + CastleOffset[castling - 1];
        int rookTo = rookFrom + CastleOffset[castling + 1];
        score += PieceValue(mover, Rook, rookFrom, offset) - PieceValue(mover, Rook, rookTo, offset);
    }
    eval.Score = static_cast<int16_t>(score);
    return EndgameOffset(eval) == offset;
}

// Brings the parent's evaluation up to date after PlayMove(pos, move); equal
// to EvaluatePosition of the new position when the parent's state was right.
void UpdateEvaluation(const Position& pos, Move move, EvalState& eval);
