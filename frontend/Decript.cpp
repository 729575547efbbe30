// Decoding of "position" and "go". Owns the setup fields (the game position
// between commands, a8 = 0 ... h1 = 63), the last accepted position that go
// searches, and RemainingTime. Every step of a position command is checked
// with IsValidSetup; an accepted one clears the hash table and seeds it.
#include "frontend/Decript.h"

#include "board/DataFiles.h"
#include "board/Mapper.h"
#include "frontend/Interface.h"
#include "search/HashTable.h"

#include <cmath>
#include <cstring>

uint8_t SetupBoard[64];
uint8_t SetupCastling[2];
uint8_t SetupEnPassant;
uint8_t SetupHalfmoves;
uint8_t SetupSide;
AcceptedSetup LastAccepted;
int32_t RemainingTime = 0;

constexpr int NoEnPassant = 64;
constexpr int ClockLimit = 100;

// Keys of the game's positions during one position command: entry i (modulo
// the size) is the key after the i-th move text. An accepted setup has a clock
// of at most 100, so only the last 101 keys are ever marked.
constexpr int GameKeySlots = 128;
static Bits64 GameKeys[GameKeySlots];

// IsValidSetup and ComputeKey of the setup fields as they stand.
static bool SetupIsValid()
{
    return IsValidSetup(SetupBoard, SetupCastling, SetupEnPassant, SetupHalfmoves, SetupSide);
}

static Bits64 SetupKey()
{
    return ComputeKey(SetupBoard, SetupCastling, SetupEnPassant, SetupSide);
}

// Writes the initial position into the setup fields.
void SetStartPosition()
{
    static const uint8_t backRank[8] = {Rook, Knight, Bishop, Queen, King, Bishop, Knight, Rook};
    std::memset(SetupBoard, 0, sizeof SetupBoard);
    for (int file = 0; file < 8; file++) {
        SetupBoard[file] = static_cast<uint8_t>(8 + backRank[file]);
        SetupBoard[8 + file] = 8 + Pawn;
        SetupBoard[48 + file] = Pawn;
        SetupBoard[56 + file] = backRank[file];
    }
    SetupCastling[White] = SetupCastling[Black] = QueenSideRight | KingSideRight;
    SetupEnPassant = NoEnPassant;
    SetupHalfmoves = 0;
    SetupSide = White;
}

// Piece code of a FEN letter (P 1 ... K 6, p 9 ... k 14), 0 for any other.
static int PieceCodeOfLetter(char letter)
{
    static const char letters[] = "PNBRQK";
    for (int kind = Pawn; kind <= King; kind++) {
        if (letter == letters[kind - 1])
            return kind;
        if (letter == letters[kind - 1] + ('a' - 'A'))
            return 8 + kind;
    }
    return 0;
}

// The form of a FEN placement: 17 to 71 characters, only slashes, digits
// 1-8 and the twelve piece letters, and exactly 7 slashes.
bool IsPlacement(const std::string& word)
{
    if (word.size() < 17 || word.size() > 71)
        return false;
    int slashes = 0;
    for (char c : word) {
        if (c == '/')
            slashes++;
        else if (!(c >= '1' && c <= '8') && PieceCodeOfLetter(c) == 0)
            return false;
    }
    return slashes == 7;
}

// Reads a placement into board: digits skip squares, letters fill one, all
// else is passed over; ranks are not counted. False when the squares run
// past the 64th (nothing is written beyond the board).
static bool ReadPlacement(const std::string& word, uint8_t board[64])
{
    std::memset(board, 0, 64);
    int square = 0;
    for (char c : word) {
        if (c >= '1' && c <= '8') {
            square += c - '0';
        } else if (int code = PieceCodeOfLetter(c); code != 0) {
            if (square < 64)
                board[square] = static_cast<uint8_t>(code);
            square++;
        }
    }
    return square <= 64;
}

// Castling rights from K, Q, k and q; every other character is passed over.
static void ReadCastling(const std::string& word)
{
    SetupCastling[White] = SetupCastling[Black] = 0;
    for (char c : word) {
        if (c == 'K') SetupCastling[White] |= KingSideRight;
        if (c == 'Q') SetupCastling[White] |= QueenSideRight;
        if (c == 'k') SetupCastling[Black] |= KingSideRight;
        if (c == 'q') SetupCastling[Black] |= QueenSideRight;
    }
}

// A two-character word gives (8 - rank) * 8 + file for a square name; its
// characters are not checked (IsValidSetup judges the index). Else none.
static uint8_t ReadEnPassant(const std::string& word)
{
    if (word.size() != 2)
        return NoEnPassant;
    int file = static_cast<unsigned char>(word[0]);
    int rank = static_cast<unsigned char>(word[1]);
    return static_cast<uint8_t>((95 - 8 * rank + file) & 255);
}

// The word's leading decimal number (sign and fraction allowed), rounded;
// taken when it lies in 0..100, otherwise the clock is 0.
static uint8_t ReadClock(const std::string& word)
{
    size_t i = 0;
    double sign = 1;
    if (i < word.size() && (word[i] == '-' || word[i] == '+'))
        sign = word[i++] == '-' ? -1 : 1;
    double value = 0;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; i++)
        value = value * 10 + (word[i] - '0');
    if (i < word.size() && word[i] == '.') {
        double scale = 0.1;
        for (i++; i < word.size() && word[i] >= '0' && word[i] <= '9'; i++, scale /= 10)
            value += (word[i] - '0') * scale;
    }
    double clock = std::round(sign * value);
    return clock >= 0 && clock <= ClockLimit ? static_cast<uint8_t>(clock) : 0;
}

// The placement is the first word after "fen" that looks like one; five words
// (side, castling, en passant, clock, full-move number) must follow it. A
// refusal leaves the setup fields unchanged.
bool DecodeFen(const WordList& words, int& k, int last)
{
    for (k++; k <= last && !IsPlacement(words[k]); k++) {
    }
    if (k + 5 > last)
        return true;
    uint8_t board[64];
    if (!ReadPlacement(words[k], board))
        return true;
    std::memcpy(SetupBoard, board, sizeof SetupBoard);
    SetupSide = words[++k] == "b" ? Black : White;
    ReadCastling(words[++k]);
    SetupEnPassant = ReadEnPassant(words[++k]);
    SetupHalfmoves = ReadClock(words[++k]);
    k++;
    return false;
}

// Setup index named by two characters of a move text; proper names give
// (8 - rank) * 8 + file, anything else some number that is range-checked.
static int IndexOfText(char file, char rank)
{
    return 351 - 8 * static_cast<unsigned char>(rank) + static_cast<unsigned char>(file);
}

// The pawn rules of a move text: the clock, an en-passant capture, the square
// passed over by a double step, and a promotion (r, b, n, else a queen).
static void ApplyPawnRules(const std::string& word, int from, int to, int oldEnPassant, int side)
{
    SetupHalfmoves = 0;
    int behind = to - 16 * side + 8;  // one row back towards the mover's side
    if (to == oldEnPassant && behind >= 0 && behind < 64)
        SetupBoard[behind] = 0;
    if (from / 8 == 6 - 5 * side && to / 8 == 4 - side)
        SetupEnPassant = static_cast<uint8_t>(behind);
    if (word.size() == 5) {
        char letter = word[4];
        int kind = letter == 'r' ? Rook : letter == 'b' ? Bishop : letter == 'n' ? Knight : Queen;
        SetupBoard[to] = static_cast<uint8_t>(side * 8 + kind);
    }
}

// A king that moved two squares takes its rook along: from to - 2 to to + 1
// on the queen side, from to + 1 to to - 1 on the king side.
static void MoveCastlingRook(int from, int to)
{
    int rookFrom = -1, rookTo = -1;
    if (from - to == 2)
        rookFrom = to - 2, rookTo = to + 1;
    else if (to - from == 2)
        rookFrom = to + 1, rookTo = to - 1;
    if (rookFrom < 0 || rookFrom > 63)
        return;
    SetupBoard[rookTo] = SetupBoard[rookFrom];
    SetupBoard[rookFrom] = 0;
}

// Rights lost by a move: a king move or a rook leaving its corner costs the
// mover, a move onto the opponent's rook corner costs the opponent.
static void UpdateCastlingRights(int from, int to, int side)
{
    int other = 1 - side;
    bool king = (SetupBoard[to] & 7) == King;
    if (to == 56 * side)
        SetupCastling[other] &= ~QueenSideRight;
    if (to == 56 * side + 7)
        SetupCastling[other] &= ~KingSideRight;
    if (king || from == 56 - 56 * side)
        SetupCastling[side] &= ~QueenSideRight;
    if (king || from == 63 - 56 * side)
        SetupCastling[side] &= ~KingSideRight;
}

// Moves any piece of the side to move from one square to another, with the
// side effects of pawn moves, castling and captures. Texts of the wrong
// length, with a square off the board, from = to, or without a piece of the
// side to move on the first square change nothing.
void PlayMoveText(const std::string& word)
{
    if (word.size() != 4 && word.size() != 5)
        return;
    int from = IndexOfText(word[0], word[1]);
    int to = IndexOfText(word[2], word[3]);
    if (from < 0 || from > 63 || to < 0 || to > 63 || from == to)
        return;
    int side = SetupSide;
    int piece = SetupBoard[from];
    if (piece == 0 || ((side * 8) ^ piece) >= 8)
        return;

    int oldEnPassant = SetupEnPassant;
    SetupEnPassant = NoEnPassant;
    SetupHalfmoves++;
    if (SetupBoard[to] != 0)
        SetupHalfmoves = 0;
    SetupBoard[to] = static_cast<uint8_t>(piece);
    SetupBoard[from] = 0;
    if ((piece & 7) == Pawn)
        ApplyPawnRules(word, from, to, oldEnPassant, side);
    if ((SetupBoard[to] & 7) == King)
        MoveCastlingRook(from, to);
    UpdateCastlingRights(from, to, side);
    SetupSide = static_cast<uint8_t>(1 - side);
}

// The seeding: the table is cleared, then the positions since the last
// capture or pawn move (as far as the move list reaches back, the current one
// included) become exact entries of depth 255 that the search scores as draws.
static void SeedGameHistory(int moveCount)
{
    ClearHashTable();
    if (HashTable == nullptr)
        return;
    int oldest = moveCount - SetupHalfmoves;
    for (int i = oldest > 0 ? oldest : 0; i <= moveCount; i++) {
        Bits64 key = GameKeys[i % GameKeySlots];
        HashEntry& entry = FillHashSlot(key);
        entry.Check = key.Hi;
        entry.Bound = Exact;
        entry.Depth = GameDepth;
    }
}

// Copies the setup fields into LastAccepted, the position go searches.
static void RememberAcceptedSetup()
{
    LastAccepted.Valid = true;
    std::memcpy(LastAccepted.Board, SetupBoard, sizeof SetupBoard);
    LastAccepted.Castling[White] = SetupCastling[White];
    LastAccepted.Castling[Black] = SetupCastling[Black];
    LastAccepted.EnPassant = SetupEnPassant;
    LastAccepted.Halfmoves = SetupHalfmoves;
    LastAccepted.Side = SetupSide;
}

// Sets the start from "startpos" or "fen"; k goes out on the word after which
// "moves" is looked for. Without either word the previous setup stays.
static bool DecodeStart(const WordList& words, int first, int last, int& k)
{
    for (k = first; k <= last; k++) {
        if (words[k] == "startpos") {
            SetStartPosition();
            return false;
        }
        if (words[k] == "fen")
            return DecodeFen(words, k, last);
    }
    k = first - 1;
    return false;
}

// The start, then each move text after "moves", each step checked; an
// accepted command seeds the hash table and becomes the position go searches.
bool DecodePosition(const WordList& words, int first, int last)
{
    int k;
    if (DecodeStart(words, first, last, k) || !SetupIsValid())
        return true;
    GameKeys[0] = SetupKey();
    int moves = k + 1;
    while (moves <= last && words[moves] != "moves")
        moves++;
    int count = 0;
    for (int t = moves + 1; t <= last; t++) {
        PlayMoveText(words[t]);
        if (!SetupIsValid())
            return true;
        count++;
        GameKeys[count % GameKeySlots] = SetupKey();
    }
    SeedGameHistory(count);
    RememberAcceptedSetup();
    return false;
}

// Leading decimal digits as a count, held at the 32-bit maximum.
static int32_t LeadingDigits(const std::string& word)
{
    int64_t value = 0;
    for (size_t i = 0; i < word.size() && word[i] >= '0' && word[i] <= '9'; i++) {
        value = value * 10 + (word[i] - '0');
        if (value > INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// "ponder" or "infinite" anywhere lifts the time limit; the clock word of the
// side to move (the last one counts) gives RemainingTime from the first later
// word that starts with a digit. Every other word is passed over.
void DecodeGo(const WordList& words, int first, int last)
{
    NoTimeLimit = false;
    int side = LastAccepted.Valid ? LastAccepted.Side : SetupSide;
    const char* clockWord = side == White ? "wtime" : "btime";
    int timeWord = -1;
    for (int k = first; k <= last; k++) {
        if (words[k] == "ponder" || words[k] == "infinite")
            NoTimeLimit = true;
        else if (words[k] == clockWord)
            timeWord = k;
    }
    if (timeWord < 0)
        return;
    for (int k = timeWord + 1; k <= last; k++) {
        if (!words[k].empty() && words[k][0] >= '0' && words[k][0] <= '9') {
            RemainingTime = LeadingDigits(words[k]);
            return;
        }
    }
}
