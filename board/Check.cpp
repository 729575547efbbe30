// Attack questions on a Position, all answered with AttackTable lookups and
// bit scans along lines: is a square attacked, does a move just made expose
// the mover's king, does it check the other king. Owns no tables.
#include "board/Check.h"

#include "board/Initialize.h"
#include "board/SquareSets.h"

#include <cstdlib>

// Tells whether the first piece met from the square along the entry's line
// is a slider of the colour that moves along that line. The entry must have
// a line bit.
static inline bool SliderBehindLine(const Position& pos, int square, int entry, int colour)
{
    int cell = NearestOnLine(square, entry & 15, OccupiedSquares(pos));
    if (cell == NoSquare)
        return false;
    int code = pos.Board[cell];
    return (KindBits[code & 7] & entry & LineBits) != 0 && (code >> 3) == colour;
}

// Tells whether nothing stands between origin and target on the entry's
// line, target lying on it.
static inline bool LineIsClear(const Position& pos, int origin, int target, int entry)
{
    SquareSet occupied = OccupiedSquares(pos) | SetOf(target);
    return NearestOnLine(origin, entry & 15, occupied) == target;
}

// True when the piece in list slot of colour attacks the square.
static inline bool PieceAttacks(const Position& pos, int slot, int square, int colour)
{
    int origin = pos.PieceList[slot + 1];
    int entry = AttackEntry(square - origin);
    int classes = entry & KindBits[pos.PieceList[slot]];
    if (classes == 0)
        return false;
    return (classes & (KnightBit | KingBit)) != 0 || PawnRuleHolds(entry, colour) ||
           ((classes & LineBits) != 0 && LineIsClear(pos, origin, square, entry));
}

// True when a piece of the colour attacks the square, empty or not.
bool IsSquareAttacked(const Position& pos, int square, int colour)
{
    int last = pos.ListEnd[colour];
    for (int slot = colour * 32; slot <= last; slot += 2) {
        if (PieceAttacks(pos, slot, square, colour))
            return true;
    }
    return false;
}

// The attackers of the square among the colour's pieces, counted up to two.
CheckSource FindCheckSource(const Position& pos, int square, int colour)
{
    CheckSource source{0, NoSquare};
    int last = pos.ListEnd[colour];
    for (int slot = colour * 32; slot <= last && source.Count < 2; slot += 2) {
        if (PieceAttacks(pos, slot, square, colour)) {
            source.Count++;
            source.Square = pos.PieceList[slot + 1];
        }
    }
    return source;
}

// True when square lies on a line from king towards checker, nearer to the
// king: a piece there blocks a slider's check. Never for a knight's check.
static inline bool StandsBetween(int king, int checker, int square)
{
    int checkLine = AttackEntry(checker - king);
    int line = AttackEntry(square - king);
    return (line & LineBits) != 0 && (line & 15) == (checkLine & 15) &&
           std::abs(square - king) < std::abs(checker - king);
}

// Only a capture of the checker or a step onto its line, nearer to the king,
// can answer a single check without moving the king; nothing else answers a
// double check. King moves and en passant are left to the full test.
bool MayAnswerCheck(const Position& pos, Move move, CheckSource source)
{
    if (source.Count == 0 || MovingKind(move) == King || (move.Flags & FlagEnPassant) != 0)
        return true;
    if (source.Count > 1)
        return false;
    if (move.To == source.Square)
        return true;
    return StandsBetween(KingSquare(pos, pos.Side), source.Square, move.To);
}

// After PlayMove: true when the mover (XSide) left its king attacked. King
// moves, en passant and moves out of check get the full test; any other move
// can only have opened the line from the king through its From square.
bool LeavesKingInCheck(const Position& pos, Move move, bool wasInCheck)
{
    int king = pos.PieceList[pos.XSide * 32 + 1];
    if ((move.Flags & FlagEnPassant) != 0 || MovingKind(move) == King || wasInCheck)
        return IsSquareAttacked(pos, king, pos.Side);
    int entry = AttackEntry(move.From - king);
    if ((entry & LineBits) == 0)
        return false;
    return SliderBehindLine(pos, king, entry, pos.Side);
}

// After PlayMove of a legal move: true when the king of Side is attacked,
// directly by the piece on To, through the vacated From square, or through
// the square of the captured en-passant pawn or the castling rook.
bool GivesCheck(const Position& pos, Move move)
{
    int king = pos.PieceList[pos.Side * 32 + 1];
    int to = move.To;

    // direct check by the piece now on To
    int kind = PromotionKind(move) != 0 ? PromotionKind(move) : MovingKind(move);
    int entry = AttackEntry(king - to);
    int classes = entry & KindBits[kind];
    if (classes != 0) {
        if ((classes & KnightBit) != 0 || PawnRuleHolds(entry, pos.XSide))
            return true;
        if ((classes & LineBits) != 0 && LineIsClear(pos, to, king, entry))
            return true;
    }

    // discovered check through From
    entry = AttackEntry(move.From - king);
    if ((entry & LineBits) != 0 && SliderBehindLine(pos, king, entry, pos.XSide))
        return true;

    // the square of the piece that moved or vanished besides the mover
    if ((move.Flags & (FlagEnPassant | FlagKingSideCastle | FlagQueenSideCastle)) == 0)
        return false;
    int other = (move.Flags & FlagEnPassant) != 0 ? to + Direction[pos.Side]
                                                  : to - Direction[move.Flags / 16 + 1];
    entry = AttackEntry(other - king);
    return (entry & LineBits) != 0 && SliderBehindLine(pos, king, entry, pos.XSide);
}

// After PlayMove of a move made in check from source: the lone checker must
// be taken or blocked and the From line must stay shut. King moves, en
// passant and double checks go to the full test.
bool EvasionLeavesKingInCheck(const Position& pos, Move move, CheckSource source)
{
    int king = pos.PieceList[pos.XSide * 32 + 1];
    if ((move.Flags & FlagEnPassant) != 0 || MovingKind(move) == King || source.Count != 1)
        return IsSquareAttacked(pos, king, pos.Side);
    if (move.To != source.Square && !StandsBetween(king, source.Square, move.To))
        return true;
    int entry = AttackEntry(move.From - king);
    return (entry & LineBits) != 0 && SliderBehindLine(pos, king, entry, pos.Side);
}
