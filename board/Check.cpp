// Attack questions on a Position, all answered with AttackTable lookups and
// bit scans along lines: is a square attacked, does a move just made (or
// about to be made) expose the mover's king, does it check the other king.
// Owns no tables.
#include "board/Check.h"

#include "board/Initialize.h"
#include "board/SquareSets.h"

#include <cstdlib>

// The pieces as they stand once a move is made that has neither an
// en-passant victim nor a castling rook: the occupied squares, and the code
// of the mover's piece on To (the board may still hold the victim there).
// After PlayMove it is simply the position's own.
struct MovedBoard {
    SquareSet Occupied;
    int To;
    int Code;
};

static inline MovedBoard BoardAfterPlay(const Position& pos, Move move)
{
    return MovedBoard{OccupiedSquares(pos), move.To, pos.Board[move.To]};
}

static inline MovedBoard BoardBeforePlay(const Position& pos, Move move)
{
    return MovedBoard{(OccupiedSquares(pos) & ~SetOf(move.From)) | SetOf(move.To), move.To,
                      pos.Side * 8 + ArrivingKind(move)};
}

// Tells whether the first piece met from the square along the entry's line
// is a slider of the colour that moves along that line. The entry must have
// a line bit.
static inline bool SliderBehindLine(const Position& pos, const MovedBoard& board, int square, int entry, int colour)
{
    int cell = NearestOnLine(square, entry & 15, board.Occupied);
    if (cell == NoSquare)
        return false;
    int code = cell == board.To ? board.Code : pos.Board[cell];
    return (KindBits[code & 7] & entry & LineBits) != 0 && (code >> 3) == colour;
}

// Tells whether none of the occupied squares stands between origin and
// target on the entry's line, target lying on it.
static inline bool LineIsClear(SquareSet occupied, int origin, int target, int entry)
{
    return NearestOnLine(origin, entry & 15, occupied | SetOf(target)) == target;
}

// Tells whether the first piece met from king along the line through the
// move's From square is a slider of the colour that moves along that line:
// the line the move opens, when it is one.
static inline bool SliderSeesThroughFrom(const Position& pos, const MovedBoard& board, Move move, int king,
                                         int colour)
{
    int entry = AttackEntry(move.From - king);
    return (entry & LineBits) != 0 && SliderBehindLine(pos, board, king, entry, colour);
}

// Tells whether the mover's piece on To attacks the king, or a slider of the
// mover does so through the vacated From square.
static inline bool ChecksKing(const Position& pos, const MovedBoard& board, Move move, int king, int mover)
{
    int to = move.To;
    int entry = AttackEntry(king - to);
    int classes = entry & KindBits[ArrivingKind(move)];
    if (classes != 0) {
        if ((classes & KnightBit) != 0 || PawnRuleHolds(entry, mover))
            return true;
        if ((classes & LineBits) != 0 && LineIsClear(board.Occupied, to, king, entry))
            return true;
    }
    return SliderSeesThroughFrom(pos, board, move, king, mover);
}

// True when the piece in list slot of colour attacks the square, with the
// occupied squares as blockers.
static inline bool PieceAttacks(const Position& pos, SquareSet occupied, int slot, int square, int colour)
{
    int origin = pos.PieceList[slot + 1];
    int entry = AttackEntry(square - origin);
    int classes = entry & KindBits[pos.PieceList[slot]];
    if (classes == 0)
        return false;
    return (classes & (KnightBit | KingBit)) != 0 || PawnRuleHolds(entry, colour) ||
           ((classes & LineBits) != 0 && LineIsClear(occupied, origin, square, entry));
}

// True when a piece of the colour's list attacks the square, empty or not,
// with the occupied squares as blockers.
static bool SquareAttackedAmong(const Position& pos, SquareSet occupied, int square, int colour)
{
    int last = pos.ListEnd[colour];
    for (int slot = colour * 32; slot <= last; slot += 2) {
        if (PieceAttacks(pos, occupied, slot, square, colour))
            return true;
    }
    return false;
}

// True when a piece of the colour attacks the square, empty or not.
bool IsSquareAttacked(const Position& pos, int square, int colour)
{
    return SquareAttackedAmong(pos, OccupiedSquares(pos), square, colour);
}

// The attackers of the square among the colour's pieces, counted up to two.
CheckSource FindCheckSource(const Position& pos, int square, int colour)
{
    CheckSource source{0, NoSquare};
    int last = pos.ListEnd[colour];
    SquareSet occupied = OccupiedSquares(pos);
    for (int slot = colour * 32; slot <= last && source.Count < 2; slot += 2) {
        if (PieceAttacks(pos, occupied, slot, square, colour)) {
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
    return SliderSeesThroughFrom(pos, BoardAfterPlay(pos, move), move, king, pos.Side);
}

// After PlayMove of a legal move: true when the king of Side is attacked,
// directly by the piece on To, through the vacated From square, or through
// the square of the captured en-passant pawn or the castling rook.
bool GivesCheck(const Position& pos, Move move)
{
    int king = pos.PieceList[pos.Side * 32 + 1];
    int to = move.To;
    MovedBoard board = BoardAfterPlay(pos, move);
    if (ChecksKing(pos, board, move, king, pos.XSide))
        return true;

    // the square of the piece that moved or vanished besides the mover
    if ((move.Flags & (FlagEnPassant | FlagKingSideCastle | FlagQueenSideCastle)) == 0)
        return false;
    int other = (move.Flags & FlagEnPassant) != 0 ? to + Direction[pos.Side]
                                                  : to - Direction[move.Flags / 16 + 1];
    int entry = AttackEntry(other - king);
    return (entry & LineBits) != 0 && SliderBehindLine(pos, board, king, entry, pos.XSide);
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
    return SliderSeesThroughFrom(pos, BoardAfterPlay(pos, move), move, king, pos.Side);
}

// Before PlayMove of a move that is neither en passant nor castling, by a
// side in check from source (Count 0 when not in check): LeavesKingInCheck's
// answer once it is made. The king's target is tested on the board without
// the king; the victim there attacks nothing. No other move answers a double
// check, and a single one only by taking or blocking the checker.
bool WouldLeaveKingInCheck(const Position& pos, Move move, CheckSource source)
{
    MovedBoard board = BoardBeforePlay(pos, move);
    if (MovingKind(move) == King)
        return SquareAttackedAmong(pos, board.Occupied, move.To, pos.XSide);
    int king = KingSquare(pos, pos.Side);
    if (source.Count > 1)
        return true;
    if (source.Count == 1 && move.To != source.Square && !StandsBetween(king, source.Square, move.To))
        return true;
    return SliderSeesThroughFrom(pos, board, move, king, pos.XSide);
}

// Before PlayMove of a legal move that is neither en passant nor castling:
// GivesCheck's answer once it is made.
bool WouldGiveCheck(const Position& pos, Move move)
{
    return ChecksKing(pos, BoardBeforePlay(pos, move), move, KingSquare(pos, pos.XSide), pos.Side);
}
