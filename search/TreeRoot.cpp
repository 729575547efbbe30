// The root of the search: iterative deepening over the root moves, the stop
// rule between iterations, the four kinds of "info" line, and the counters
// and move text that the whole search shares. The root list lives at the
// bottom of the move store and keeps the best move in its first entry.
#include "search/TreeRoot.h"

#include "board/Check.h"
#include "board/Initialize.h"
#include "board/MakeMove.h"
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
#include "search/TreeMove.h"

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
    NodeSaves Saves;      // what SearchMove restores after every root move
    bool InCheck;
    int End;              // one past the last root move; the first free store index
    int Depth;            // of the current iteration, 1 to LastDepth
    int LastDepth;        // DepthLimit within 1 .. MaxDepth
    int16_t Best;
    int LegalCount;
    bool HasBest;         // some root move has become best in this search
    Move Line[MaxDepth + 1];  // the root move of the best line, then the child's line
};

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

// "info depth seldepth score cp nodes time nps pv ...", when a move becomes
// best. The line's moves come last: in UCI they run to the end of the line.
static void WriteNewBest(const RootSearch& root)
{
    std::string line = MovesToText(root.Line, 0, root.Depth - 1, true);
    WriteInfo("info" + DepthText(root) + " score cp " + std::to_string(root.Best) +
              CountersText(ElapsedMs(SearchStart)) + " pv" + line);
}

// Makes root move k, searches it at the iteration's depth with the window
// (Best, +32767) and takes it back. Returns the move's score, or Best
// unchanged for an illegal move. The currmove line comes before the child.
static int16_t SearchRootMove(RootSearch& root, const Move& move, int k)
{
    return SearchMove<NodeKind::Root>(
        root.Pos, root.Eval, move, root.InCheck, root.Best, root.Saves, root.LegalCount, [&](bool givesCheck) {
            int32_t elapsed = ElapsedMs(SearchStart);
            if (elapsed > CurrentMoveDelay)
                WriteCurrentMove(root, k, elapsed);
            root.Line[1] = Move{};
            return SearchBranch(root.Pos, root.Eval, root.End, root.Depth - 1, 1, givesCheck, LowestScore,
                                Negate(root.Best), &root.Line[1]);
        });
}

// Step 5 of SearchRoot: one iteration over the root list in its current
// order; each move that becomes best is brought to the front, the others keep
// their order. False when a stop ended it.
static bool SearchIteration(RootSearch& root)
{
    std::memset(root.Line, 0, sizeof root.Line);
    root.Best = LowestScore;
    root.LegalCount = 0;
    for (int k = 0; k < root.End; k++) {
        // 5.1 the move through SearchMove
        const Move move = MoveList[k];
        int16_t score = SearchRootMove(root, move, k);
        // 5.2 a stop drops the score of the move then searched
        if (StopRequested)
            return false;
        // 5.3 a new best: its line, to the front of the list, a pv line
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
// search waits for "stop" or "ponderhit" (or the end of its input), polling
// whenever input arrives and at least every IdleWait, then ends.
static void AwaitEndOfPondering()
{
    while (NoTimeLimit && !StopRequested) {
        WaitForInput(IdleWait);
        PollSearchInput();
    }
}

// Counters, history, root evaluation, the root's saves and the root list.
static void StartRootSearch(RootSearch& root)
{
    NodeCount = 1;
    SelDepth = 0;
    SearchStart = MillisecondClock();
    StopAfterMs = -1;
    ClearHistory();
    Position& pos = root.Pos;
    EvaluatePosition(pos, root.Eval);
    root.InCheck = IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide);
    root.Saves = SaveNode(pos, root.Eval, root.InCheck);
    root.End = GenerateQuietMoves(pos, GenerateCaptures(pos, 0), root.InCheck);
    root.HasBest = false;
}

// Iterative deepening until the stop rule or a stop. Returns the move at the
// front of the root list; the first legal move when no move was ever scored;
// " 0000" when there is no legal move.
std::string SearchRoot(Position& pos)
{
    int lastDepth = DepthLimit < 1 ? 1 : (DepthLimit > MaxDepth ? MaxDepth : DepthLimit);
    RootSearch root{pos, {}, {}, false, 0, 1, lastDepth, LowestScore, 0, false, {}};
    // 1. counters, history, root evaluation and saves, the root list
    StartRootSearch(root);
    // 2. the first legal move, the answer should no move ever be scored
    int firstLegal = FirstLegalRootMove(root);
    Move fallback = firstLegal >= 0 ? MoveList[firstLegal] : Move{};
    for (;;) {
        // 3. one waiting input line between iterations
        PollCounter = -32768;
        PollSearchInput();
        // 4. the "info depth" line
        if (SelDepth < root.Depth)
            SelDepth = static_cast<int16_t>(root.Depth);
        WriteInfo("info" + DepthText(root));
        // 5. the iteration over the root moves; a stop ends the search
        if (!SearchIteration(root))
            break;
        // 6. no legal move: a ponder or infinite search waits for its end
        if (firstLegal < 0) {
            AwaitEndOfPondering();
            break;
        }
        // 7. the stop rule
        if (SearchIsOver(root))
            break;
        // 8. the hard time limit armed, one ply deeper
        StopAfterMs = RemainingTime / HardTimeDivisor;
        if (root.Depth < root.LastDepth)
            root.Depth++;
    }
    // 9. the last "info" line and the best move
    WriteInfo("info" + DepthText(root) + CountersText(ElapsedMs(SearchStart)));
    if (firstLegal < 0)
        return " 0000";
    return root.HasBest ? MovesToText(MoveList, 0, 0) : MovesToText(&fallback, 0, 0);
}
