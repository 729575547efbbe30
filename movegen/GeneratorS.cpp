// The quiet-move generator: castling, non-capturing piece and king moves and
// pawn pushes short of the last rank, written straight into the move store,
// each scored with its History counter. Keeps no state; the order of the
// moves is fixed and serves as the tie-break of the search's move picking.
// For a side in check it also lists just the quiet moves that may answer it.
#include "movegen/GeneratorS.h"

#include "board/Check.h"
#include "board/Initialize.h"
#include "movegen/MoveStore.h"
#include "movegen/SquareSets.h"
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

// Non-capturing moves of the slider of this kind on origin, along Direction
// entries first..last, nearest square first on every ray: each ray's empty
// squares up to its nearest piece or the edge.
static void AddQuietSliderMoves(const Position& pos, int& top, int origin, int kind, int first, int last,
                                SquareSet occupied)
{
    int index = IndexOfSquare(origin);
    for (int d = first; d <= last; d++) {
        SquareSet nearest = NearestOnRay(Squares.Rays[index][d] & occupied, d);
        int empty = nearest != 0 ? Squares.Distance[index][std::countr_zero(nearest)] - 1 : Squares.RayLength[index][d];
        int step = Direction[d];
        for (int to = origin + step; empty > 0; empty--, to += step)
            WriteQuietMove(top, origin, to, kind, 0, pos.Side);
    }
}

// Jumps or steps from origin onto the empty squares of its target list.
static inline void AddQuietSteps(const Position& pos, int& top, int origin, int kind, const uint8_t* targets)
{
    for (; *targets != NoSquare; targets++) {
        if (pos.Board[*targets] == 0)
            WriteQuietMove(top, origin, *targets, kind, 0, pos.Side);
    }
}

// Single and double pushes of the pawn on origin. Nothing from the row before
// promotion: those pushes are promotions, listed with the captures.
static void AddPawnPushes(const Position& pos, int& top, int origin)
{
    int row = origin & 0xF0;
    if (row == PromotionRow[pos.Side])
        return;
    int step = Direction[pos.Side];
    int to = origin + step;
    if (pos.Board[to] != 0)
        return;
    WriteQuietMove(top, origin, to, Pawn, 0, pos.Side);
    if (row == PromotionRow[pos.XSide] && pos.Board[to + step] == 0)
        WriteQuietMove(top, origin, to + step, Pawn, FlagDoublePush, pos.Side);
}

// Both castling moves of the side to move, when its rights, the empty squares
// between king and rook and the safety of the square the king crosses allow.
// The destination square is left to the legality test after the move.
static void AddCastling(Position& pos, int& top, int king, bool inCheck)
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
// pos is only marked and restored by the castling attack test.
int GenerateQuietMoves(Position& pos, int top, bool inCheck)
{
    int side = pos.Side;
    int king = KingSquare(pos, side);
    AddCastling(pos, top, king, inCheck);

    SquareSet occupied, enemies;
    ReadOccupancy(pos, pos.XSide, occupied, enemies);
    int end = pos.ListEnd[side];
    for (int slot = side * 32 + 2; slot <= end; slot += 2) {
        int origin = pos.PieceList[slot + 1];
        switch (pos.PieceList[slot]) {
        case Pawn:
            AddPawnPushes(pos, top, origin);
            break;
        case Knight:
            AddQuietSteps(pos, top, origin, Knight, Squares.KnightList[IndexOfSquare(origin)]);
            break;
        case Bishop:
            AddQuietSliderMoves(pos, top, origin, Bishop, 4, 7, occupied);
            break;
        case Rook:
            AddQuietSliderMoves(pos, top, origin, Rook, 0, 3, occupied);
            break;
        case Queen:
            AddQuietSliderMoves(pos, top, origin, Queen, 0, 7, occupied);
            break;
        default:
            break;
        }
    }

    // king steps
    AddQuietSteps(pos, top, king, King, Squares.KingList[IndexOfSquare(king)]);
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

// The blocking moves of the slider on origin along Direction entries
// first..last, in the order AddQuietSliderMoves lists them: on each ray the
// blocking squares short of its nearest piece, nearest first.
static void AddSliderBlocks(const Position& pos, int& top, int origin, int kind, int first, int last,
                            SquareSet occupied, SquareSet blocks)
{
    int index = IndexOfSquare(origin);
    if ((Squares.Reach[pos.Side][kind][origin] & blocks) == 0)
        return;
    for (int d = first; d <= last; d++) {
        SquareSet ray = Squares.Rays[index][d];
        SquareSet nearest = NearestOnRay(ray & occupied, d);
        if (nearest != 0)
            ray &= ~(Squares.Rays[std::countr_zero(nearest)][d] | nearest);
        for (SquareSet hits = ray & blocks; hits != 0;) {
            SquareSet hit = NearestOnRay(hits, d);
            hits &= ~hit;
            WriteQuietMove(top, origin, SquareOfIndex(std::countr_zero(hit)), kind, 0, pos.Side);
        }
    }
}

// The pushes of the pawn on origin that land on a blocking square, in the
// order AddPawnPushes lists them.
static void AddPawnBlocks(const Position& pos, int& top, int origin, SquareSet blocks)
{
    int step = Direction[pos.Side];
    int row = origin & 0xF0;
    if (row == PromotionRow[pos.Side] || pos.Board[origin + step] != 0)
        return;
    if ((SetOf(origin + step) & blocks) != 0)
        WriteQuietMove(top, origin, origin + step, Pawn, 0, pos.Side);
    if (row == PromotionRow[pos.XSide] && pos.Board[origin + 2 * step] == 0 && (SetOf(origin + 2 * step) & blocks) != 0)
        WriteQuietMove(top, origin, origin + 2 * step, Pawn, FlagDoublePush, pos.Side);
}

// The knight's jumps from origin onto blocking squares, in list order.
static void AddKnightBlocks(const Position& pos, int& top, int origin, SquareSet blocks)
{
    int index = IndexOfSquare(origin);
    if ((Squares.Reach[pos.Side][Knight][origin] & blocks) == 0)
        return;
    for (const uint8_t* targets = Squares.KnightList[index]; *targets != NoSquare; targets++) {
        if ((SetOf(*targets) & blocks) != 0)
            WriteQuietMove(top, origin, *targets, Knight, 0, pos.Side);
    }
}

// The pieces in list order, each with the moves onto a blocking square (the
// only quiet moves other than king steps that answer a check), then the king
// steps.
int GenerateQuietEvasions(Position& pos, int top, CheckSource source)
{
    int side = pos.Side;
    int king = KingSquare(pos, side);
    if (source.Count == 0)
        return GenerateQuietMoves(pos, top, true);

    SquareSet blocks = BlockingSquares(king, source);
    if (blocks != 0) {
        SquareSet occupied, enemies;
        ReadOccupancy(pos, pos.XSide, occupied, enemies);
        int end = pos.ListEnd[side];
        for (int slot = side * 32 + 2; slot <= end; slot += 2) {
            int origin = pos.PieceList[slot + 1];
            switch (pos.PieceList[slot]) {
            case Pawn:
                AddPawnBlocks(pos, top, origin, blocks);
                break;
            case Knight:
                AddKnightBlocks(pos, top, origin, blocks);
                break;
            case Bishop:
                AddSliderBlocks(pos, top, origin, Bishop, 4, 7, occupied, blocks);
                break;
            case Rook:
                AddSliderBlocks(pos, top, origin, Rook, 0, 3, occupied, blocks);
                break;
            case Queen:
                AddSliderBlocks(pos, top, origin, Queen, 0, 7, occupied, blocks);
                break;
            default:
                break;
            }
        }
    }

    // king steps
    AddQuietSteps(pos, top, king, King, Squares.KingList[IndexOfSquare(king)]);
    return top;
}
