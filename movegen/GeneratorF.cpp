// The capture and promotion generator: every pseudo-legal capture (en passant
// included) and every promotion of the side to move, written straight into
// the move store. Each move is scored victim value + capturing-piece bonus +
// promotion bonus from CaptureScores. Keeps no state and tests no attacks.
#include "movegen/GeneratorF.h"

#include "board/Initialize.h"
#include "movegen/MoveStore.h"

// Writes one move at top and advances top. The score is the sum of the
// victim's value, the capturing kind's bonus and the promotion bonus.
static inline void WriteForcingMove(int& top, int from, int to, int victim, int kind, int flags, int promotion)
{
    Move& move = MoveList[top];
    move.From = static_cast<uint8_t>(from);
    move.To = static_cast<uint8_t>(to);
    move.Kinds = static_cast<uint8_t>(victim * 16 + kind);
    move.Flags = static_cast<uint8_t>(flags);
    MoveScores[top] = CaptureScores[victim] + CaptureScores[5 + kind] + CaptureScores[12 + promotion];
    top++;
}

// The kind of the enemy piece on square, or 0 when the square is off the
// board, empty or holds a piece of the side to move.
static inline int EnemyKind(const Position& pos, int square)
{
    if (!IsOnBoard(square))
        return 0;
    int code = pos.Board[square];
    return (code >> 3) == pos.XSide ? code & 7 : 0;
}

// Captures by the slider of this kind on origin along Direction entries
// first..last: on each ray only the first piece, when it is an enemy.
static void AddSliderCaptures(const Position& pos, int& top, int origin, int kind, int first, int last)
{
    for (int d = first; d <= last; d++) {
        int step = Direction[d];
        int to = origin + step;
        while (IsOnBoard(to) && pos.Board[to] == 0)
            to += step;
        int victim = EnemyKind(pos, to);
        if (victim != 0)
            WriteForcingMove(top, origin, to, victim, kind, 0, 0);
    }
}

// Knight captures from origin, in knight-table order.
static void AddKnightCaptures(const Position& pos, int& top, int origin)
{
    for (int d = 8; d < 16; d++) {
        int to = origin + Direction[d];
        int victim = EnemyKind(pos, to);
        if (victim != 0)
            WriteForcingMove(top, origin, to, victim, Knight, 0, 0);
    }
}

// Captures of a pawn short of its promotion row, the one towards the a-file
// first. The en-passant square counts as holding an enemy pawn.
static void AddPawnCaptures(const Position& pos, int& top, int origin)
{
    int to = origin + Direction[4 + pos.Side];
    for (int k = 0; k < 2; k++, to += 2) {
        if (to == pos.EpSquare) {
            WriteForcingMove(top, origin, to, Pawn, Pawn, FlagEnPassant, 0);
            continue;
        }
        int victim = EnemyKind(pos, to);
        if (victim != 0)
            WriteForcingMove(top, origin, to, victim, Pawn, 0, 0);
    }
}

// The four promotions of one pawn move, queen first; victim 0 for a push.
static inline void WritePromotions(int& top, int from, int to, int victim)
{
    for (int promotion = Queen; promotion >= Knight; promotion--)
        WriteForcingMove(top, from, to, victim, Pawn, promotion, promotion);
}

// Promotions of a pawn on its promotion row: the push, then the capture
// towards the h-file, then the one towards the a-file. En passant plays no part.
static void AddPromotions(const Position& pos, int& top, int origin)
{
    int to = origin + Direction[pos.Side];
    if (pos.Board[to] == 0)
        WritePromotions(top, origin, to, 0);
    int victim = EnemyKind(pos, to + 1);
    if (victim != 0)
        WritePromotions(top, origin, to + 1, victim);
    victim = EnemyKind(pos, to - 1);
    if (victim != 0)
        WritePromotions(top, origin, to - 1, victim);
}

// Lists every capture and promotion of the side to move from top upwards:
// the pieces in list order, then the king's captures. Returns one past the
// last move written.
int GenerateCaptures(const Position& pos, int top)
{
    int side = pos.Side;
    int promotionRow = PromotionRow[side];
    int end = pos.ListEnd[side];
    for (int slot = side * 32 + 2; slot <= end; slot += 2) {
        int origin = pos.PieceList[slot + 1];
        switch (pos.PieceList[slot]) {
        case Pawn:
            if ((origin & 0xF0) == promotionRow)
                AddPromotions(pos, top, origin);
            else
                AddPawnCaptures(pos, top, origin);
            break;
        case Knight:
            AddKnightCaptures(pos, top, origin);
            break;
        case Bishop:
            AddSliderCaptures(pos, top, origin, Bishop, 4, 7);
            break;
        case Rook:
            AddSliderCaptures(pos, top, origin, Rook, 0, 3);
            break;
        case Queen:
            AddSliderCaptures(pos, top, origin, Queen, 0, 7);
            break;
        default:
            break;
        }
    }

    // king captures
    int king = KingSquare(pos, side);
    for (int d = 0; d < 8; d++) {
        int to = king + Direction[d];
        int victim = EnemyKind(pos, to);
        if (victim != 0)
            WriteForcingMove(top, king, to, victim, King, 0, 0);
    }
    return top;
}
