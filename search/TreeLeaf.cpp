// The quiescence search: a node not in check stands pat on its incremental
// score and tries captures and promotions, best score first; a node in check
// tries every evasion, so that mates at the horizon are seen. Beyond
// LeafPlyLimit every node stands pat, which bounds the recursion.
#include "search/TreeLeaf.h"

#include "board/Check.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "search/TreeRoot.h"

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

// What a quiescence node keeps while it tries its moves: the state to restore
// after each one and, in check, where the check comes from.
struct LeafSaves {
    EvalState Eval;
    UndoInfo Undo;
    Bits64 Key;
    CheckSource Check;
};

// Makes one move of a quiescence node and searches it. Returns the negated
// child score, or alpha when the move leaves the own king in check (moves
// that cannot answer a check are refused before they are made).
static inline int16_t SearchLeafMove(Position& pos, EvalState& eval, const Move move, int top, int ply,
                                     bool inCheck, int16_t alpha, int16_t beta, const LeafSaves& saves,
                                     int& legalCount)
{
    // Captures are always made: taking one back reorders the victim's list.
    if (inCheck && CapturedKind(move) == 0 && !MayAnswerCheck(pos, move, saves.Check))
        return alpha;
    int16_t score = alpha;
    PlayMove(pos, move);
    if (!MoveLeavesKingInCheck(pos, move, inCheck, saves.Check)) {
        UpdateEvaluation(pos, move, eval);
        NodeCount += 1;
        bool givesCheck = GivesCheck(pos, move);
        score = static_cast<int16_t>(-SearchLeaf(pos, eval, top, ply + 1, givesCheck, static_cast<int16_t>(-beta),
                                                 static_cast<int16_t>(-alpha)));
        eval = saves.Eval;
        legalCount++;
    }
    TakeBack(pos, move, saves.Undo, saves.Key);
    return score;
}

// Searches the moves [cur, top) and, for a node in check, the quiet moves
// generated behind them. Returns the first score that reaches beta, or once
// the moves are exhausted alpha as raised by them, or the mate score for a
// node in check without a legal move. Evasions that do not fit into the move
// store are not searched: the static score stands in for them.
static inline int16_t SearchLeafMoves(Position& pos, EvalState& eval, int cur, int top, int ply, bool inCheck,
                                      int16_t alpha, int16_t beta)
{
    const CheckSource source = inCheck ? FindCheckSource(pos, KingSquare(pos, pos.Side), pos.XSide)
                                       : CheckSource{0, NoSquare};
    const LeafSaves saves{eval, SaveUndoInfo(pos), pos.Key, source};
    bool quietStage = false;
    int legalCount = 0;
    for (;; cur++) {
        if (cur == top && !quietStage && inCheck) {
            // only the quiet moves that may answer the check: the others
            // would be refused unmade, and making a quiet move changes nothing
            top = GenerateQuietEvasions(pos, cur, saves.Check);
            quietStage = true;
            if (MoveStoreIsFull(top))
                return eval.Score > alpha ? eval.Score : alpha;
        }
        if (cur == top)
            return legalCount == 0 && inCheck ? static_cast<int16_t>(ply - MateScore) : alpha;
        int16_t score = SearchLeafMove(pos, eval, MoveList[cur], top, ply, inCheck, alpha, beta, saves, legalCount);
        if (score > alpha)
            alpha = score;
        if (score >= beta)
            return score;
    }
}

// A quiescence node at the given ply. Not in check: at least the static score
// (fail-hard at alpha, fail-soft above beta). In check without a legal move:
// ply - MateScore. Raises SelDepth to ply.
int16_t SearchLeaf(Position& pos, EvalState& eval, int first, int ply, bool inCheck, int16_t alpha,
                   int16_t beta)
{
    if (ply > SelDepth)
        SelDepth = static_cast<int16_t>(ply);
    bool tooDeep = ply > LeafPlyLimit;
    if (!inCheck || tooDeep) {
        int16_t standPat = eval.Score;
        if (standPat > alpha)
            alpha = standPat;
        if (standPat >= beta || tooDeep)
            return standPat >= beta ? standPat : alpha;
    }
    int top = GenerateCaptures(pos, first);
    if (MoveStoreIsFull(top))
        return eval.Score > alpha ? eval.Score : alpha;
    SortByScore(first, top);
    return SearchLeafMoves(pos, eval, first, top, ply, inCheck, alpha, beta);
}
