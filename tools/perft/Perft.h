// Perft: counts the leaves of the legal move tree of a position with the
// engine's own generators, PlayMove, legality and check tests and TakeBack,
// the way the search walks the tree. Shared by talvoran-perft and the tests.
#pragma once

#include "board/Position.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Deepest depth the move store can hold a whole path for.
constexpr int PerftMaxDepth = 16;

// One legal root move and the leaves below it.
struct RootMoveCount {
    Move RootMove;
    uint64_t Leaves;
};

// One line of an EPD perft suite: the FEN and its published (depth, count) pairs.
struct PerftCase {
    std::string Fen;
    std::vector<std::pair<int, uint64_t>> Counts;
};

// Builds the constant tables and, when the working directory holds
// Data/Random.bin, loads its keys under a default HashMask.
void PreparePerftTables();

// Sets pos to the position of a FEN (clock and move number optional) or of
// the word "startpos", through the front end's decoding and BuildPosition.
// False when the text is refused. Rewrites the game position's setup fields.
bool PositionFromFen(const std::string& fen, Position& pos);

// Leaves of the legal tree of the depth (at least 1) below pos, whose moves
// go into the move store from first upwards. inCheck: Side is in check.
uint64_t CountLeaves(Position& pos, int depth, bool inCheck, int first);

// Perft of the root position to depth (0 gives 1), with the root's in-check
// flag from IsSquareAttacked. pos is back as it was on return.
uint64_t Perft(Position& pos, int depth);

// As Perft, and fills lines with every legal root move and its leaf count.
uint64_t DividePerft(Position& pos, int depth, std::vector<RootMoveCount>& lines);

// The move in UCI text, such as "e2e4" or "e7e8q".
std::string MoveText(const Move& move);

// Reads an EPD suite of lines "FEN ;D1 n1 ;D2 n2 ...". Empty when the file
// cannot be read.
std::vector<PerftCase> ReadPerftSuite(const std::string& path);
