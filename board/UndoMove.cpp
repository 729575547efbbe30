// TakeBack: unmakes the last PlayMove in place. Rights, en-passant square,
// clock and key come back from the caller's copies; pieces, lists, sets,
// masks and tallies are undone step by step (masks and tallies only where the
// move kept them). A captured piece rejoins its list at the end.
#include "board/UndoMove.h"

#include "board/Initialize.h"

// Puts the captured piece back on its square, appended to XSide's list, and
// into its set; of the Full scope with its pawn-mask bit and tally weight.
template <MoveScope Scope>
static inline void RestoreVictim(Position& pos, Move move)
{
    int xside = pos.XSide;
    int victim = CapturedKind(move);
    int square = (move.Flags & FlagEnPassant) != 0 ? move.To + Direction[xside] : move.To;

    pos.Board[square] = static_cast<uint8_t>(xside * 8 + victim);
    int slot = pos.ListEnd[xside] + 2;
    pos.Board[square | 8] = static_cast<uint8_t>(slot);
    pos.PieceList[slot] = static_cast<uint8_t>(victim);
    pos.PieceList[slot + 1] = static_cast<uint8_t>(square);
    pos.ListEnd[xside] = static_cast<uint8_t>(slot);
    pos.Occupied[xside] |= SetOf(square);
    if constexpr (Scope == MoveScope::Pieces)
        return;
    if (victim == Pawn) {
        pos.PawnMask[xside].Lo |= SquareMask[square].Lo;
        pos.PawnMask[xside].Hi |= SquareMask[square].Hi;
    }
    pos.MaterialTally[xside] += TallyWeight[victim];
}

// Unmakes move, the last move PlayMove made on pos, given the UndoInfo and key
// saved just before it. Side is the mover again on return.
template <MoveScope Scope>
void TakeBack(Position& pos, Move move, const UndoInfo& undo, Bits64 savedKey)
{
    constexpr bool full = Scope == MoveScope::Full;
    pos.Castling[White] = undo.Castling[White];
    pos.Castling[Black] = undo.Castling[Black];
    pos.EpSquare = undo.EpSquare;
    pos.HalfmoveClock = undo.HalfmoveClock;
    int side = pos.XSide;
    pos.Side = static_cast<uint8_t>(side);
    pos.XSide = static_cast<uint8_t>(1 - side);
    pos.Key = savedKey;

    // move the piece back before a victim reappears on To
    int slot = pos.Board[move.To | 8];
    pos.Board[move.From | 8] = static_cast<uint8_t>(slot);
    pos.Board[move.From] = pos.Board[move.To];
    pos.Board[move.To] = 0;
    pos.PieceList[slot + 1] = move.From;
    pos.Occupied[side] ^= SetOf(move.From) | SetOf(move.To);
    if (CapturedKind(move) != 0)
        RestoreVictim<Scope>(pos, move);

    if (MovingKind(move) == Pawn) {
        int promotion = PromotionKind(move);
        if (promotion != 0) {
            pos.Board[move.From] = static_cast<uint8_t>(side * 8 + Pawn);
            pos.PieceList[slot] = Pawn;
            if constexpr (full)
                pos.MaterialTally[side] += TallyWeight[Pawn] - TallyWeight[promotion];
        }
        if constexpr (full) {
            Bits64& pawns = pos.PawnMask[side];
            pawns.Lo = (pawns.Lo & ~SquareMask[move.To].Lo) | SquareMask[move.From].Lo;
            pawns.Hi = (pawns.Hi & ~SquareMask[move.To].Hi) | SquareMask[move.From].Hi;
        }
    }

    // the castling rook goes home
    int castleSide = (move.Flags >> 4) & 3;
    if (castleSide != 0) {
        int home = move.To + CastleOffset[castleSide - 1];
        int moved = home + CastleOffset[castleSide + 1];
        int rookSlot = pos.Board[moved | 8];
        pos.Board[home | 8] = static_cast<uint8_t>(rookSlot);
        pos.Board[home] = pos.Board[moved];
        pos.Board[moved] = 0;
        pos.PieceList[rookSlot + 1] = static_cast<uint8_t>(home);
        pos.Occupied[side] ^= SetOf(home) | SetOf(moved);
    }
}

template void TakeBack<MoveScope::Full>(Position& pos, Move move, const UndoInfo& undo, Bits64 savedKey);
template void TakeBack<MoveScope::Pieces>(Position& pos, Move move, const UndoInfo& undo, Bits64 savedKey);
