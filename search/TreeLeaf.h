// The quiescence search: stand pat, captures and promotions best first, and
// every evasion when in check. Beyond LeafPlyLimit every node stands pat,
// which bounds the recursion.
#pragma once

#include "board/Position.h"
#include "movegen/Evaluation.h"
#include "search/TreeRoot.h"

#include <cstdint>

// Quiescence plies deeper than this stand pat, so that chains of checks and
// evasions cannot grow the stack without end.
constexpr int LeafPlyLimit = 250;

// Steps 3-6 of SearchLeaf, for a node that did not stand pat: the captures
// and promotions, best first, and in check the evasions.
int16_t SearchLeafMoves(Position& pos, EvalState& eval, int first, int ply, bool inCheck, int16_t alpha,
                        int16_t beta);

// Steps 1-2 of SearchLeaf, which read nothing but the static score: raise
// SelDepth to ply and alpha to the score when it may stand pat, and return
// true with the node's result when the node ends there.
inline bool StandsPat(int16_t standPat, int ply, bool inCheck, int16_t& alpha, int16_t beta, int16_t& result)
{
    // 1. selective depth
    if (ply > SelDepth)
        SelDepth = static_cast<int16_t>(ply);
    // 2. stand pat, unless in check; beyond LeafPlyLimit always
    bool tooDeep = ply > LeafPlyLimit;
    if (!inCheck || tooDeep) {
        if (standPat > alpha)
            alpha = standPat;
        if (standPat >= beta || tooDeep) {
            result = standPat >= beta ? standPat : alpha;
            return true;
        }
    }
    return false;
}

// A quiescence node at the given ply. Not in check: at least the static score
// (fail-hard at alpha, fail-soft above beta). In check without a legal move:
// ply - MateScore. Raises SelDepth to ply. Inline, so that a horizon node
// that stands pat at once costs its parent no call (a quiescence parent runs
// StandsPat for its children before making their moves).
inline int16_t SearchLeaf(Position& pos, EvalState& eval, int first, int ply, bool inCheck, int16_t alpha,
                          int16_t beta)
{
    int16_t result;
    if (StandsPat(eval.Score, ply, inCheck, alpha, beta, result))
        return result;
    return SearchLeafMoves(pos, eval, first, ply, inCheck, alpha, beta);
}
