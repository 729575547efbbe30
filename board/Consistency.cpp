// A debug check of a Position against its own invariants: board against lists
// and shadow cells, square sets, pawn masks, tallies, side, rights,
// en-passant square and a key recomputed from scratch. Written for clarity,
// not speed.
#include "board/Consistency.h"

#include "board/DataFiles.h"
#include "board/Initialize.h"

// Records the first fault found and returns false.
static bool Fault(std::string* problem, const std::string& text)
{
    if (problem != nullptr)
        *problem = text;
    return false;
}

// A square's name such as "e4", or its cell number when off the board.
static std::string SquareName(int square)
{
    if (!IsOnBoard(square))
        return "cell " + std::to_string(square);
    return std::string{static_cast<char>('a' + (square & 7)), static_cast<char>('8' - (square >> 4))};
}

// Checks each colour's list: its bounds, the king in the first slot and no
// other king, and every entry agreeing with its board cell and shadow cell.
static bool ListsAgreeWithBoard(const Position& pos, std::string* problem)
{
    for (int colour = White; colour <= Black; colour++) {
        int first = colour * 32;
        int last = pos.ListEnd[colour];
        std::string name = colour == White ? "white" : "black";
        if (last < first || last > first + 30 || (last & 1) != 0)
            return Fault(problem, name + " ListEnd " + std::to_string(last) + " out of range");
        if (pos.PieceList[first] != King)
            return Fault(problem, name + " king is not in slot " + std::to_string(first));
        for (int slot = first; slot <= last; slot += 2) {
            int kind = pos.PieceList[slot];
            int square = pos.PieceList[slot + 1];
            std::string where = name + " slot " + std::to_string(slot);
            if (kind < Pawn || kind > King || (kind == King) != (slot == first))
                return Fault(problem, where + " holds kind " + std::to_string(kind));
            if (!IsOnBoard(square))
                return Fault(problem, where + " holds off-board " + SquareName(square));
            if (pos.Board[square] != colour * 8 + kind)
                return Fault(problem, where + " disagrees with the board on " + SquareName(square));
            if (pos.Board[square | 8] != slot)
                return Fault(problem, "shadow cell of " + SquareName(square) + " is not slot " + std::to_string(slot));
        }
    }
    return true;
}

// Checks that every occupied square is listed (with the lists correct, equal
// counts mean no extra piece), and the square sets, pawn masks and tallies
// recomputed.
static bool BoardAgreesWithTotals(const Position& pos, std::string* problem)
{
    int occupied = 0;
    Bits64 pawns[2] = {{0, 0}, {0, 0}};
    SquareSet sets[2] = {0, 0};
    int tally[2] = {0, 0};
    for (int square = 0; square < 128; square++) {
        int code = pos.Board[square];
        if (!IsOnBoard(square) || code == 0)
            continue;
        int kind = code & 7;
        if (code >= 16 || kind == 0 || kind == 7)
            return Fault(problem, "code " + std::to_string(code) + " on " + SquareName(square));
        occupied++;
        sets[code >> 3] |= SetOf(square);
        tally[code >> 3] += TallyWeight[kind];
        if (kind == Pawn)
            ToggleBits(pawns[code >> 3], SquareMask[square]);
    }
    int listed = (pos.ListEnd[White] + 2) / 2 + (pos.ListEnd[Black] - 30) / 2;
    if (occupied != listed)
        return Fault(problem, std::to_string(occupied) + " pieces on the board, " + std::to_string(listed) + " listed");
    for (int colour = White; colour <= Black; colour++) {
        std::string name = colour == White ? "white" : "black";
        if (pos.PawnMask[colour] != pawns[colour])
            return Fault(problem, name + " pawn mask disagrees with the board");
        if (pos.Occupied[colour] != sets[colour])
            return Fault(problem, name + " occupied squares disagree with the board");
        if (pos.MaterialTally[colour] != (tally[colour] & 0xFF))
            return Fault(problem, name + " tally " + std::to_string(pos.MaterialTally[colour]) + ", board gives " +
                                      std::to_string(tally[colour]));
    }
    return true;
}

// Checks side, rights backed by king and rook at home, and the en-passant
// square on the row just passed by a pawn of the side not to move.
static bool StateIsPlausible(const Position& pos, std::string* problem)
{
    if (pos.Side > Black || pos.XSide != 1 - pos.Side)
        return Fault(problem, "Side " + std::to_string(pos.Side) + ", XSide " + std::to_string(pos.XSide));
    for (int colour = White; colour <= Black; colour++) {
        int rights = pos.Castling[colour];
        int base = colour * 8;
        bool kingHome = pos.Board[colour == White ? 0x74 : 0x04] == base + King;
        if (rights > 3 || (rights != 0 && !kingHome) ||
            ((rights & QueenSideRight) && pos.Board[RookHome[colour]] != base + Rook) ||
            ((rights & KingSideRight) && pos.Board[RookHome[2 + colour]] != base + Rook))
            return Fault(problem, "castling rights " + std::to_string(rights) + " not backed for colour " +
                                      std::to_string(colour));
    }
    int epRow = pos.Side == White ? 0x20 : 0x50;
    if (pos.EpSquare != NoSquare && (!IsOnBoard(pos.EpSquare) || (pos.EpSquare & 0xF0) != epRow))
        return Fault(problem, "EpSquare " + SquareName(pos.EpSquare) + " on the wrong row");
    return true;
}

// Checks Key against ComputeKey of the position in setup form.
static bool KeyIsFresh(const Position& pos, std::string* problem)
{
    uint8_t board[64];
    for (int index = 0; index < 64; index++)
        board[index] = pos.Board[SquareOfIndex(index)];
    int enPassant = pos.EpSquare == NoSquare ? 64 : IndexOfSquare(pos.EpSquare);
    Bits64 key = ComputeKey(board, pos.Castling, enPassant, pos.Side);
    if (pos.Key != key)
        return Fault(problem, "Key differs from the key computed from scratch");
    return true;
}

// True when every invariant holds; otherwise problem (when given) names the
// first fault found.
bool PositionIsConsistent(const Position& pos, std::string* problem)
{
    return StateIsPlausible(pos, problem) && ListsAgreeWithBoard(pos, problem) &&
           BoardAgreesWithTotals(pos, problem) && KeyIsFresh(pos, problem);
}
