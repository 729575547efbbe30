// The bench list and its runner. Each position goes through the position
// command's decoding (which clears and seeds the table) and a root search
// (which clears the history), so every search starts from a clean state.
#include "tools/bench/Bench.h"

#include "board/Mapper.h"
#include "frontend/Decript.h"
#include "frontend/Interface.h"
#include "platform/Platform.h"
#include "search/TreeRoot.h"

#include <cstdio>
#include <limits>

// Openings, middle games with both kinds of castling, tactical shots,
// promotions, and endgames from bare pawns to rook and minor pieces.
static const char* const BenchPositions[] = {
    "startpos",
    "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "fen rnbqkb1r/pppp1ppp/4pn2/3P4/8/5N2/PPPQPPPP/RNB1KB1R w KQkq - 0 5",
    "fen r1bqkb1r/pp2pppp/2np1n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R w KQkq - 2 6",
    "fen r1bqkbnr/1ppp1ppp/p1n5/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 1 4",
    "fen r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP1BBPPP/R2QK2R w KQ - 0 8",
    "fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "fen r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1",
    "fen r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "fen rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "fen 2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1",
    "fen 5rk1/1ppb3p/p1pb4/6q1/3P1p1r/2P1R2P/PP1BQ1P1/5RKN w - - 0 1",
    "fen r1bq2rk/pp3pbp/2p1p1pQ/7P/3P4/2PB1N2/PP3PPR/2KR4 w - - 0 1",
    "fen 5k2/6pp/p1qN4/1p1p4/3P4/2PKP2Q/PP3r2/3R4 b - - 0 1",
    "fen 6k1/5ppp/8/8/8/8/1Q3PPP/6K1 b - - 0 1",
    "fen 8/7p/5k2/5p2/p1p2P2/Pr1pPK2/1P1R3P/8 b - - 0 1",
    "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "fen 8/k7/3p4/p2P1p2/P2P1P2/8/8/K7 w - - 0 1",
    "fen 1K1k4/1P6/8/8/8/8/r7/2R5 w - - 0 1",
    "fen 8/5pk1/6p1/1p1n3p/1P5P/4B1P1/5PK1/8 w - - 0 1",
    "fen 8/8/8/4k3/8/8/4P3/4K3 w - - 0 1",
};

int BenchPositionCount()
{
    return static_cast<int>(sizeof BenchPositions / sizeof BenchPositions[0]);
}

const char* BenchPosition(int index)
{
    return BenchPositions[index];
}

// Sets up one bench position and searches it; returns the best move text
// (with its leading blank), or an empty text when the position is refused.
// Adds the search's time, without the set-up, to milliseconds.
static std::string SearchBenchPosition(const std::string& words, int64_t& milliseconds)
{
    WordList list = SplitWords(words);
    if (DecodePosition(list, 0, static_cast<int>(list.size()) - 1) || !LastAccepted.Valid)
        return std::string();
    Position pos = BuildPosition(LastAccepted.Board, LastAccepted.Castling, LastAccepted.EnPassant,
                                 LastAccepted.Halfmoves, LastAccepted.Side);
    StopRequested = false;
    NoTimeLimit = false;
    RemainingTime = std::numeric_limits<int32_t>::max();
    int64_t start = MillisecondClock();
    std::string best = SearchRoot(pos);
    milliseconds += MillisecondClock() - start;
    return best;
}

BenchResult RunBench(int depth, std::ostream* out)
{
    return RunBench(depth, out, std::vector<std::string>(BenchPositions, BenchPositions + BenchPositionCount()));
}

BenchResult RunBench(int depth, std::ostream* out, const std::vector<std::string>& positions)
{
    LoadTablesOnce();
    const int32_t savedTime = RemainingTime;
    const bool savedStop = StopRequested, savedNoLimit = NoTimeLimit, savedInfo = InfoLinesOn;
    const int savedLimit = DepthLimit;
    DepthLimit = depth;
    InfoLinesOn = false;
    BenchResult result{0, 0};
    for (size_t i = 0; i < positions.size(); i++) {
        std::string best = SearchBenchPosition(positions[i], result.Milliseconds);
        double nodes = best.empty() ? 0 : NodeCount;
        result.Nodes += nodes;
        if (out != nullptr) {
            char line[96];
            std::snprintf(line, sizeof line, "position %2zu nodes %10.0f bestmove%s", i + 1, nodes,
                          best.empty() ? " (refused)" : best.c_str());
            *out << line << std::endl;
        }
    }
    RemainingTime = savedTime;
    StopRequested = savedStop, NoTimeLimit = savedNoLimit, InfoLinesOn = savedInfo;
    DepthLimit = savedLimit;
    return result;
}

std::string BenchSummary(const BenchResult& result)
{
    int64_t elapsed = result.Milliseconds > 0 ? result.Milliseconds : 1;
    char text[128];
    std::snprintf(text, sizeof text, "bench nodes %.0f time %lld ms nps %.0f", result.Nodes,
                  static_cast<long long>(result.Milliseconds), result.Nodes * 1000.0 / elapsed);
    return text;
}
