// The capture and promotion generator: every pseudo-legal capture (en passant
// included) and every promotion of the side to move, written straight into
// the move store. Each move is scored victim value + capturing-piece bonus +
// promotion bonus from CaptureScores. Keeps no state and tests no attacks.
// The position's square sets let it skip every piece whose reach holds no
// enemy, and find a slider's victims by bit scans.
#include "movegen/GeneratorF.h"

#include "board/Initialize.h"
#include "board/SquareSets.h"
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
// board, empty or holds a piece of the side to move. enemy is XSide * 8.
static inline int EnemyKind(const Position& pos, int square, int enemy)
{
    if (!IsOnBoard(square))
        return 0;
    unsigned kind = static_cast<unsigned>(pos.Board[square] - enemy);
    return kind - 1 < 6 ? static_cast<int>(kind) : 0;
}

// Captures by the slider of this kind on origin, ray by ray in Direction
// order: on each ray only the nearest piece, when it is an enemy.
static inline void AddSliderCaptures(const Position& pos, int& top, int origin, int kind, SquareSet occupied,
                                     SquareSet enemies)
{
    const SquareSet* rays = Squares.Rays[IndexOfSquare(origin)];
    for (int d = FirstLineDirection(kind); d <= LastLineDirection(kind); d++) {
        if ((rays[d] & enemies) == 0)
            continue;
        int to = NearestOnLine(origin, d, occupied);  // an enemy on the ray: a piece is met
        if ((SetOf(to) & enemies) != 0)
            WriteForcingMove(top, origin, to, pos.Board[to] & 7, kind, 0, 0);
    }
}

// Captures by the knight or king on origin onto the enemy squares hits, in
// the order of its target list.
static inline void AddStepCaptures(const Position& pos, int& top, int origin, int kind, const uint8_t* targets,
                                   SquareSet hits)
{
    for (; hits != 0 && *targets != NoSquare; targets++) {
        if ((SetOf(*targets) & hits) != 0) {
            WriteForcingMove(top, origin, *targets, pos.Board[*targets] & 7, kind, 0, 0);
            hits &= ~SetOf(*targets);
        }
    }
}

// Captures of a pawn short of its promotion row onto hits, its one or two
// target squares (the en-passant square counting as an enemy pawn): the one
// towards the a-file, the lower index for both colours, first.
static void AddPawnCaptures(const Position& pos, int& top, int origin, SquareSet hits)
{
    for (; hits != 0; hits &= hits - 1) {
        int to = SquareOfIndex(std::countr_zero(hits));
        if (to == pos.EpSquare)
            WriteForcingMove(top, origin, to, Pawn, Pawn, FlagEnPassant, 0);
        else
            WriteForcingMove(top, origin, to, pos.Board[to] & 7, Pawn, 0, 0);
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
    int victim = EnemyKind(pos, to + 1, pos.XSide * 8);
    if (victim != 0)
        WritePromotions(top, origin, to + 1, victim);
    victim = EnemyKind(pos, to - 1, pos.XSide * 8);
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
    SquareSet enemies = pos.Occupied[pos.XSide];
    SquareSet occupied = OccupiedSquares(pos);
    SquareSet targets = enemies | (IsOnBoard(pos.EpSquare) ? SetOf(pos.EpSquare) : 0);
    const auto& reach = Squares.Reach[side];

    // first, without branches, the pieces that may capture (bit k: slot 2k)
    // and where they may land
    uint32_t candidates = 0;
    SquareSet landings[16];
    const uint8_t* entry = pos.PieceList + side * 32;
    for (int k = 1, last = (end - side * 32) / 2; k <= last; k++) {
        SquareSet landing = reach[entry[2 * k]][entry[2 * k + 1]] & targets;
        landings[k] = landing;
        candidates |= static_cast<uint32_t>(landing != 0) << k;
    }
    for (; candidates != 0; candidates &= candidates - 1) {
        int k = std::countr_zero(candidates);
        int slot = side * 32 + 2 * k;
        int origin = pos.PieceList[slot + 1];
        int kind = pos.PieceList[slot];
        if (kind == Pawn) {
            if ((origin & 0xF0) == promotionRow)
                AddPromotions(pos, top, origin);
            else
                AddPawnCaptures(pos, top, origin, landings[k]);
        } else if (kind == Knight) {
            AddStepCaptures(pos, top, origin, Knight, Squares.KnightList[IndexOfSquare(origin)],
                            landings[k] & enemies);
        } else {
            AddSliderCaptures(pos, top, origin, kind, occupied, enemies);
        }
    }

    // king captures
    int king = KingSquare(pos, side);
    SquareSet kingHits = reach[King][king] & enemies;
    if (kingHits != 0)
        AddStepCaptures(pos, top, king, King, Squares.KingList[IndexOfSquare(king)], kingHits);
    return top;
}
