// The interior alpha-beta search: draw and repetition tests, the table probe
// and store, null-move pruning, staged move ordering (table move, good
// captures, then the rest by history) and the periodic input poll; moves are
// made through SearchMove. Owns PlyKeys, the path's keys; allocates nothing.
#include "search/TreeBranch.h"

#include "board/Check.h"
#include "board/DataFiles.h"
#include "board/Initialize.h"
#include "board/MakeMove.h"
#include "frontend/Interface.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "movegen/See.h"
#include "search/HashTable.h"
#include "search/History.h"
#include "search/TreeLeaf.h"
#include "search/TreeMove.h"
#include "search/TreeRoot.h"

#include <cassert>

Bits64 PlyKeys[256];

namespace {

// The node's stretch of the move store: moves before cur are done, [cur,
// bound) are the ones the current stage picks from, [bound, top) wait.
// Stage 0: only the table move; 1: good captures; 2: everything else.
// Picked: the entry at cur is already the best of the stage. Scored: how many
// entries of [cur, bound) score above zero (no score is below); once none is
// left, the stage's moves come in list order.
struct MoveStages {
    int Cur;
    int Top;
    int Bound;
    int Stage;
    bool Picked;
    int Scored;
};

inline bool IsEmptyMove(const Move& move) { return move.From == 0 && move.To == 0; }

}  // namespace

// A pawn move of the generators: a push (double from the start row over an
// empty square), a diagonal capture, an en-passant capture of EpSquare, and
// on the row before the last only promotions, queen to knight.
static bool IsPawnMoveFit(const Position& pos, const Move& move)
{
    int side = pos.Side;
    int from = move.From, to = move.To, flags = move.Flags;
    int forward = Direction[side];
    bool diagonal = to - from == Direction[4 + side] || to - from == Direction[6 + side];
    if ((from & 0xF0) == PromotionRow[side]) {
        bool push = CapturedKind(move) == 0 && to == from + forward;
        return flags >= Knight && flags <= Queen && (push || (CapturedKind(move) != 0 && diagonal));
    }
    if (flags == FlagEnPassant) {
        int victimSquare = to + Direction[pos.XSide];
        return move.Kinds == (Pawn << 4 | Pawn) && diagonal && to == pos.EpSquare &&
               pos.Board[victimSquare] == pos.XSide * 8 + Pawn;
    }
    if (CapturedKind(move) != 0)
        return flags == 0 && diagonal;
    if (flags == 0)
        return to == from + forward;
    return flags == FlagDoublePush && to == from + 2 * forward && (from & 0xF0) == PromotionRow[pos.XSide] &&
           pos.Board[from + forward] == 0;
}

// A castling move of the generators: the right held, the squares between king
// and rook empty, not in check, the square the king crosses not attacked.
// The rook is checked as well, so that a foreign move cannot conjure one.
static bool IsCastlingFit(Position& pos, const Move& move, bool inCheck)
{
    int side = pos.Side, king = move.From;
    if (move.Kinds != King || inCheck || king != RookHome[side] + 4)
        return false;
    if (move.Flags == FlagQueenSideCastle) {
        return move.To == king - 2 && (pos.Castling[side] & QueenSideRight) && pos.Board[king - 1] == 0 &&
               pos.Board[king - 2] == 0 && pos.Board[king - 3] == 0 && pos.Board[king - 4] == side * 8 + Rook &&
               !IsSquareAttacked(pos, king - 1, pos.XSide);
    }
    return move.Flags == FlagKingSideCastle && move.To == king + 2 && (pos.Castling[side] & KingSideRight) &&
           pos.Board[king + 1] == 0 && pos.Board[king + 2] == 0 && pos.Board[king + 3] == side * 8 + Rook &&
           !IsSquareAttacked(pos, king + 1, pos.XSide);
}

// True when a knight, bishop, rook, queen or king on from reaches to: the
// attack table allows the step and a slider's path is empty.
static bool PieceReaches(const Position& pos, int kind, int from, int to)
{
    int entry = AttackEntry(to - from);
    if ((entry & KindBits[kind]) == 0)
        return false;
    if (kind == Knight || kind == King)
        return true;
    int step = Direction[entry & 15];
    for (int square = from + step; square != to; square += step) {
        if (pos.Board[square] != 0)
            return false;
    }
    return true;
}

// The move's piece of the side to move stands on From, its victim (or an
// empty square) on To, and the piece's rules allow the move.
bool IsPseudoLegal(Position& pos, const Move& move, bool inCheck)
{
    int from = move.From, to = move.To, kind = MovingKind(move);
    if (!IsOnBoard(from) || !IsOnBoard(to) || from == to || kind < Pawn || kind > King)
        return false;
    if (pos.Board[from] != pos.Side * 8 + kind)
        return false;
    if (kind == Pawn && move.Flags == FlagEnPassant)
        return pos.Board[to] == 0 && IsPawnMoveFit(pos, move);
    int victim = CapturedKind(move);
    if (victim > King)
        return false;
    if (pos.Board[to] != (victim == 0 ? 0 : pos.XSide * 8 + victim))
        return false;
    if (kind == Pawn)
        return IsPawnMoveFit(pos, move);
    if (move.Flags == FlagQueenSideCastle || move.Flags == FlagKingSideCastle)
        return IsCastlingFit(pos, move, inCheck);
    return move.Flags == 0 && PieceReaches(pos, kind, from, to);
}

// Counts the node for the input poll; every 65 535 nodes the search's poll
// runs, which may set StopRequested or end the process. Every 4096 nodes the
// clock is read, for the hard time limit.
static inline void PollInput()
{
    PollCounter = static_cast<int16_t>(PollCounter + 1);
    if ((PollCounter & 4095) == 0)
        StopIfOutOfTime();
    if (PollCounter == 32767) {
        PollCounter = -32768;
        PollSearchInput();
    }
}

// True for a node scored as a draw without search: fifty-move rule, no
// mating material on either side, or a repetition of a position of the path.
static inline bool IsDrawnOnPath(const Position& pos, int ply)
{
    if (pos.HalfmoveClock > 100)
        return true;
    int white = pos.MaterialTally[White];
    int black = pos.MaterialTally[Black];
    if ((white | black) <= 1 && (white & black) == 0)
        return true;
    for (int i = ply - 4; i >= 1; i -= 2) {
        if (PlyKeys[i] == pos.Key)
            return true;
    }
    return false;
}

// Looks the position up. True, with the stored score, when the entry answers
// a node of depth n and this window; otherwise hashMove gets the entry's move
// when the check value matches, else stays empty.
static inline bool ProbeTable(const Position& pos, int n, int16_t alpha, int16_t beta, int16_t& score,
                              Move& hashMove)
{
    hashMove = Move{};
    const HashEntry& entry = HashSlot(pos.Key);
    if (entry.Check != pos.Key.Hi)
        return false;
    if (entry.Depth >= n &&
        (entry.Bound == Exact || (entry.Bound == UpperBound && entry.Score <= alpha) ||
         (entry.Bound == LowerBound && entry.Score >= beta))) {
        score = entry.Score;
        return true;
    }
    hashMove = entry.BestMove;
    return false;
}

// Passes the move and searches the opponent at reduced depth with a null
// window at beta. True, with that score, when even passing fails high. Not
// through SearchMove: a pass changes only side, key and en-passant square.
static bool NullMoveFailsHigh(Position& pos, EvalState& eval, int first, int n, int ply, int16_t beta,
                              Move* childLine, const NodeSaves& saves, int16_t& score)
{
    // Only the side key is toggled: a recorded en-passant file stays in the key.
    pos.EpSquare = NoSquare;
    pos.HalfmoveClock++;
    pos.Side ^= 1;
    pos.XSide ^= 1;
    ToggleBits(pos.Key, RandomKeys[SideKey]);
    eval.Score = Negate(eval.Score);
    int reduced = n == 3 ? 1 : n - 3;
    childLine[0] = Move{};
    int16_t value = Negate(SearchBranch(pos, eval, first, reduced, ply + 1, false, Negate(beta),
                                        static_cast<int16_t>(-beta + 1), childLine));
    eval = saves.Eval;
    pos.EpSquare = saves.Undo.EpSquare;
    pos.HalfmoveClock = saves.Undo.HalfmoveClock;
    pos.Side ^= 1;
    pos.XSide ^= 1;
    pos.Key = saves.Key;
    score = value;
    return value >= beta;
}

// The entries of [first, bound) that score above zero.
static inline int CountScored(int first, int bound)
{
    int scored = 0;
    for (int i = first; i < bound; i++) {
        assert(MoveScores[i] >= 0);
        scored += MoveScores[i] > 0;
    }
    return scored;
}

// Generates the captures behind the table move and puts the ones that pass
// the exchange test in front, in list order. False when the store is full.
static inline bool OpenCaptureStage(Position& pos, MoveStages& s)
{
    s.Top = GenerateCaptures(pos, s.Cur);
    if (MoveStoreIsFull(s.Top))
        return false;
    s.Bound = s.Cur;
    // the first captures tried are among these: their children's table
    // entries start loading while the exchange test runs
    for (int i = s.Cur; i < s.Top; i++)
        PrefetchHashSlot(KeyHintAfter(pos, MoveList[i]));
    for (int i = s.Cur; i < s.Top; i++) {
        if (IsGoodCapture(pos, MoveList[i], s.Cur, s.Top - 1)) {
            SwapMoves(i, s.Bound);
            s.Bound++;
        }
    }
    s.Stage = 1;
    s.Scored = CountScored(s.Cur, s.Bound);
    return true;
}

// The failed captures lose their scores and join the quiet moves, which are
// generated behind them. False when the store is full.
static inline bool OpenQuietStage(Position& pos, MoveStages& s, bool inCheck)
{
    for (int i = s.Bound; i < s.Top; i++)
        MoveScores[i] = 0;
    s.Top = GenerateQuietMoves(pos, s.Top, inCheck);
    if (MoveStoreIsFull(s.Top))
        return false;
    s.Bound = s.Top;
    s.Stage = 2;
    s.Scored = CountScored(s.Cur, s.Bound);
    return true;
}

// Swaps the best-scored entry of [at, bound), the earliest on ties, to at.
// With no score above zero left that is the entry at at already.
static inline void PickStageBest(MoveStages& s, int at)
{
    if (s.Scored == 0)
        return;
    int best = at;
    for (int i = at + 1; i < s.Bound; i++) {
        if (MoveScores[i] > MoveScores[best])
            best = i;
    }
    SwapMoves(at, best);
    s.Scored--;
}

// Brings the node's next move to index Cur: the best-scored of the current
// stage, the earliest on ties. False when the moves are exhausted; full is
// set instead when a stage did not fit into the move store.
static inline bool SelectNextMove(Position& pos, MoveStages& s, bool inCheck, bool& full)
{
    if (s.Cur == s.Top && s.Stage == 0 && !OpenCaptureStage(pos, s)) {
        full = true;
        return false;
    }
    if (s.Cur == s.Bound && s.Stage == 1 && !OpenQuietStage(pos, s, inCheck)) {
        full = true;
        return false;
    }
    if (s.Cur == s.Top)
        return false;
    if (!s.Picked)
        PickStageBest(s, s.Cur);
    s.Picked = false;
    return true;
}

// While the current move is searched, picks the stage's next move (the child
// cannot change the choice: it neither moves nor rescores this node's
// entries) and, for a quiet move, starts loading the table entry of the
// position it leads to; the captures' entries were requested when their
// stage opened.
static inline void PickNextAndPrefetch(const Position& pos, MoveStages& s)
{
    if (s.Stage == 0 || s.Cur >= s.Bound)
        return;
    PickStageBest(s, s.Cur);
    s.Picked = true;
    if (s.Stage == 2)
        PrefetchHashSlot(KeyHintAfter(pos, MoveList[s.Cur]));
}

// Copies a child's line behind the node's move, up to and including the
// child's closing empty entry.
static inline void CopyChildLine(Move* line, const Move* childLine, int n)
{
    for (int j = 1; j <= n - 1; j++) {
        line[j] = childLine[j - 1];
        if (IsEmptyMove(line[j]))
            break;
    }
}

// Steps 7-9 of SearchBranch: the move loop and the store. Fail-hard below
// (alpha), fail-soft above (the cutoff score). A node whose moves do not fit
// into the move store is judged by its static score (or the alpha its moves
// reached) and stores nothing; so does a node cut short by a stop, whose
// result rests on the 0 that stopped children return.
static int16_t SearchMoves(Position& pos, EvalState& eval, int first, int n, int ply, bool inCheck,
                           int16_t alpha, int16_t beta, Move* line, Move* childLine, Move hashMove,
                           const NodeSaves& saves)
{
    // 7. the moves by stages (table move, good captures, the rest by
    // history), each made and searched by SearchMove
    line[0] = Move{};
    MoveStages s{first, first, first, 0, false, 0};
    if (hashMove.Kinds != 0) {
        if (MoveStoreIsFull(first + 1))
            return eval.Score > alpha ? eval.Score : alpha;
        MoveList[first] = hashMove;
        s.Top = first + 1;
    }
    int legalCount = 0;
    bool full = false;
    while (SelectNextMove(pos, s, inCheck, full)) {
        Move move = MoveList[s.Cur];
        s.Cur++;
        if (s.Stage != 0 && move.From == hashMove.From && move.To == hashMove.To && move.Flags == hashMove.Flags)
            continue;
        PickNextAndPrefetch(pos, s);
        const int childFirst = s.Top;
        int16_t score = SearchMove<NodeKind::Interior>(
            pos, eval, move, inCheck, alpha, saves, legalCount, [&](bool givesCheck) {
                childLine[0] = Move{};
                return SearchBranch(pos, eval, childFirst, n - 1, ply + 1, givesCheck, Negate(beta),
                                    Negate(alpha), childLine);
            });
        if (score <= alpha)
            continue;
        alpha = score;
        line[0] = move;
        CopyChildLine(line, childLine, n);
        // 8. a cutoff: history for a quiet move, a lower bound in the table
        if (score >= beta) {
            if (CapturedKind(move) == 0 && PromotionKind(move) == 0)
                RecordQuietCutoff(pos.Side, MovingKind(move), move.To, n);
            if (!StopRequested)
                StoreHashEntry(pos.Key, move, score, LowerBound, n);
            return score;
        }
    }
    // 9. moves exhausted: mate or stalemate, else an exact or upper bound in
    // the table; a full store or a stop stores nothing
    if (full)
        return eval.Score > alpha ? eval.Score : alpha;
    uint8_t bound = line[0].Kinds != 0 ? Exact : UpperBound;
    int16_t result = alpha;
    if (legalCount == 0) {
        result = inCheck ? static_cast<int16_t>(ply - MateScore) : 0;
        bound = Exact;
    }
    if (!StopRequested)
        StoreHashEntry(pos.Key, line[0], result, bound, n);
    return result;
}

// The interior node, steps 1-6 here and 7-9 in SearchMoves. See the header
// for the line contract.
int16_t SearchBranch(Position& pos, EvalState& eval, int first, int n, int ply, bool inCheck, int16_t alpha,
                     int16_t beta, Move* line)
{
    // 1. stop flag and input poll
    if (StopRequested)
        return 0;
    PollInput();
    // 2. draw and repetition tests
    if (IsDrawnOnPath(pos, ply))
        return 0;
    // 3. table probe
    int16_t score;
    Move hashMove;
    if (ProbeTable(pos, n, alpha, beta, score, hashMove))
        return score;
    // 4. at the horizon, the quiescence search
    if (n <= 0)
        return SearchLeaf(pos, eval, first, ply, inCheck, alpha, beta);

    // 5. path key, saves, and the table move if it fits this position (a key
    // collision may hand over a move of another one)
    Move childLine[MaxDepth];  // entries 0 .. n - 2 are used; written before they are read
    PlyKeys[ply] = pos.Key;
    const NodeSaves saves = SaveNode(pos, eval, inCheck);
    if (hashMove.Kinds != 0 && !IsPseudoLegal(pos, hashMove, inCheck))
        hashMove = Move{};
    if (hashMove.Kinds != 0)
        PrefetchHashSlot(KeyHintAfter(pos, hashMove));
    // 6. null move
    if (!inCheck && n >= 3 && eval.Score > beta && (eval.Weight[White] | eval.Weight[Black]) >= 2 &&
        NullMoveFailsHigh(pos, eval, first, n, ply, beta, childLine, saves, score))
        return score;
    return SearchMoves(pos, eval, first, n, ply, inCheck, alpha, beta, line, childLine, hashMove, saves);
}
