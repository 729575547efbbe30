// Helpers for the board tests: setups from FEN text, squares by name, moves
// made by hand, and fixtures for temporary data files and known random keys
// (every key is loaded back as zero afterwards).
#pragma once

#include "board/DataFiles.h"
#include "board/Initialize.h"
#include "board/Mapper.h"
#include "search/HashTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

struct BoardSetup {
    uint8_t Board[64] = {};
    uint8_t Castling[2] = {0, 0};
    int EnPassant = 64;
    int Halfmoves = 0;
    int Side = White;
};

// 0x88 square of a name such as "e4".
inline int Sq(const std::string& name) { return ('8' - name[1]) * 16 + (name[0] - 'a'); }

// The setup of the first four FEN fields, unchecked.
inline BoardSetup SetupFromFen(const std::string& fen)
{
    BoardSetup setup;
    std::istringstream words(fen);
    std::string placement, side = "w", castling = "-", ep = "-";
    words >> placement >> side >> castling >> ep;
    const std::string letters = " PNBRQK  pnbrqk";
    int index = 0;
    for (char c : placement) {
        if (c >= '1' && c <= '8')
            index += c - '0';
        else if (c != '/')
            setup.Board[index++] = static_cast<uint8_t>(letters.find(c));
    }
    setup.Side = side == "b" ? Black : White;
    for (char c : castling) {
        int colour = c == 'k' || c == 'q' ? Black : White;
        if (c == 'K' || c == 'k')
            setup.Castling[colour] |= KingSideRight;
        if (c == 'Q' || c == 'q')
            setup.Castling[colour] |= QueenSideRight;
    }
    if (ep != "-")
        setup.EnPassant = IndexOfSquare(Sq(ep));
    return setup;
}

inline bool IsValid(const BoardSetup& s) { return IsValidSetup(s.Board, s.Castling, s.EnPassant, s.Halfmoves, s.Side); }
inline Position Build(const BoardSetup& s) { return BuildPosition(s.Board, s.Castling, s.EnPassant, s.Halfmoves, s.Side); }
inline Position Build(const std::string& fen) { return Build(SetupFromFen(fen)); }
inline Bits64 KeyOf(const BoardSetup& s) { return ComputeKey(s.Board, s.Castling, s.EnPassant, s.Side); }

// A move from text such as "e7e8" with its kinds and flags.
inline Move Mv(const std::string& text, int kind, int captured = 0, int flags = 0)
{
    return Move{static_cast<uint8_t>(Sq(text.substr(0, 2))), static_cast<uint8_t>(Sq(text.substr(2, 2))),
                static_cast<uint8_t>(kind | captured << 4), static_cast<uint8_t>(flags)};
}

// Known key i: half 0 is Lo, half 1 is Hi.
inline uint32_t TestKeyHalf(int i, int half) { return (static_cast<uint32_t>(i) * 2654435761u + half * 40503u) | 1u; }

// Builds the tables, gives each test a temporary folder and loads known keys
// under a wide HashMask; afterwards every key is zero again and the mask restored.
class BoardTest : public ::testing::Test {
protected:
    std::filesystem::path Folder;
    int32_t SavedMask = HashMask;
    void SetUp() override
    {
        InitConstantTables();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        Folder = std::filesystem::temp_directory_path() / ("talvoran-" + std::string(test->test_suite_name()) + "-" + test->name());
        std::filesystem::create_directories(Folder);
        LoadTestKeys(0x7FFFFFFF);
    }
    void TearDown() override
    {
        LoadRandomKeys(WriteFile("Zero.bin", ""));
        HashMask = SavedMask;
        std::filesystem::remove_all(Folder);
    }
    std::string WriteFile(const std::string& name, const std::string& bytes)
    {
        std::string path = (Folder / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }
    void LoadTestKeys(int32_t mask, int records = 781)
    {
        std::string bytes;
        for (int i = 0; i < records * 8; i++)
            bytes += static_cast<char>(TestKeyHalf(i / 8, i / 4 % 2) >> (8 * (i % 4)));
        HashMask = mask;
        LoadRandomKeys(WriteFile("Random.bin", bytes));
    }
};
