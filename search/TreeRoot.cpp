// The root of the search: iterative deepening over the root moves, the stop
// rule between iterations, the four kinds of "info" line, and the counters
// and move text that the whole search shares. The root list lives at the
// bottom of the move store and keeps the best move in its first entry.
#include "search/TreeRoot.h"

#include "board/Check.h"
#include "board/Consistency.h"
#include "board/Initialize.h"
#include "board/MakeMove.h"
#include "board/UndoMove.h"
#include "frontend/Channel.h"
#include "frontend/Decript.h"
#include "frontend/Interface.h"
#include "movegen/Evaluation.h"
#include "movegen/GeneratorF.h"
#include "movegen/GeneratorS.h"
#include "movegen/MoveStore.h"
#include "platform/Platform.h"
#include "search/History.h"
#include "search/TreeBranch.h"

#include <cmath>
#include <cstdio>
#include <cstring>

double NodeCount = 0;
int16_t SelDepth = 0;
int64_t SearchStart = 0;
int16_t PollCounter = -32768;
int DepthLimit = MaxDepth;
bool InfoLinesOn = true;
int32_t StopAfterMs = -1;

constexpr int16_t LowestScore = -32767;  // Best at the start of an iteration, alpha of every root child
constexpr int TimeDivisor = 64;          // the budget of a move is RemainingTime / 64
constexpr int32_t CurrentMoveDelay = 999;
// An iteration may run past the budget, and one that explodes (a bare
// endgame at depth 20) could run past the clock: at RemainingTime / 8 the
// search stops where it is. Armed once the first iteration has given a move.
constexpr int HardTimeDivisor = 8;

namespace {

// The state of one call of SearchRoot.
struct RootSearch {
    Position& Pos;
    EvalState Eval;       // the root's evaluation, put back after every move
    EvalState SavedEval;
    UndoInfo Undo;
    Bits64 Key;
    bool InCheck;
    int End;              // one past the last root move; the first free store index
    int Depth;            // of the current iteration, 1 to LastDepth
    int LastDepth;        // DepthLimit within 1 .. MaxDepth
    int16_t Best;
    int LegalCount;
    bool HasBest;         // some root move has become best in this search
    Move Line[MaxDepth + 1];  // the root move of the best line, then the child's line
};

// Scores are 16-bit and wrap, as the negamax sign change does.
inline int16_t Negate(int value) { return static_cast<int16_t>(-value); }

}  // namespace

// A monotonic clock replaces the time of day, so no midnight wrap is needed.
int32_t ElapsedMs(int64_t start)
{
    return static_cast<int32_t>(MillisecondClock() - start + 1);
}

// Appends a 0x88 square as file letter and rank digit.
static void AppendSquare(std::string& text, int square)
{
    text += static_cast<char>('a' + (square & 15));
    text += static_cast<char>('8' - (square >> 4));
}

// Each move as a blank, from and to square and a promotion letter; empty
// entries are skipped, or end the text when stopAtEmpty is set.
std::string MovesToText(const Move* moves, int first, int last, bool stopAtEmpty)
{
    std::string text;
    for (int i = first; i <= last; i++) {
        const Move& move = moves[i];
        bool empty = move.From == 0 && move.To == 0;
        if (empty && stopAtEmpty)
            break;
        if (!empty) {
            text += ' ';
            AppendSquare(text, move.From);
            AppendSquare(text, move.To);
        }
        int promotion = PromotionKind(move);
        if (promotion >= Knight && promotion <= Queen)
            text += PromotionLetter[promotion];
    }
    return text;
}

// A whole number in decimal, as the "info" lines write counts.
static std::string WholeNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// " nodes N time T nps X", the tail of three of the four "info" lines.
static std::string CountersText(int32_t elapsed)
{
    double nodesPerSecond = std::nearbyint(NodeCount / elapsed * 1000.0);
    return " nodes " + WholeNumber(NodeCount) + " time " + std::to_string(elapsed) + " nps " +
           WholeNumber(nodesPerSecond);
}

// " depth D seldepth S" of the current iteration.
static std::string DepthText(const RootSearch& root)
{
    return " depth " + std::to_string(root.Depth) + " seldepth " + std::to_string(SelDepth);
}

// Sets StopRequested once an armed, timed search has run past StopAfterMs.
void StopIfOutOfTime()
{
    if (StopAfterMs >= 0 && !NoTimeLimit && ElapsedMs(SearchStart) > StopAfterMs)
        StopRequested = true;
}

// Writes one "info" line with its line end, not logged.
static void WriteInfo(const std::string& text)
{
    if (InfoLinesOn)
        WriteOutput(text + LineEnd, false);
}

// "info [depth seldepth] currmove M currmovenumber K nodes time nps", before
// the root move at index k is searched.
static void WriteCurrentMove(const RootSearch& root, int k, int32_t elapsed)
{
    std::string text = "info";
    if (root.LegalCount >= 1)
        text += DepthText(root);
    text += " currmove " + MovesToText(MoveList, k, k) + " currmovenumber " + std::to_string(root.LegalCount + 1);
    WriteInfo(text + CountersText(elapsed));
}

// "info depth seldepth pv ... score cp nodes time nps", when a move becomes best.
static void WriteNewBest(const RootSearch& root)
{
    std::string line = MovesToText(root.Line, 0, root.Depth - 1, true);
    WriteInfo("info" + DepthText(root) + " pv " + line + " score cp " + std::to_string(root.Best) +
              CountersText(ElapsedMs(SearchStart)));
}

// Makes root move k, searches it at the iteration's depth and takes it back.
// Returns the move's score, or Best unchanged for an illegal move. Debug
// builds check the position around every root move; deeper nodes are not
// checked, since below a null move the key keeps the en-passant file that
// the pass cleared and so differs from one computed afresh.
static int16_t SearchRootMove(RootSearch& root, const Move& move, int k)
{
    Position& pos = root.Pos;
    int16_t score = root.Best;
    PlayMove(pos, move);
    ASSERT_CONSISTENT(pos);
    if (!LeavesKingInCheck(pos, move, root.InCheck)) {
        int32_t elapsed = ElapsedMs(SearchStart);
        if (elapsed > CurrentMoveDelay)
            WriteCurrentMove(root, k, elapsed);
        UpdateEvaluation(pos, move, root.Eval);
        NodeCount += 1;
        bool givesCheck = GivesCheck(pos, move);
        root.Line[1] = Move{};
        score = Negate(SearchBranch(pos, root.Eval, root.End, root.Depth - 1, 1, givesCheck, LowestScore,
                                    Negate(root.Best), &root.Line[1]));
        root.Eval = root.SavedEval;
        root.LegalCount++;
    }
    TakeBack(pos, move, root.Undo, root.Key);
    ASSERT_CONSISTENT(pos);
    return score;
}

// One iteration over the root list in its current order; each move that
// becomes best is brought to the front, the others keep their order. False
// when a stop ended it (the score of the move then searched is dropped).
static bool SearchIteration(RootSearch& root)
{
    std::memset(root.Line, 0, sizeof root.Line);
    root.Best = LowestScore;
    root.LegalCount = 0;
    for (int k = 0; k < root.End; k++) {
        const Move move = MoveList[k];
        int16_t score = SearchRootMove(root, move, k);
        if (StopRequested)
            return false;
        if (score > root.Best) {
            root.Best = score;
            root.Line[0] = move;
            for (int j = k; j >= 1; j--)
                SwapMoves(j, j - 1);
            root.HasBest = true;
            WriteNewBest(root);
        }
    }
    return true;
}

// The stop rule, tested after a completed iteration: the budget is spent,
// at most one legal move, or the last depth allowed. Pondering and infinite
// searches go on regardless.
static bool SearchIsOver(const RootSearch& root)
{
    bool over = ElapsedMs(SearchStart) > RemainingTime / TimeDivisor || root.LegalCount <= 1 ||
                root.Depth >= root.LastDepth;
    return over && !NoTimeLimit;
}

// Index of the first legal root move, or -1; tried on a copy, so that the
// piece lists of the searched position keep their order.
static int FirstLegalRootMove(const RootSearch& root)
{
    for (int k = 0; k < root.End; k++) {
        Position trial = root.Pos;
        PlayMove(trial, MoveList[k]);
        if (!LeavesKingInCheck(trial, MoveList[k], root.InCheck))
            return k;
    }
    return -1;
}

// With no legal move there is nothing to deepen: a pondering or infinite
// search waits for "stop" or "ponderhit" like the idle loop, then ends.
static void AwaitEndOfPondering()
{
    while (NoTimeLimit && !StopRequested && !InputHasEnded()) {
        if (AwaitInput(IdleWait))
            DispatchCommand(SearchMode);
    }
}

// Handles one waiting input line. A search without time limit whose input
// has ended could never be stopped: it stops as if told to.
static void PollAtIteration()
{
    if (ReadInput())
        DispatchCommand(SearchMode);
    else if (NoTimeLimit && InputHasEnded())
        StopRequested = true;
}

// Counters, history, root evaluation, undo data and the root list.
static void StartRootSearch(RootSearch& root)
{
    NodeCount = 1;
    SelDepth = 0;
    SearchStart = MillisecondClock();
    StopAfterMs = -1;
    ClearHistory();
    Position& pos = root.Pos;
    EvaluatePosition(pos, root.Eval);
    root.SavedEval = root.Eval;
    root.Undo = SaveUndoInfo(pos);
    root.Key = pos.Key;
    root.InCheck = IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide);
    root.End = GenerateQuietMoves(pos, GenerateCaptures(pos, 0), root.InCheck);
    root.HasBest = false;
}

// Iterative deepening until the stop rule or a stop. Returns the move at the
// front of the root list; the first legal move when no move was ever scored;
// " 0000" when there is no legal move.
std::string SearchRoot(Position& pos)
{
    int lastDepth = DepthLimit < 1 ? 1 : (DepthLimit > MaxDepth ? MaxDepth : DepthLimit);
    RootSearch root{pos, {}, {}, {}, {}, false, 0, 1, lastDepth, LowestScore, 0, false, {}};
    StartRootSearch(root);
    int firstLegal = FirstLegalRootMove(root);
    Move fallback = firstLegal >= 0 ? MoveList[firstLegal] : Move{};
    for (;;) {
        PollCounter = -32768;
        PollAtIteration();
        if (SelDepth < root.Depth)
            SelDepth = static_cast<int16_t>(root.Depth);
        WriteInfo("info" + DepthText(root));
        if (!SearchIteration(root))
            break;
        if (firstLegal < 0) {
            AwaitEndOfPondering();
            break;
        }
        if (SearchIsOver(root))
            break;
        StopAfterMs = RemainingTime / HardTimeDivisor;
        if (root.Depth < root.LastDepth)
            root.Depth++;
    }
    WriteInfo("info" + DepthText(root) + CountersText(ElapsedMs(SearchStart)));
    if (firstLegal < 0)
        return " 0000";
    return root.HasBest ? MovesToText(MoveList, 0, 0) : MovesToText(&fallback, 0, 0);
}
