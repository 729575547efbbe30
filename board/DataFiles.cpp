// Loads the tables that come from the data directory: the 781 random keys of
// Random.bin (low halves masked with HashMask) and the piece-square values of
// the six text files, black's mirrored from white's. Also ComputeKey.
#include "board/DataFiles.h"

#include "platform/Platform.h"
#include "search/HashTable.h"

#include <cstdio>

constexpr int KeyRecords = 781;
constexpr int PieceSquareNumbers = 128;

Bits64 RandomKeys[782];
int16_t PieceSquare[13][128];

// Decodes four little-endian bytes as a signed 32-bit value.
static int32_t LittleEndian32(const unsigned char* bytes)
{
    uint32_t value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                     uint32_t{bytes[3]} << 24;
    return static_cast<int32_t>(value);
}

// Fills RandomKeys 0-780 from the file, masking every Lo with HashMask. A half
// that the file does not hold in full (it ends early) becomes 0. A missing
// file is reported and leaves the table unchanged; entry 781 is never touched.
void LoadRandomKeys(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ReportMissingFile(path);
        return;
    }
    unsigned char bytes[KeyRecords * 8];
    size_t length = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);

    for (int i = 0; i < KeyRecords; i++) {
        size_t offset = static_cast<size_t>(i) * 8;
        int32_t lo = offset + 4 <= length ? LittleEndian32(bytes + offset) : 0;
        int32_t hi = offset + 8 <= length ? LittleEndian32(bytes + offset + 4) : 0;
        RandomKeys[i] = Bits64{lo & HashMask, hi};
    }
}

// Reads the next number of a piece-square file: skips non-digits from the
// current byte, then folds in digits modulo 65536. current holds the byte that
// ended the previous number. Returns false (value untouched) at the file's end.
static bool ReadNumber(std::FILE* file, int& current, uint16_t& value)
{
    while (current < '0' || current > '9') {
        if (current == EOF)
            return false;
        current = std::fgetc(file);
    }
    uint32_t number = 0;
    while (current >= '0' && current <= '9') {
        number = (number * 10 + static_cast<uint32_t>(current - '0')) & 0xFFFF;
        current = std::fgetc(file);
    }
    value = static_cast<uint16_t>(number);
    return true;
}

// Fills columns kind (white) and 6 + kind (black, rows mirrored) of
// PieceSquare from the first 128 numbers of the file; numbers the file lacks
// count as 0. A missing file is reported and leaves the table unchanged.
const char* const PieceSquareFiles[7] = {"", "Pawn.txt", "Knight.txt", "Bishop.txt", "Rook.txt", "Queen.txt", "King.txt"};

void LoadPieceSquare(const std::string& path, int kind)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ReportMissingFile(path);
        return;
    }
    int current = ' ';  // any non-digit: the scan starts at byte 0
    bool ended = false;
    for (int n = 0; n < PieceSquareNumbers; n++) {
        uint16_t value = 0;
        if (!ended)
            ended = !ReadNumber(file, current, value);
        int16_t stored = static_cast<int16_t>(value);
        PieceSquare[kind][n] = stored;
        PieceSquare[6 + kind][(7 - n / 16) * 16 + n % 16] = stored;
    }
    std::fclose(file);
}

// Key of a position in setup form, from scratch: the exclusive-or of the
// entries for side, rights, en-passant file and every piece.
Bits64 ComputeKey(const uint8_t board[64], const uint8_t castling[2], int enPassant, int side)
{
    Bits64 key{0, 0};
    if (side == Black)
        ToggleBits(key, RandomKeys[SideKey]);
    for (int colour = White; colour <= Black; colour++) {
        if (castling[colour] & QueenSideRight)
            ToggleBits(key, RandomKeys[QueenSideKey + colour]);
        if (castling[colour] & KingSideRight)
            ToggleBits(key, RandomKeys[KingSideKey + colour]);
    }
    if (enPassant >= 0 && enPassant <= 63)
        ToggleBits(key, RandomKeys[EnPassantKey + (enPassant & 7)]);
    for (int index = 0; index < 64; index++) {
        int code = board[index];
        if (code != 0)
            ToggleBits(key, RandomKeys[PieceKeyIndex(SquareOfIndex(index), code >> 3, code & 7)]);
    }
    return key;
}
