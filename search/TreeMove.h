// One move of a search node, written once for the root and interior nodes
// (and the quiescence search's en-passant captures, which it does not test
// before the move): make it, test its legality, update the evaluation, search
// the child, take it back. Header-only, so that each node's loop inlines it.
#pragma once

#include "board/Check.h"
#include "board/Consistency.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"
#include "movegen/Evaluation.h"
#include "search/HashTable.h"
#include "search/TreeRoot.h"

#include <cstdint>

// What a node keeps to restore itself after every move (and the null move),
// and, in check, where the check comes from.
struct NodeSaves {
    EvalState Eval;     // the node's evaluation, put back after every move
    UndoInfo Undo;      // for TakeBack
    Bits64 Key;         // for TakeBack
    CheckSource Check;  // Count 0 when not in check
};

// The node a move is made from; SearchMove's two small differences hang on it.
enum class NodeKind { Root, Interior, Quiescence };

// Scores are 16-bit and wrap, as the negamax sign change does.
inline int16_t Negate(int value) { return static_cast<int16_t>(-value); }

// The saves of the node at pos, whose evaluation is eval; finds the check
// source when inCheck.
inline NodeSaves SaveNode(Position& pos, const EvalState& eval, bool inCheck)
{
    const CheckSource source = inCheck ? FindCheckSource(pos, KingSquare(pos, pos.Side), pos.XSide)
                                       : CheckSource{0, NoSquare};
    return NodeSaves{eval, SaveUndoInfo(pos), pos.Key, source};
}

// Makes the move and, when legal, returns the negated score of
// child(givesCheck), the child's search; an illegal move returns alpha.
// Counts NodeCount and legalCount once the child is done; pos and eval are
// as before on return.
template <NodeKind Kind, typename Child>
inline int16_t SearchMove(Position& pos, EvalState& eval, Move move, bool inCheck, int16_t alpha,
                          const NodeSaves& saves, int& legalCount, Child&& child)
{
    // A move that cannot answer the check is refused unmade. Captures are
    // always made: taking one back reorders the victim's list.
    if (inCheck && CapturedKind(move) == 0 && !MayAnswerCheck(pos, move, saves.Check))
        return alpha;
    // below a quiescence node nothing reads the key, rights, clock, tallies
    // or pawn masks, and TakeBack brings this node's back
    constexpr MoveScope scope = Kind == NodeKind::Quiescence ? MoveScope::Pieces : MoveScope::Full;
    int16_t score = alpha;
    PlayMove<scope>(pos, move);
    // a quiescence child never probes the table
    if constexpr (Kind != NodeKind::Quiescence)
        PrefetchHashSlot(pos.Key);
    // only around root moves: below a null move the key keeps the en-passant
    // file that the pass cleared, and so differs from one computed afresh
    if constexpr (Kind == NodeKind::Root)
        ASSERT_CONSISTENT(pos);
    if (!MoveLeavesKingInCheck(pos, move, inCheck, saves.Check)) {
        UpdateEvaluation(pos, move, eval);
        score = Negate(child(GivesCheck(pos, move)));
        // counted after the child, so that the root's currmove line, written
        // by its child, shows the nodes before this move
        NodeCount += 1;
        eval = saves.Eval;
        legalCount++;
    }
    TakeBack<scope>(pos, move, saves.Undo, saves.Key);
    if constexpr (Kind == NodeKind::Root)
        ASSERT_CONSISTENT(pos);
    return score;
}
