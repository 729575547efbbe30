// SplitMix64 (Steele, Lea and Flood): a counter stepped by the golden-ratio
// constant and passed through a 64-bit mixing function. Small, fast and good
// enough for Zobrist keys; only the fixed seed makes the keys Talvoran's own.
#include "tools/makerandom/RandomKeyMaker.h"

// The next output of the generator whose state is state.
static uint64_t NextSplitMix64(uint64_t& state)
{
    state += 0x9E3779B97F4A7C15ULL;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// The first 781 outputs from RandomKeySeed.
std::vector<uint64_t> MakeRandomKeys()
{
    uint64_t state = RandomKeySeed;
    std::vector<uint64_t> keys(RandomKeyCount);
    for (uint64_t& key : keys)
        key = NextSplitMix64(state);
    return keys;
}

// Each key as 8 bytes, least significant first.
std::string RandomKeyFileBytes()
{
    std::string bytes;
    for (uint64_t key : MakeRandomKeys())
        for (int shift = 0; shift < 64; shift += 8)
            bytes += static_cast<char>((key >> shift) & 0xFF);
    return bytes;
}
