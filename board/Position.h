// Shared records of the engine: square, colour and piece numbering, the
// Position that every board, generator, evaluation and search procedure works
// on, the four-byte Move, the UndoInfo saved before a move, and Bits64 keys.
#pragma once

#include <cstdint>

// Squares are 0x88 numbers, row * 16 + column, with row 0 = rank 8 and column
// 0 = file a: a8 = 0x00, h8 = 0x07, a1 = 0x70, h1 = 0x77. The cells of columns
// 8-15 are shadow cells: cell s | 8 holds the list slot of the piece on s.
constexpr int NoSquare = 136;
constexpr bool IsOnBoard(int square) { return (square & 0x88) == 0; }

// Setup index (a8 = 0 ... h1 = 63) to 0x88 square, and back.
constexpr int SquareOfIndex(int index) { return (index & 0xF8) * 2 + (index & 7); }
constexpr int IndexOfSquare(int square) { return (square >> 4) * 8 + (square & 7); }

// A 64-bit set of squares, bit i for setup index i (a8 = 0 ... h1 = 63): the
// order of a Bits64 mask's two halves put together.
using SquareSet = uint64_t;

// The one-square set of every 0x88 cell (empty for shadow cells): a lookup
// costs less on the move path than the index arithmetic.
struct SquareBitTable {
    SquareSet Bit[128];
};

constexpr SquareBitTable MakeSquareBits()
{
    SquareBitTable t{};
    for (int square = 0; square < 128; square++)
        t.Bit[square] = IsOnBoard(square) ? SquareSet{1} << IndexOfSquare(square) : 0;
    return t;
}

inline constexpr SquareBitTable SquareBits = MakeSquareBits();

constexpr SquareSet SetOf(int square) { return SquareBits.Bit[square]; }

// Colours, piece kinds and piece codes (code = colour * 8 + kind, 0 = empty).
constexpr int White = 0;
constexpr int Black = 1;
constexpr int Pawn = 1;
constexpr int Knight = 2;
constexpr int Bishop = 3;
constexpr int Rook = 4;
constexpr int Queen = 5;
constexpr int King = 6;

// Castling rights, per colour.
constexpr int QueenSideRight = 1;
constexpr int KingSideRight = 2;

// Move flags: the low four bits hold a promotion kind, the others one of these.
constexpr int FlagQueenSideCastle = 16;
constexpr int FlagKingSideCastle = 32;
constexpr int FlagDoublePush = 64;
constexpr int FlagEnPassant = 128;

// A set of squares or a hash key, as two signed 32-bit halves. As a key, Lo is
// the transposition-table index (already masked) and Hi the check value. As a
// set, Lo holds rows 0-3 and Hi rows 4-7, bit (row % 4) * 8 + column.
struct Bits64 {
    int32_t Lo;
    int32_t Hi;
};

inline bool operator==(Bits64 a, Bits64 b) { return a.Lo == b.Lo && a.Hi == b.Hi; }
inline bool operator!=(Bits64 a, Bits64 b) { return !(a == b); }
inline void ToggleBits(Bits64& target, Bits64 entry)
{
    target.Lo ^= entry.Lo;
    target.Hi ^= entry.Hi;
}

// A move. Kinds: low nibble the moving kind (1 for a promoting pawn), high
// nibble the captured kind (1 for en passant). Flags: promotion kind 2-5, or
// one of the Flag... values above. From = To = 0 is the empty move.
struct Move {
    uint8_t From;
    uint8_t To;
    uint8_t Kinds;
    uint8_t Flags;
};

inline int MovingKind(const Move& move) { return move.Kinds & 15; }
inline int CapturedKind(const Move& move) { return move.Kinds >> 4; }
inline int PromotionKind(const Move& move) { return move.Flags & 15; }
// The kind that stands on To once the move is made.
inline int ArrivingKind(const Move& move) { return PromotionKind(move) != 0 ? PromotionKind(move) : MovingKind(move); }
inline bool operator==(const Move& a, const Move& b)
{
    return a.From == b.From && a.To == b.To && a.Kinds == b.Kinds && a.Flags == b.Flags;
}

// What PlayMove and TakeBack keep up to date. Full: every field. Pieces: the
// board, the lists, the square sets, the en-passant square and the side to
// move, all that the quiescence search reads; the key, the rights, the clock,
// the tallies and the pawn masks keep their values from before the move, and
// TakeBack of the same scope leaves them so.
enum class MoveScope { Full, Pieces };

// What PlayMove cannot undo by itself: copied by the caller before the move.
struct UndoInfo {
    uint8_t Castling[2];
    uint8_t EpSquare;
    uint8_t HalfmoveClock;
};

// The position the search works on, changed in place by PlayMove and TakeBack.
// Invariants: each colour's king sits in slot colour * 32 of PieceList, its
// other pieces follow without gaps up to ListEnd[colour]; for every entry
// (kind, square) in slot s of colour c, Board[square] = c * 8 + kind and
// Board[square | 8] = s; PawnMask, MaterialTally, Key and Occupied agree with
// the pieces.
struct Position {
    uint8_t Board[128];       // piece codes on board cells, list slots in shadow cells
    uint8_t PieceList[64];    // pairs (kind, square); white slots 0-30, black 32-62
    Bits64 PawnMask[2];       // squares of each colour's pawns
    uint8_t ListEnd[2];       // slot of each colour's last list entry
    uint8_t Castling[2];      // rights per colour: 1 queen side, 2 king side
    uint8_t MaterialTally[2]; // 16 per pawn, rook and queen, 1 per minor piece
    uint8_t EpSquare;         // square passed over by a double push, else NoSquare
    uint8_t HalfmoveClock;    // plies since the last capture or pawn move
    uint8_t Side;             // colour to move
    uint8_t XSide;            // 1 - Side
    Bits64 Key;               // hash key, equal to ComputeKey of the position
    SquareSet Occupied[2];    // squares of each colour's pieces, kept for the generators
};

inline int KingSquare(const Position& pos, int colour) { return pos.PieceList[colour * 32 + 1]; }

// The squares of both colours' pieces.
inline SquareSet OccupiedSquares(const Position& pos) { return pos.Occupied[White] | pos.Occupied[Black]; }

inline UndoInfo SaveUndoInfo(const Position& pos)
{
    return UndoInfo{{pos.Castling[0], pos.Castling[1]}, pos.EpSquare, pos.HalfmoveClock};
}
