// Helpers for the front-end tests: standard output or error caught in a file,
// standard input fed from a pipe, and a fixture that loads the shipped data
// and puts the front end's global state back afterwards.
#pragma once

#include "board/DataFiles.h"
#include "frontend/Channel.h"
#include "frontend/Decript.h"
#include "frontend/Interface.h"
#include "search/HashTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

inline std::string ShippedData(const std::string& name)
{
    return std::string(TALVORAN_SOURCE_DIR) + "/Data/" + name;
}

// Sends a standard descriptor (1 or 2) to a temporary file while it lives.
class CapturedStream {
public:
    explicit CapturedStream(int descriptor) : Descriptor(descriptor)
    {
        std::fflush(nullptr);
        File = std::tmpfile();
        Saved = dup(descriptor);
        dup2(fileno(File), descriptor);
    }
    ~CapturedStream()
    {
        dup2(Saved, Descriptor);
        close(Saved);
        std::fclose(File);
    }
    std::string Text() const
    {
        std::string text;
        char chunk[4096];
        ssize_t count;
        for (off_t at = 0; (count = pread(fileno(File), chunk, sizeof chunk, at)) > 0; at += count)
            text.append(chunk, static_cast<size_t>(count));
        return text;
    }

private:
    int Descriptor;
    int Saved;
    std::FILE* File;
};

// Feeds standard input from a pipe while it lives; empties InputBuffer after.
class PipedInput {
public:
    PipedInput()
    {
        int ends[2];
        if (pipe(ends) != 0)
            ADD_FAILURE() << "no pipe";
        Saved = dup(0);
        dup2(ends[0], 0);
        close(ends[0]);
        WriteEnd = ends[1];
    }
    ~PipedInput()
    {
        Close();
        dup2(Saved, 0);
        close(Saved);
        InputBuffer.clear();
    }
    void Send(const std::string& text) { EXPECT_EQ(write(WriteEnd, text.data(), text.size()), ssize_t(text.size())); }
    void Close()
    {
        if (WriteEnd >= 0)
            close(WriteEnd);
        WriteEnd = -1;
    }

private:
    int Saved;
    int WriteEnd;
};

inline const char* const PieceFiles[7] = {"", "Pawn.txt", "Knight.txt", "Bishop.txt", "Rook.txt", "Queen.txt", "King.txt"};

// Tables loaded and the shipped keys and piece-square values loaded again
// (other tests change them). Afterwards keys and values are zero again, the
// setup fields, the last accepted position, RemainingTime and the search flags
// are put back, and the hash table is cleared.
class FrontendStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadTablesOnce();
        LoadDataTables(ShippedData);
        Saved = State{{}, {SetupCastling[0], SetupCastling[1]}, SetupEnPassant, SetupHalfmoves, SetupSide,
                      LastAccepted, RemainingTime, StopRequested, NoTimeLimit};
        std::memcpy(Saved.Board, SetupBoard, sizeof SetupBoard);
    }
    void TearDown() override
    {
        std::memcpy(SetupBoard, Saved.Board, sizeof SetupBoard);
        SetupCastling[0] = Saved.Castling[0], SetupCastling[1] = Saved.Castling[1];
        SetupEnPassant = Saved.EnPassant, SetupHalfmoves = Saved.Halfmoves, SetupSide = Saved.Side;
        LastAccepted = Saved.Accepted, RemainingTime = Saved.Time;
        StopRequested = Saved.Stop, NoTimeLimit = Saved.NoLimit;
        ClearHashTable();
        LoadDataTables([](const std::string&) { return std::string("/dev/null"); });
    }

    // Keys and piece-square values from the files that path names.
    template <typename PathOf>
    static void LoadDataTables(PathOf path)
    {
        LoadRandomKeys(path("Random.bin"));
        for (int kind = Pawn; kind <= King; kind++)
            LoadPieceSquare(path(PieceFiles[kind]), kind);
    }

    // A command's words after its command word, as the dispatcher passes them.
    static bool Position(const std::string& text)
    {
        WordList words = SplitWords("position " + text);
        return DecodePosition(words, 1, static_cast<int>(words.size()) - 1);
    }
    static void Go(const std::string& text)
    {
        WordList words = SplitWords("go " + text);
        DecodeGo(words, 1, static_cast<int>(words.size()) - 1);
    }

private:
    struct State {
        uint8_t Board[64], Castling[2], EnPassant, Halfmoves, Side;
        AcceptedSetup Accepted;
        int32_t Time;
        bool Stop, NoLimit;
    } Saved;
};
