// The fuzz targets' shared pieces: the temporary data folder, the loading of
// the engine's tables, the reset of its mutable state between inputs and the
// invariant checks that abort with a message when they fail.
#include "FuzzSupport.h"

#include "board/Consistency.h"
#include "board/Mapper.h"
#include "frontend/Channel.h"
#include "frontend/Decript.h"
#include "frontend/Interface.h"
#include "search/HashTable.h"
#include "search/TreeRoot.h"
#include "tools/perft/Perft.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::string Folder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

}  // namespace

// Copies the shipped data files beside a Hashtable.ini of our own, so that
// each position command clears a small table.
const std::string& FuzzFolder(int hashBits)
{
    if (!Folder.empty())
        return Folder;
    char pattern[] = "/tmp/talvoran-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        FuzzFailure("no temporary folder");
    Folder = pattern;
    std::atexit(RemoveFolder);
    std::filesystem::path data = std::filesystem::path(Folder) / "Data";
    std::filesystem::create_directories(data);
    for (const char* name : {"Random.bin", "Pawn.txt", "Knight.txt", "Bishop.txt", "Rook.txt", "Queen.txt", "King.txt"})
        std::filesystem::copy_file(std::filesystem::path(TALVORAN_SOURCE_DIR) / "Data" / name, data / name);
    std::ofstream(data / "Hashtable.ini") << hashBits << "\n";
    SetFuzzWorkingDirectory(Folder);
    return Folder;
}

void PrepareFuzzEngine(int hashBits)
{
    FuzzFolder(hashBits);
    LoadTablesOnce();
    InfoLinesOn = true;
}

void ResetEngineState(int depthLimit)
{
    InputBuffer.clear();
    std::memset(SetupBoard, 0, sizeof SetupBoard);
    SetupCastling[0] = SetupCastling[1] = 0;
    SetupEnPassant = SetupHalfmoves = SetupSide = 0;
    LastAccepted = AcceptedSetup{};
    RemainingTime = 0;
    StopRequested = NoTimeLimit = false;
    ClearHashTable();
    FuzzOutput().clear();
    ResetFuzzClock();
    DepthLimit = depthLimit;
}

void FuzzFailure(const std::string& message)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

void CheckAcceptedSetup()
{
    if (!LastAccepted.Valid)
        return;
    const AcceptedSetup& s = LastAccepted;
    if (!IsValidSetup(s.Board, s.Castling, s.EnPassant, s.Halfmoves, s.Side))
        FuzzFailure("the accepted position fails the setup check");
    Position pos = BuildPosition(s.Board, s.Castling, s.EnPassant, s.Halfmoves, s.Side);
    std::string problem;
    if (!PositionIsConsistent(pos, &problem))
        FuzzFailure("the accepted position builds inconsistently: " + problem);
}

std::vector<std::string> LegalMoveTexts(Position& pos)
{
    std::vector<RootMoveCount> lines;
    DividePerft(pos, 1, lines);
    std::vector<std::string> texts;
    for (const RootMoveCount& line : lines)
        texts.push_back(MoveText(line.RootMove));
    return texts;
}
