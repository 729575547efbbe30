// The transposition table: one direct-mapped array of 2^N entries, N read
// from Hashtable.ini. Indexed by Key.Lo (already masked), checked by Key.Hi.
#pragma once

#include "board/Position.h"

#include <cstdint>
#include <string>

enum BoundType : uint8_t { EmptyBound = 0, UpperBound = 1, LowerBound = 2, Exact = 3 };

struct HashEntry {
    int32_t Check;   // Key.Hi of the position stored
    Move BestMove;   // best move, or all zero
    int16_t Score;   // the node's result, unadjusted
    uint8_t Bound;   // a BoundType
    uint8_t Depth;   // remaining depth; 255 for the game positions of the position command
};
static_assert(sizeof(HashEntry) == 12, "a hash entry is 12 bytes");

constexpr int DefaultHashBits = 22;
constexpr uint8_t GameDepth = 255;

extern HashEntry* HashTable;  // HashMask + 1 entries, never absent once created
extern int32_t HashMask;

// The entries filled since the last clear, so that a clear costs what was
// written rather than the whole table: each entry is listed when it stops
// being empty. A count beyond the capacity means the list overflowed and the
// next clear zeroes everything.
extern uint32_t* FilledSlots;
extern uint32_t FilledCapacity;
extern uint32_t FilledCount;

// Reads N from the file and creates a zeroed table of 2^N entries. A missing
// file is reported and gives the default size; a size that cannot be had is
// reported and the largest smaller one that can be allocated is taken.
void CreateHashTable(const std::string& path);

// Zeroes every entry.
void ClearHashTable();

inline const HashEntry& HashSlot(Bits64 key) { return HashTable[static_cast<uint32_t>(key.Lo)]; }

// Starts loading the entry of a key into the cache, so that a probe a moment
// later does not wait for memory.
inline void PrefetchHashSlot(Bits64 key)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(&HashSlot(key));
#else
    (void)key;
#endif
}

inline void NoteFilledSlot(uint32_t index)
{
    if (FilledCount < FilledCapacity)
        FilledSlots[FilledCount] = index;
    FilledCount++;
}

// The entry of key for writing; an empty one is listed as filled first. Every
// write into the table goes through here or StoreHashEntry.
inline HashEntry& FillHashSlot(Bits64 key)
{
    uint32_t index = static_cast<uint32_t>(key.Lo);
    if (HashTable[index].Bound == EmptyBound)
        NoteFilledSlot(index);
    return HashTable[index];
}

// The store rule: an empty entry or one of depth <= depth is overwritten.
inline void StoreHashEntry(Bits64 key, const Move& move, int16_t score, uint8_t bound, int depth)
{
    HashEntry& entry = FillHashSlot(key);
    if (entry.Bound == EmptyBound || entry.Depth <= depth)
        entry = HashEntry{key.Hi, move, score, bound, static_cast<uint8_t>(depth)};
}
