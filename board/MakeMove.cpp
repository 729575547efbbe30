// PlayMove: makes a pseudo-legal move in place, touching only the cells, list
// entries and key entries the move concerns. Keeps board and shadow cells,
// lists, square sets, pawn masks, tallies, rights, en-passant square, clock
// and key in step; a move of the Pieces scope leaves out the pawn masks,
// tallies, rights, clock and key.
#include "board/MakeMove.h"

#include "board/DataFiles.h"
#include "board/Initialize.h"

// Exclusive-ors key entry index into both halves of a key. PlayMove builds
// the new key in a local, so that the board's byte stores, which may alias
// anything, do not force the key through memory at every toggle.
static inline void ToggleKey(Bits64& key, int index)
{
    ToggleBits(key, RandomKeys[index]);
}

// Removes square from a square set.
static inline void ClearSquare(Bits64& set, int square)
{
    set.Lo &= ~SquareMask[square].Lo;
    set.Hi &= ~SquareMask[square].Hi;
}

// Adds square to a square set.
static inline void SetSquare(Bits64& set, int square)
{
    set.Lo |= SquareMask[square].Lo;
    set.Hi |= SquareMask[square].Hi;
}

// Takes the captured piece off its square and out of XSide's list (the list's
// last entry fills its slot) and its set; of the Full scope also updates the
// victim's mask, rights, tally and key and resets the half-move clock.
template <MoveScope Scope>
static inline void RemoveVictim(Position& pos, Move move, Bits64& key)
{
    int xside = pos.XSide;
    int victim = CapturedKind(move);
    int square = (move.Flags & FlagEnPassant) != 0 ? move.To + Direction[xside] : move.To;

    pos.Board[square] = 0;
    pos.Occupied[xside] ^= SetOf(square);
    int slot = pos.Board[square | 8];
    int last = pos.ListEnd[xside];
    pos.Board[pos.PieceList[last + 1] | 8] = static_cast<uint8_t>(slot);
    pos.PieceList[slot] = pos.PieceList[last];
    pos.PieceList[slot + 1] = pos.PieceList[last + 1];
    pos.ListEnd[xside] = static_cast<uint8_t>(last - 2);
    if constexpr (Scope == MoveScope::Pieces)
        return;
    ClearSquare(pos.PawnMask[xside], square);

    // a capture on a rook's home square takes that rook's right away
    if (move.To == RookHome[xside] && (pos.Castling[xside] & QueenSideRight) != 0) {
        pos.Castling[xside] &= ~QueenSideRight;
        ToggleKey(key, QueenSideKey + xside);
    }
    if (move.To == RookHome[2 + xside] && (pos.Castling[xside] & KingSideRight) != 0) {
        pos.Castling[xside] &= ~KingSideRight;
        ToggleKey(key, KingSideKey + xside);
    }
    pos.MaterialTally[xside] -= TallyWeight[victim];
    pos.HalfmoveClock = 0;
    ToggleKey(key, PieceKeyIndex(square, xside, victim));
}

// The pawn-only part of a move: the en-passant square of a double push and
// the change of kind of a promotion; of the Full scope also the pawn mask,
// the tally and the half-move clock.
template <MoveScope Scope>
static inline void FinishPawnMove(Position& pos, Move move, int slot, Bits64& key)
{
    constexpr bool full = Scope == MoveScope::Full;
    int side = pos.Side;
    if constexpr (full) {
        ClearSquare(pos.PawnMask[side], move.From);
        SetSquare(pos.PawnMask[side], move.To);
    }
    if ((move.Flags & FlagDoublePush) != 0) {
        pos.EpSquare = static_cast<uint8_t>(move.From + Direction[side]);
        ToggleKey(key, EnPassantKey + (pos.EpSquare & 15));
    }
    int promotion = PromotionKind(move);
    if (promotion != 0) {
        pos.Board[move.To] = static_cast<uint8_t>(side * 8 + promotion);
        pos.PieceList[slot] = static_cast<uint8_t>(promotion);
        if constexpr (full) {
            ClearSquare(pos.PawnMask[side], move.To);
            pos.MaterialTally[side] += TallyWeight[promotion] - TallyWeight[Pawn];
        }
        ToggleKey(key, PieceKeyIndex(move.To, side, promotion));
        ToggleKey(key, PieceKeyIndex(move.To, side, Pawn));
    }
    if constexpr (full)
        pos.HalfmoveClock = 0;
}

// Moves the castling rook of castling side (1 queen side, 2 king side) of a
// king that has reached to.
static inline void MoveCastlingRook(Position& pos, int to, int castleSide, Bits64& key)
{
    int from = to + CastleOffset[castleSide - 1];
    int target = from + CastleOffset[castleSide + 1];
    int slot = pos.Board[from | 8];
    pos.Board[target | 8] = static_cast<uint8_t>(slot);
    pos.Board[target] = pos.Board[from];
    pos.Board[from] = 0;
    pos.PieceList[slot + 1] = static_cast<uint8_t>(target);
    pos.Occupied[pos.Side] ^= SetOf(from) | SetOf(target);
    ToggleKey(key, PieceKeyIndex(target, pos.Side, Rook));
    ToggleKey(key, PieceKeyIndex(from, pos.Side, Rook));
}

// The mover's own rights go with its king or with the rook leaving home.
static inline void DropOwnRights(Position& pos, int from, int kind, int side, Bits64& key)
{
    if ((from == RookHome[side] || kind == King) && (pos.Castling[side] & QueenSideRight) != 0) {
        pos.Castling[side] &= ~QueenSideRight;
        ToggleKey(key, QueenSideKey + side);
    }
    if ((from == RookHome[2 + side] || kind == King) && (pos.Castling[side] & KingSideRight) != 0) {
        pos.Castling[side] &= ~KingSideRight;
        ToggleKey(key, KingSideKey + side);
    }
}

// Makes the move for Side and hands the move to the other colour. The move
// must be pseudo-legal here; the caller saves SaveUndoInfo(pos) and pos.Key
// beforehand for TakeBack. A move of the Pieces scope never stores the key
// it works out in the local, so the compiler drops that work.
template <MoveScope Scope>
void PlayMove(Position& pos, Move move)
{
    constexpr bool full = Scope == MoveScope::Full;
    int side = pos.Side;
    int kind = MovingKind(move);
    Bits64 key = pos.Key;
    if constexpr (full)
        pos.HalfmoveClock++;
    if (CapturedKind(move) != 0)
        RemoveVictim<Scope>(pos, move, key);

    // move the piece
    int slot = pos.Board[move.From | 8];
    pos.Board[move.To | 8] = static_cast<uint8_t>(slot);
    pos.Board[move.To] = pos.Board[move.From];
    pos.Board[move.From] = 0;
    pos.PieceList[slot + 1] = move.To;
    pos.Occupied[side] ^= SetOf(move.From) | SetOf(move.To);
    ToggleKey(key, PieceKeyIndex(move.From, side, kind));
    ToggleKey(key, PieceKeyIndex(move.To, side, kind));
    ToggleKey(key, SideKey);
    ToggleKey(key, EnPassantKey + (pos.EpSquare & 15));  // NoSquare gives the zero entry
    pos.EpSquare = NoSquare;

    if (kind == Pawn)
        FinishPawnMove<Scope>(pos, move, slot, key);
    int castleSide = (move.Flags >> 4) & 3;
    if (castleSide != 0)
        MoveCastlingRook(pos, move.To, castleSide, key);

    if constexpr (full) {
        if (pos.Castling[side] != 0)
            DropOwnRights(pos, move.From, kind, side, key);
        pos.Key = key;
    }
    pos.Side = static_cast<uint8_t>(1 - side);
    pos.XSide = static_cast<uint8_t>(side);
}

template void PlayMove<MoveScope::Full>(Position& pos, Move move);
template void PlayMove<MoveScope::Pieces>(Position& pos, Move move);
