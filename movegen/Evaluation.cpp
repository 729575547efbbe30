// The static evaluation: the sum of the piece-square values of the side to
// move's pieces minus the opponent's, read from the endgame half of the
// tables once both sides weigh 5 or less. Scores wrap modulo 65536. Keeps no
// state: the search carries an EvalState per node and updates it move by move.
#include "movegen/Evaluation.h"

#include "board/DataFiles.h"
#include "board/Initialize.h"

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

// Turns the parent's eval into the child's after PlayMove(pos, move); the
// whole sum is redone when the move changes the game phase.
void UpdateEvaluation(const Position& pos, Move move, EvalState& eval)
{
    if (!StepEvaluation(move, pos.XSide, eval)) {
        int offset = EndgameOffset(eval);
        eval.Score = static_cast<int16_t>(SumPieces(pos, pos.Side, offset) - SumPieces(pos, pos.XSide, offset));
    }
}
