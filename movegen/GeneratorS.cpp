// The quiet-move generator: castling, non-capturing piece and king moves and
// pawn pushes short of the last rank, written straight into the move store,
// each scored with its History counter. Keeps no state; the order of the
// moves is fixed and serves as the tie-break of the search's move picking.
// For a side in check it also lists just the quiet moves that may answer it.
#include "movegen/GeneratorS.h"

#include "board/Check.h"
#include "board/Initialize.h"
#include "board/SquareSets.h"
#include "movegen/MoveStore.h"
#include "search/History.h"

// Writes one quiet move at top and advances top; the score is the History
// counter of the moving kind on the destination, as it stands now.
static inline void WriteQuietMove(int& top, int from, int to, int kind, int flags, int side)
{
    Move& move = MoveList[top];
    move.From = static_cast<uint8_t>(from);
    move.To = static_cast<uint8_t>(to);
    move.Kinds = static_cast<uint8_t>(kind);
    move.Flags = static_cast<uint8_t>(flags);
    MoveScores[top] = HistoryScore(kind, to, side);
    top++;
}

// The non-capturing moves of the slider of this kind on origin that land on
// targets: ray by ray in Direction order, nearest square first, each ray's
// empty squares up to its nearest piece or the edge.
static void AddSliderMoves(const Position& pos, int& top, int origin, int kind, SquareSet occupied,
                           SquareSet targets)
{
    int index = IndexOfSquare(origin);
    if ((Squares.Reach[pos.Side][kind][origin] & targets) == 0)
        return;
    for (int d = FirstLineDirection(kind); d <= LastLineDirection(kind); d++) {
        SquareSet ray = Squares.Rays[index][d];
        SquareSet nearest = NearestOnRay(ray & occupied, d);
        if (nearest != 0)
            ray &= ~(Squares.Rays[std::countr_zero(nearest)][d] | nearest);
        for (SquareSet hits = ray & targets; hits != 0;) {
            SquareSet hit = NearestOnRay(hits, d);
            hits &= ~hit;
            WriteQuietMove(top, origin, SquareOfIndex(std::countr_zero(hit)), kind, 0, pos.Side);
        }
    }
}

// Jumps or steps from origin onto the empty squares of its target list that
// lie in targets.
static inline void AddSteps(const Position& pos, int& top, int origin, int kind, const uint8_t* list,
                            SquareSet targets)
{
    for (; *list != NoSquare; list++) {
        if (pos.Board[*list] == 0 && (SetOf(*list) & targets) != 0)
            WriteQuietMove(top, origin, *list, kind, 0, pos.Side);
    }
}

// Single and double pushes of the pawn on origin that land on targets; the
// double push needs the single push's square empty. Nothing from the row
// before promotion: those pushes are promotions, listed with the captures.
static void AddPawnPushes(const Position& pos, int& top, int origin, SquareSet targets)
{
    int row = origin & 0xF0;
    if (row == PromotionRow[pos.Side])
        return;
    int step = Direction[pos.Side];
    int to = origin + step;
    if (pos.Board[to] != 0)
        return;
    if ((SetOf(to) & targets) != 0)
        WriteQuietMove(top, origin, to, Pawn, 0, pos.Side);
    if (row == PromotionRow[pos.XSide] && pos.Board[to + step] == 0 && (SetOf(to + step) & targets) != 0)
        WriteQuietMove(top, origin, to + step, Pawn, FlagDoublePush, pos.Side);
}

// The quiet moves of the pieces other than the king, in list order, that
// land on targets.
static void AddPieceMoves(const Position& pos, int& top, SquareSet targets)
{
    int side = pos.Side;
    SquareSet occupied = OccupiedSquares(pos);
    int end = pos.ListEnd[side];
    for (int slot = side * 32 + 2; slot <= end; slot += 2) {
        int kind = pos.PieceList[slot];
        int origin = pos.PieceList[slot + 1];
        if (kind == Pawn)
            AddPawnPushes(pos, top, origin, targets);
        else if (kind == Knight)
            AddSteps(pos, top, origin, Knight, Squares.KnightList[IndexOfSquare(origin)], targets);
        else if (kind != King)
            AddSliderMoves(pos, top, origin, kind, occupied, targets);
    }
}

// Both castling moves of the side to move, when its rights, the empty squares
// between king and rook and the safety of the square the king crosses allow.
// The destination square is left to the legality test after the move.
static void AddCastling(const Position& pos, int& top, int king, bool inCheck)
{
    int rights = pos.Castling[pos.Side];
    if (rights == 0 || inCheck)
        return;
    const uint8_t* board = pos.Board;
    if ((rights & QueenSideRight) && board[king - 1] == 0 && board[king - 2] == 0 && board[king - 3] == 0
        && !IsSquareAttacked(pos, king - 1, pos.XSide))
        WriteQuietMove(top, king, king - 2, King, FlagQueenSideCastle, pos.Side);
    if ((rights & KingSideRight) && board[king + 1] == 0 && board[king + 2] == 0
        && !IsSquareAttacked(pos, king + 1, pos.XSide))
        WriteQuietMove(top, king, king + 2, King, FlagKingSideCastle, pos.Side);
}

// Lists every quiet move of the side to move from top upwards: castling, the
// pieces in list order, then king steps. Returns one past the last move.
int GenerateQuietMoves(const Position& pos, int top, bool inCheck)
{
    int king = KingSquare(pos, pos.Side);
    AddCastling(pos, top, king, inCheck);
    AddPieceMoves(pos, top, AllSquares);
    AddSteps(pos, top, king, King, Squares.KingList[IndexOfSquare(king)], AllSquares);
    return top;
}

// The empty squares strictly between the king and a lone checker on a line:
// where a quiet move can block the check. None for a knight or adjacent
// checker, or for two checkers.
static SquareSet BlockingSquares(int king, CheckSource source)
{
    SquareSet squares = 0;
    int entry = AttackEntry(source.Square - king);
    if (source.Count != 1 || (entry & LineBits) == 0)
        return squares;
    int step = Direction[entry & 15];
    for (int square = king + step; square != source.Square; square += step)
        squares |= SetOf(square);
    return squares;
}

// The moves GenerateQuietMoves lists that may answer the check: the pieces'
// moves onto a blocking square, then the king steps.
int GenerateQuietEvasions(const Position& pos, int top, CheckSource source)
{
    if (source.Count == 0)
        return GenerateQuietMoves(pos, top, true);
    int king = KingSquare(pos, pos.Side);
    SquareSet blocks = BlockingSquares(king, source);
    if (blocks != 0)
        AddPieceMoves(pos, top, blocks);
    AddSteps(pos, top, king, King, Squares.KingList[IndexOfSquare(king)], AllSquares);
    return top;
}
