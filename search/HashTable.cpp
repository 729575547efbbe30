// Creation and clearing of the transposition table. The table is one zeroed
// block of 2^N entries (N from Hashtable.ini); it lives until the process ends.
// Beside it lies the list of entries filled since the last clear, which lets a
// clear after a short search zero a few thousand entries instead of the whole
// block (tens of megabytes, several milliseconds, on every position command).
#include "search/HashTable.h"

#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

HashEntry* HashTable = nullptr;
int32_t HashMask = 0;
uint32_t* FilledSlots = nullptr;
uint32_t FilledCapacity = 0;
uint32_t FilledCount = 0;

constexpr int LargestHashBits = 31;  // 2^31 - 1 is the largest mask an int32 holds

// Zeroing one listed entry touches a whole cache line at a random place, a
// dozen times the memory traffic of its share of a sequential clear: beyond a
// sixteenth of the table listed, clearing it all is no slower.
constexpr int FilledListShare = 16;

// The file's leading decimal digits, folded in modulo 256; the first byte that
// is not a digit, or the end of the file, ends the number. -1 when unreadable.
static int ReadHashBits(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return -1;
    uint8_t value = 0;
    for (int c = std::fgetc(file); c >= '0' && c <= '9'; c = std::fgetc(file))
        value = static_cast<uint8_t>(value * 10 + (c - '0'));
    std::fclose(file);
    return value;
}

// Allocates 2^bits zeroed entries, or the largest smaller power of two that
// can be had, with a notice when the asked size was refused. Sets HashMask.
static void AllocateTable(int bits)
{
    int wanted = bits;
    if (bits > LargestHashBits)
        bits = LargestHashBits;
    for (; bits >= 0; bits--) {
        size_t entries = size_t{1} << bits;
        HashTable = static_cast<HashEntry*>(std::calloc(entries, sizeof(HashEntry)));
        if (HashTable != nullptr) {
            // Every page is touched here, once: a page first touched by a
            // search costs a fault (with large pages the zeroing of 2 MiB and
            // at times a compaction), tens of milliseconds over the first
            // moves of a game, which a fast clock cannot spare.
            AdviseLargePages(HashTable, entries * sizeof(HashEntry));
            std::memset(static_cast<void*>(HashTable), 0, entries * sizeof(HashEntry));
            break;
        }
    }
    if (HashTable == nullptr) {
        ReportProblem("Error: no memory for a hash table");
        std::exit(1);
    }
    HashMask = static_cast<int32_t>((int64_t{1} << bits) - 1);
    FilledCount = 0;
    FilledCapacity = static_cast<uint32_t>((size_t{1} << bits) / FilledListShare);
    FilledSlots = static_cast<uint32_t*>(std::calloc(FilledCapacity > 0 ? FilledCapacity : 1, sizeof(uint32_t)));
    if (FilledSlots == nullptr)
        FilledCapacity = 0;  // every clear is then a whole one
    if (bits != wanted)
        ReportProblem("Error: a hash table of 2^" + std::to_string(wanted) + " entries cannot be had; using 2^" +
                      std::to_string(bits));
}

// Reads N and creates the zeroed table (a table made before is released). A
// missing or unreadable file is reported and the default size is used instead.
void CreateHashTable(const std::string& path)
{
    int bits = -1;
    if (!FileExists(path))
        ReportMissingFile(path);
    else if ((bits = ReadHashBits(path)) < 0)
        ReportProblem("Error: " + path + " cannot be read");
    if (bits < 0)
        bits = DefaultHashBits;
    std::free(HashTable);
    std::free(FilledSlots);
    HashTable = nullptr;
    FilledSlots = nullptr;
    AllocateTable(bits);
}

// Every field of every entry back to zero; nothing to do before creation.
// Only the listed entries can be other than zero, unless the list overflowed.
void ClearHashTable()
{
    if (HashTable == nullptr)
        return;
    if (FilledCount > FilledCapacity) {
        std::memset(HashTable, 0, (static_cast<size_t>(HashMask) + 1) * sizeof(HashEntry));
    } else {
        for (uint32_t i = 0; i < FilledCount; i++)
            HashTable[FilledSlots[i]] = HashEntry{};
    }
    FilledCount = 0;
}
