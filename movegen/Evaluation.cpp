// The static evaluation: the sum of the piece-square values of the side to
// move's pieces minus the opponent's, read from the endgame half of the
// tables once both sides weigh 5 or less. Scores wrap modulo 65536. Keeps no
// state: the search carries an EvalState per node and updates it move by move.
#include "movegen/Evaluation.h"

#include "board/DataFiles.h"
#include "board/Initialize.h"

// The piece-square value of colour's piece of kind on square, in the half
// chosen by offset.
static inline int PieceValue(int colour, int kind, int square, int offset)
{
    return PieceSquare[6 * colour + kind][square | offset];
}

// Sum of the piece-square values of all of colour's pieces, modulo 65536.
static int16_t SumPieces(const Position& pos, int colour, int offset)
{
    int sum = 0;
    int end = pos.ListEnd[colour];
    for (int slot = colour * 32; slot <= end; slot += 2)
        sum += PieceValue(colour, pos.PieceList[slot], pos.PieceList[slot + 1], offset);
    return static_cast<int16_t>(sum);
}

// Overwrites eval with the weights and score of the position, for Side.
void EvaluatePosition(const Position& pos, EvalState& eval)
{
    for (int colour = White; colour <= Black; colour++) {
        int weight = 0;
        for (int slot = colour * 32; slot <= pos.ListEnd[colour]; slot += 2)
            weight += PhaseWeights[pos.PieceList[slot]];
        eval.Weight[colour] = static_cast<uint8_t>(weight);
    }
    int offset = EndgameOffset(eval);
    eval.Score = static_cast<int16_t>(SumPieces(pos, pos.Side, offset) - SumPieces(pos, pos.XSide, offset));
}

// Turns the parent's eval into the child's for a move by mover, without
// looking at the position: the view passes to the receiver and only the
// touched squares are re-read. False when the move changes the game phase:
// the weights are then right, the score is for a whole sum.
bool StepEvaluation(Move move, int mover, EvalState& eval)
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

// Turns the parent's eval into the child's after PlayMove(pos, move); the
// whole sum is redone when the move changes the game phase.
void UpdateEvaluation(const Position& pos, Move move, EvalState& eval)
{
    if (!StepEvaluation(move, pos.XSide, eval)) {
        int offset = EndgameOffset(eval);
        eval.Score = static_cast<int16_t>(SumPieces(pos, pos.Side, offset) - SumPieces(pos, pos.XSide, offset));
    }
}
