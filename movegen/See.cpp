// The static exchange test: judges a capture by the two pieces' values, the
// cheapest enemy piece that can take back on the target square and whether a
// second own piece bears on that square. Keeps no state and reads the
// position only; the capturing piece counts as gone from its square.
#include "movegen/See.h"

#include "board/Initialize.h"
#include "board/SquareSets.h"
#include "movegen/MoveStore.h"

// The code of the nearest piece of occupied from square along line direction
// d (Direction 0-7), or 0 when the line meets the edge first.
static inline int FirstPieceOnLine(const Position& pos, int square, int d, SquareSet occupied)
{
    int found = NearestOnLine(square, d, occupied);
    return found == NoSquare ? 0 : pos.Board[found];
}

// The kind of the least valuable enemy piece attacking target, 0 for none.
// The capturing piece's square from is treated as empty, so that an enemy
// slider behind it counts. A bishop or rook on any ray beats a queen.
static int CheapestDefender(const Position& pos, int target, int from)
{
    int side = pos.Side;
    int enemy = pos.XSide * 8;
    for (int d = 4 + side; d <= 6 + side; d += 2) {
        int square = target + Direction[d];
        if (IsOnBoard(square) && pos.Board[square] == enemy + Pawn)
            return Pawn;
    }
    for (int d = 8; d < 16; d++) {
        int square = target + Direction[d];
        if (IsOnBoard(square) && pos.Board[square] == enemy + Knight)
            return Knight;
    }

    SquareSet occupied = OccupiedSquares(pos) & ~SetOf(from);
    int found = 0;
    for (int d = 4; d < 8 && found != Bishop; d++) {
        int code = FirstPieceOnLine(pos, target, d, occupied);
        if (code == enemy + Bishop)
            found = Bishop;
        else if (code == enemy + Queen)
            found = Queen;
    }
    for (int d = 0; d < 4 && found != Bishop && found != Rook; d++) {
        int code = FirstPieceOnLine(pos, target, d, occupied);
        if (code == enemy + Rook)
            found = Rook;
        else if (code == enemy + Queen)
            found = Queen;
    }
    for (int d = 0; d < 8 && found == 0; d++) {
        int square = target + Direction[d];
        if (IsOnBoard(square) && pos.Board[square] == enemy + King)
            found = King;
    }
    return found;
}

// True when an own bishop (diagonal) or rook (rank or file) stands right
// behind the capturing piece on the line from target through from.
static bool HasSupportBehind(const Position& pos, int target, int from)
{
    int entry = AttackEntry(from - target);
    if ((entry & LineBits) == 0)
        return false;
    int support = pos.Side * 8 + ((entry & BishopBit) ? Bishop : Rook);
    return FirstPieceOnLine(pos, from, entry & 15, OccupiedSquares(pos)) == support;
}

// True (the capture is worth trying early) or false. first..last (inclusive)
// is the node's stretch of captures in the move store; another capture onto
// the same square from another square counts as a second attacker.
bool IsGoodCapture(const Position& pos, Move move, int first, int last)
{
    int attacker = MovingKind(move);
    int victim = CapturedKind(move);
    if (ExchangeValues[victim] >= ExchangeValues[attacker] || attacker == King)
        return true;

    int from = move.From;
    int target = move.To;
    int defender = CheapestDefender(pos, target, from);
    if (defender == 0)
        return true;
    if (static_cast<uint8_t>(ExchangeValues[defender] + ExchangeValues[victim]) < ExchangeValues[attacker])
        return false;

    // second attacker among the node's captures
    for (int i = first; i <= last; i++) {
        if (MoveList[i].From != from && MoveList[i].To == target)
            return true;
    }
    return HasSupportBehind(pos, target, from);
}
