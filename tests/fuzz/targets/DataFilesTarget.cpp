// Fuzz target: arbitrary contents for the data files. The first byte picks
// the file (Hashtable.ini, Random.bin or one of the six piece-square files),
// the rest is written to disk and loaded by the engine's own loader; the
// tables must then keep their shapes and leave every other table alone.
#include "FuzzSupport.h"

#include "board/DataFiles.h"
#include "search/HashTable.h"

#include <cstdio>
#include <cstring>
#include <string>

// Writes the bytes to a file in the fuzz folder and returns its path.
static std::string WriteInputFile(const uint8_t* data, size_t size)
{
    std::string path = FuzzFolder(12) + "/Input.bin";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        FuzzFailure("cannot write " + path);
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

// The table exists, its mask is 2^N - 1 for some N <= 31, and its first and
// last entries can be written. The small table is made again afterwards.
static void CheckHashTable(const std::string& path)
{
    CreateHashTable(path);
    int64_t entries = int64_t{HashMask} + 1;
    if (HashTable == nullptr || HashMask < 0 || (entries & (entries - 1)) != 0)
        FuzzFailure("hash table of mask " + std::to_string(HashMask));
    HashTable[0].Depth = 1;
    HashTable[HashMask].Depth = 1;
    CreateHashTable(FuzzFolder(12) + "/Data/Hashtable.ini");
}

// Keys loaded under a mask taken from the input: every Lo lies within the
// mask and entry 781 stays zero.
static void CheckRandomKeys(const std::string& path, int maskBits)
{
    int32_t savedMask = HashMask;
    HashMask = static_cast<int32_t>((int64_t{1} << maskBits) - 1);
    LoadRandomKeys(path);
    for (int i = 0; i < 781; i++) {
        if (RandomKeys[i].Lo < 0 || RandomKeys[i].Lo > HashMask)
            FuzzFailure("key " + std::to_string(i) + " escapes the mask");
    }
    if (RandomKeys[781] != Bits64{0, 0})
        FuzzFailure("entry 781 was written");
    HashMask = savedMask;
}

// Black's column mirrors white's top to bottom, and no other column changed.
static void CheckPieceSquare(const std::string& path, int kind)
{
    static int16_t before[13][128];
    std::memcpy(before, PieceSquare, sizeof before);
    LoadPieceSquare(path, kind);
    for (int n = 0; n < 128; n++) {
        if (PieceSquare[6 + kind][(7 - n / 16) * 16 + n % 16] != PieceSquare[kind][n])
            FuzzFailure("black's values do not mirror white's");
    }
    for (int column = 0; column < 13; column++) {
        if (column != kind && column != 6 + kind &&
            std::memcmp(before[column], PieceSquare[column], sizeof before[column]) != 0)
            FuzzFailure("column " + std::to_string(column) + " changed");
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzEngine(12);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    int choice = data[0] % 8;
    std::string path = WriteInputFile(data + 2, size - 2);
    if (choice == 0)
        CheckHashTable(path);
    else if (choice == 1)
        CheckRandomKeys(path, data[1] % 32);
    else
        CheckPieceSquare(path, choice - 1);
    return 0;
}
