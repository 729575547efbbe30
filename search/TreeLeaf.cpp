// The quiescence search past its stand pat (which is inline in the header):
// a node not in check tries captures and promotions, best score first; a
// node in check tries every evasion, so that mates at the horizon are seen.
// Moves are tested before they are made, so that a child that would only
// stand pat is settled on its score and never made.
#include "search/TreeLeaf.h"

#include "board/Check.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "search/TreeMove.h"
#include "search/TreeRoot.h"

#include <cassert>

// Insertion sort of the store entries [first, top) by score, greatest first;
// a move passes its neighbour only on a strictly greater score, so equal
// scores keep the generated order. Shifts instead of swapping pairs.
static inline void SortByScore(int first, int top)
{
    for (int i = first + 1; i < top; i++) {
        const Move move = MoveList[i];
        const int32_t score = MoveScores[i];
        int j = i;
        for (; j > first && score > MoveScores[j - 1]; j--) {
            MoveList[j] = MoveList[j - 1];
            MoveScores[j] = MoveScores[j - 1];
        }
        MoveList[j] = move;
        MoveScores[j] = score;
    }
}

// A move other than en passant, tested before it is made, so that an illegal
// move, or one whose child would only stand pat, is never made. Returns what
// SearchMove would, with the same counts, and leaves the lists in the order
// that making and taking back the move leaves them.
static inline int16_t SearchTestedMove(Position& pos, EvalState& eval, Move move, int top, int ply, int16_t alpha,
                                       int16_t beta, const NodeSaves& saves, int& legalCount)
{
    if (WouldLeaveKingInCheck(pos, move, saves.Check)) {
        ReorderAsAfterCapture(pos, move);
        return alpha;
    }
    const bool givesCheck = WouldGiveCheck(pos, move);
    EvalState child = eval;
    const bool samePhase = StepEvaluation(move, pos.Side, child);
    int16_t childAlpha = Negate(beta);
    int16_t score;
    if (samePhase && StandsPat(child.Score, ply + 1, givesCheck, childAlpha, Negate(alpha), score)) {
        ReorderAsAfterCapture(pos, move);
    } else {
        PlayMove<MoveScope::Pieces>(pos, move);
        // the tests made before the move give the answers of those after it
        assert(!LeavesKingInCheck(pos, move, saves.Check.Count != 0) && GivesCheck(pos, move) == givesCheck);
        if (samePhase) {
            eval = child;
            score = SearchLeafMoves(pos, eval, top, ply + 1, givesCheck, childAlpha, Negate(alpha));
        } else {
            UpdateEvaluation(pos, move, eval);
            score = SearchLeaf(pos, eval, top, ply + 1, givesCheck, childAlpha, Negate(alpha));
        }
        eval = saves.Eval;
        TakeBack<MoveScope::Pieces>(pos, move, saves.Undo, saves.Key);
    }
    NodeCount += 1;
    legalCount++;
    return Negate(score);
}

// Steps 3-6 of SearchLeaf, for a node that did not stand pat: generates the
// captures and promotions and searches them best score first, then in check
// the quiet evasions generated behind them. Returns the first score that
// reaches beta, else alpha as raised by the moves, or the mate score in check
// without a legal move. Moves that do not fit into the move store are not
// searched: the static score stands in for them.
int16_t SearchLeafMoves(Position& pos, EvalState& eval, int first, int ply, bool inCheck, int16_t alpha,
                        int16_t beta)
{
    // 3. captures and promotions, best score first
    int top = GenerateCaptures(pos, first);
    if (MoveStoreIsFull(top))
        return eval.Score > alpha ? eval.Score : alpha;
    SortByScore(first, top);

    // 4. the moves: captures, then in check the quiet evasions
    const NodeSaves saves = SaveNode(pos, eval, inCheck);
    bool quietStage = false;
    int legalCount = 0;
    for (int cur = first;; cur++) {
        if (cur == top && !quietStage && inCheck) {
            // only the quiet moves that may answer the check: the others
            // would be refused unmade, and making a quiet move changes nothing
            top = GenerateQuietEvasions(pos, cur, saves.Check);
            quietStage = true;
            if (MoveStoreIsFull(top))
                return eval.Score > alpha ? eval.Score : alpha;
        }
        // 5. moves exhausted: alpha, or mated in check without a legal move
        if (cur == top)
            return legalCount == 0 && inCheck ? static_cast<int16_t>(ply - MateScore) : alpha;
        // 6. the move, tested before it is made (en passant is made first,
        // through SearchMove); a score at beta cuts off
        const Move move = MoveList[cur];
        int16_t score;
        if ((move.Flags & FlagEnPassant) == 0)
            score = SearchTestedMove(pos, eval, move, top, ply, alpha, beta, saves, legalCount);
        else
            score = SearchMove<NodeKind::Quiescence>(
                pos, eval, move, inCheck, alpha, saves, legalCount, [&](bool givesCheck) {
                    return SearchLeaf(pos, eval, top, ply + 1, givesCheck, Negate(beta), Negate(alpha));
                });
        if (score > alpha)
            alpha = score;
        if (score >= beta)
            return score;
    }
}
