// The capture and promotion generator: every pseudo-legal capture (en passant
// included) and every promotion of the side to move, written straight into
// the move store. Each move is scored victim value + capturing-piece bonus +
// promotion bonus from CaptureScores. Keeps no state and tests no attacks.
// Speed comes from square sets read off the board once per call: a piece
// whose reach holds no enemy is skipped, and a slider finds the nearest piece
// of each ray with one bit scan instead of a walk.
#include "movegen/GeneratorF.h"

#include "board/Initialize.h"
#include "movegen/MoveStore.h"

#include <bit>
#include <cstring>

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

// Square sets: bit i stands for setup index i (a8 = 0 ... h1 = 63), so that
// the nearest piece on a ray is the lowest or the highest bit of the ray's
// occupied squares.
using SquareSet = uint64_t;

constexpr SquareSet SetOf(int square) { return SquareSet{1} << IndexOfSquare(square); }

// The generator's own tables, built at compile time from the same steps as
// Direction. Per setup index: the line rays (Direction 0-7, start excluded,
// up to the edge; even directions lower the index, odd ones raise it); per
// colour and kind, the squares where a capture of that piece could land (all
// squares for a pawn about to promote, whose push needs no victim); and the
// knight and king targets as 0x88 lists in Direction order, ended by NoSquare.
struct GeneratorTables {
    SquareSet Rays[64][8];
    SquareSet Reach[2][8][64];  // [colour][kind][index]
    uint8_t KnightList[64][9];
    uint8_t KingList[64][9];
};

static constexpr GeneratorTables MakeGeneratorTables()
{
    constexpr int lineSteps[8] = {-16, 16, -1, 1, -17, 15, -15, 17};
    constexpr int knightSteps[8] = {-33, 31, -31, 33, -18, 18, 14, -14};
    GeneratorTables t{};
    for (int index = 0; index < 64; index++) {
        int square = SquareOfIndex(index);
        SquareSet rook = 0, bishop = 0, knight = 0, king = 0;
        int knights = 0, kings = 0;
        for (int d = 0; d < 8; d++) {
            for (int to = square + lineSteps[d]; IsOnBoard(to); to += lineSteps[d])
                t.Rays[index][d] |= SetOf(to);
            (d < 4 ? rook : bishop) |= t.Rays[index][d];
            if (IsOnBoard(square + knightSteps[d])) {
                knight |= SetOf(square + knightSteps[d]);
                t.KnightList[index][knights++] = static_cast<uint8_t>(square + knightSteps[d]);
            }
            if (IsOnBoard(square + lineSteps[d])) {
                king |= SetOf(square + lineSteps[d]);
                t.KingList[index][kings++] = static_cast<uint8_t>(square + lineSteps[d]);
            }
        }
        t.KnightList[index][knights] = NoSquare;
        t.KingList[index][kings] = NoSquare;
        for (int colour = White; colour <= Black; colour++) {
            int forward = colour == White ? -16 : 16;
            SquareSet pawn = 0;
            for (int to = square + forward - 1; to <= square + forward + 1; to += 2) {
                if (IsOnBoard(to))
                    pawn |= SetOf(to);
            }
            bool promoting = (square & 0xF0) == (colour == White ? 0x10 : 0x60);
            t.Reach[colour][Pawn][index] = promoting ? ~SquareSet{0} : pawn;
            t.Reach[colour][Knight][index] = knight;
            t.Reach[colour][Bishop][index] = bishop;
            t.Reach[colour][Rook][index] = rook;
            t.Reach[colour][Queen][index] = rook | bishop;
            t.Reach[colour][King][index] = king;
        }
    }
    return t;
}

static constexpr GeneratorTables Tables = MakeGeneratorTables();

// Bit column of each byte's top bit, gathered into the top byte: byte j of
// a little-endian load is column j of a board row.
static inline int RowBits(uint64_t topBits)
{
    return static_cast<int>(((topBits >> 7) * 0x0102040810204080) >> 56);
}

// The occupied squares and those of the enemy (colour xside), read from the
// board a row at a time: eight cells of a row as one 64-bit word, a byte's top
// bit set for a non-empty cell and, separately, for a black piece (code bit 3).
static inline void ReadOccupancy(const Position& pos, int xside, SquareSet& occupied, SquareSet& enemies)
{
    static_assert(std::endian::native == std::endian::little, "rows are read as little-endian words");
    constexpr uint64_t Low7 = 0x7F7F7F7F7F7F7F7F;
    constexpr uint64_t Top = 0x8080808080808080;
    occupied = 0;
    enemies = 0;
    for (int row = 0; row < 8; row++) {
        uint64_t cells;
        std::memcpy(&cells, pos.Board + row * 16, sizeof cells);
        uint64_t full = (((cells & Low7) + Low7) | cells) & Top;
        uint64_t black = (cells << 4) & Top;
        uint64_t enemy = xside == Black ? black : full & ~black;
        occupied |= static_cast<SquareSet>(RowBits(full)) << (row * 8);
        enemies |= static_cast<SquareSet>(RowBits(enemy)) << (row * 8);
    }
}

// Captures by the slider of this kind on origin along Direction entries
// first..last: on each ray only the nearest piece, when it is an enemy.
static inline void AddSliderCaptures(const Position& pos, int& top, int origin, int kind, int first, int last,
                                     int enemy, SquareSet occupied)
{
    const SquareSet* rays = Tables.Rays[IndexOfSquare(origin)];
    for (int d = first; d <= last; d++) {
        SquareSet blockers = rays[d] & occupied;
        if (blockers == 0)
            continue;
        int nearest = (d & 1) != 0 ? std::countr_zero(blockers) : 63 - std::countl_zero(blockers);
        int to = SquareOfIndex(nearest);
        unsigned victim = static_cast<unsigned>(pos.Board[to] - enemy);
        if (victim - 1 < 6)
            WriteForcingMove(top, origin, to, static_cast<int>(victim), kind, 0, 0);
    }
}

// Captures by the knight or king on origin over its target list.
static inline void AddStepCaptures(const Position& pos, int& top, int origin, int kind, const uint8_t* targets,
                                   int enemy)
{
    for (; *targets != NoSquare; targets++) {
        unsigned victim = static_cast<unsigned>(pos.Board[*targets] - enemy);
        if (victim - 1 < 6)
            WriteForcingMove(top, origin, *targets, static_cast<int>(victim), kind, 0, 0);
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
        int victim = EnemyKind(pos, to, pos.XSide * 8);
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
    int enemy = pos.XSide * 8;
    SquareSet occupied, enemies;
    ReadOccupancy(pos, pos.XSide, occupied, enemies);
    SquareSet targets = enemies | (IsOnBoard(pos.EpSquare) ? SetOf(pos.EpSquare) : 0);
    const auto& reach = Tables.Reach[side];

    // first, without branches, the pieces that may capture (bit k: slot 2k)
    uint32_t candidates = 0;
    for (int slot = side * 32 + 2; slot <= end; slot += 2) {
        SquareSet landing = reach[pos.PieceList[slot]][IndexOfSquare(pos.PieceList[slot + 1])] & targets;
        candidates |= static_cast<uint32_t>(landing != 0) << ((slot & 31) / 2);
    }
    for (; candidates != 0; candidates &= candidates - 1) {
        int slot = side * 32 + 2 * std::countr_zero(candidates);
        int origin = pos.PieceList[slot + 1];
        switch (pos.PieceList[slot]) {
        case Pawn:
            if ((origin & 0xF0) == promotionRow)
                AddPromotions(pos, top, origin);
            else
                AddPawnCaptures(pos, top, origin);
            break;
        case Knight:
            AddStepCaptures(pos, top, origin, Knight, Tables.KnightList[IndexOfSquare(origin)], enemy);
            break;
        case Bishop:
            AddSliderCaptures(pos, top, origin, Bishop, 4, 7, enemy, occupied);
            break;
        case Rook:
            AddSliderCaptures(pos, top, origin, Rook, 0, 3, enemy, occupied);
            break;
        case Queen:
            AddSliderCaptures(pos, top, origin, Queen, 0, 7, enemy, occupied);
            break;
        default:
            break;
        }
    }

    // king captures
    int king = KingSquare(pos, side);
    if ((reach[King][IndexOfSquare(king)] & enemies) != 0)
        AddStepCaptures(pos, top, king, King, Tables.KingList[IndexOfSquare(king)], enemy);
    return top;
}
