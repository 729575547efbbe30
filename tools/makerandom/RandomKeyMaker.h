// The maker of Data/Random.bin: 781 keys from SplitMix64 with a fixed seed,
// so that the shipped file can be made again and checked byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int RandomKeyCount = 781;
constexpr uint64_t RandomKeySeed = 0x54616C766F72616EULL;  // "Talvoran" in ASCII

// The 781 keys in file order.
std::vector<uint64_t> MakeRandomKeys();

// The file's bytes: each key as 8 little-endian bytes, so the Lo half
// (bytes 0-3) comes before the Hi half (bytes 4-7).
std::string RandomKeyFileBytes();
