// The root search as the go command runs it: move text, the four "info"
// line formats, mate scores, the stop rule, pondering and stopping, and the
// answer when no move was scored or none is legal.
#include "SearchTestSupport.h"

#include <cmath>
#include <regex>

namespace {

const std::regex StartLine(R"(info depth (\d+) seldepth \d+)");
const std::regex BestLine(
    R"(info depth \d+ seldepth \d+ score cp -?\d+ nodes \d+ time [1-9]\d* nps \d+ pv [a-h][1-8][a-h][1-8][nbrq]?( [a-h][1-8][a-h][1-8][nbrq]?)*)");
const std::regex FinalLine(R"(info depth (\d+) seldepth \d+ nodes (\d+) time ([1-9]\d*) nps (\d+))");

int CountMatches(const std::vector<std::string>& lines, const std::regex& pattern)
{
    int count = 0;
    for (const std::string& line : lines)
        count += std::regex_match(line, pattern);
    return count;
}

}  // namespace

TEST_F(SearchTest, MoveTextSkipsOrStopsAtEmptyEntries)
{
    const Move moves[] = {MoveOf("e2", "e4", Pawn), Move{}, MoveOf("e1", "g1", King, 0, FlagKingSideCastle),
                          MoveOf("e7", "e8", Pawn, 0, Knight), MoveOf("b7", "a8", Pawn, Rook, Queen),
                          MoveOf("h1", "a8", Queen)};
    EXPECT_EQ(MovesToText(moves, 0, 0), " e2e4");
    EXPECT_EQ(MovesToText(moves, 0, 5), " e2e4 e1g1 e7e8n b7a8q h1a8");
    EXPECT_EQ(MovesToText(moves, 1, 1), "");
    EXPECT_EQ(MovesToText(moves, 0, 5, true), " e2e4");
    EXPECT_EQ(MovesToText(moves, 2, 5, true), " e1g1 e7e8n b7a8q h1a8");
}

TEST_F(SearchTest, InfoLinesHaveTheirExactFormats)
{
    DepthLimit = 3;
    RemainingTime = std::numeric_limits<int32_t>::max();
    std::vector<std::string> lines;
    std::string best = RunRoot("startpos", "", lines);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "info depth 1 seldepth 1");
    EXPECT_EQ(CountMatches(lines, StartLine), 3);
    EXPECT_EQ(CountMatches(lines, StartLine) + CountMatches(lines, BestLine) + 1, int(lines.size()));
    std::smatch final;
    ASSERT_TRUE(std::regex_match(lines.back(), final, FinalLine)) << lines.back();
    EXPECT_EQ(final[1], "3");
    double nodes = std::stod(final[2]), elapsed = std::stod(final[3]);
    EXPECT_EQ(std::stod(final[4]), std::nearbyint(nodes / elapsed * 1000));
    const std::string& lastBest = lines[lines.size() - 2];
    EXPECT_EQ(lastBest.substr(lastBest.find(" pv ") + 3, 5), best);
}

TEST_F(SearchTest, MateInOneIsReportedInCentipawnUnits)
{
    RemainingTime = 0;
    std::vector<std::string> lines;
    EXPECT_EQ(RunRoot("fen 6k1/5ppp/8/8/8/8/5PPP/1R4K1 w - - 0 1", "", lines), " b1b8");
    EXPECT_EQ(CountMatches(lines, std::regex(".* score cp 9999 .* pv b1b8")), 1);
}

TEST_F(SearchTest, StopRuleEndsIterations)
{
    std::vector<std::string> lines;
    for (int32_t remaining : {0, 63}) {  // a budget of 0 ms: every elapsed time is at least 1
        RemainingTime = remaining;
        RunRoot("startpos", "", lines);
        EXPECT_EQ(CountMatches(lines, StartLine), 1) << remaining;
    }
    RemainingTime = std::numeric_limits<int32_t>::max();
    DepthLimit = 4;
    RunRoot("startpos", "", lines);
    EXPECT_EQ(CountMatches(lines, StartLine), 4);
    EXPECT_EQ(RunRoot("fen 7k/8/8/8/8/8/6q1/7K w - - 0 1", "", lines), " h1g2") << "the only legal move";
    EXPECT_EQ(CountMatches(lines, StartLine), 1);
}

// After ponderhit with no time left, the iteration then running stops
// within 4096 nodes instead of running to its end; a search without time
// limit never stops on time. Timing-free: an elapsed time is at least 1 ms.
TEST_F(SearchTest, HardTimeLimitStopsTheIterationItFallsIn)
{
    std::vector<std::string> lines;
    DepthLimit = 6;
    RemainingTime = std::numeric_limits<int32_t>::max();
    RunRoot("startpos", "", lines);
    const double wholeDepthSix = NodeCount;

    RemainingTime = 0;
    NoTimeLimit = true;
    EXPECT_NE(RunRoot("startpos", "\n\n\n\n\nponderhit\n", lines), "");
    EXPECT_EQ(CountMatches(lines, StartLine), 6);
    EXPECT_LT(NodeCount, wholeDepthSix);
    EXPECT_EQ(StopAfterMs, 0);

    StopRequested = false;
    NoTimeLimit = true;
    StopIfOutOfTime();
    EXPECT_FALSE(StopRequested) << "pondering and infinite searches have no time limit";
    NoTimeLimit = false;
    StopAfterMs = -1;
    StopIfOutOfTime();
    EXPECT_FALSE(StopRequested) << "not armed before the first iteration ends";
}

TEST_F(SearchTest, PonderingRunsUntilPonderhitOrStop)
{
    std::vector<std::string> lines;
    RemainingTime = 0;
    NoTimeLimit = true;
    RunRoot("startpos", "isready\nisready\nstop\n", lines);  // one line per iteration's poll
    EXPECT_EQ(CountMatches(lines, std::regex("readyok")), 2);
    EXPECT_EQ(CountMatches(lines, StartLine), 3);
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex("info depth 3 .* nodes .*"))) << lines.back();

    NoTimeLimit = true;
    RunRoot("startpos", "\n\nponderhit\n", lines);
    EXPECT_FALSE(NoTimeLimit);
    EXPECT_EQ(CountMatches(lines, StartLine), 3) << "the rule applies from the end of the ponderhit iteration";
}

TEST_F(SearchTest, AnswerIsAlwaysLegalOrNone)
{
    std::vector<std::string> lines;
    RemainingTime = 0;
    // The first root move generated, Bxd3, is pinned; stopped before any move was scored.
    EXPECT_EQ(RunRoot("fen 4r1k1/8/8/8/8/3p4/4B3/4K3 w - - 0 1", "stop\n", lines), " e1d1");
    EXPECT_EQ(RunRoot("fen 6k1/5ppp/8/8/8/8/5PPP/1r4K1 w - - 0 1", "", lines), " 0000") << "mated";
    NoTimeLimit = true;
    EXPECT_EQ(RunRoot("fen k7/8/8/8/8/8/2q5/K7 w - - 0 1", "isready\nstop\n", lines), " 0000") << "stalemate";
    EXPECT_EQ(CountMatches(lines, StartLine), 1) << "no iterations spun while waiting for the stop";
    EXPECT_EQ(CountMatches(lines, std::regex("readyok")), 1);
}

// What a search stored is gone after the next position command, with only the
// game positions seeded: in the shipped table, whose clear zeroes the entries
// listed as filled, and in one of 2^6 entries, whose list overflows at once.
TEST_F(SearchTest, ThePositionCommandEmptiesWhatTheSearchStored)
{
    std::string small = "/tmp/talvoran-hash6-" + std::to_string(getpid());
    std::FILE* file = std::fopen(small.c_str(), "wb");
    std::fputs("6", file);
    std::fclose(file);
    std::vector<std::string> lines;
    for (const std::string& table : {ShippedData("Hashtable.ini"), small}) {
        CreateHashTable(table);
        LoadRandomKeys(ShippedData("Random.bin"));  // keys are masked to the table
        DepthLimit = 5;
        RemainingTime = std::numeric_limits<int32_t>::max();
        RunRoot("startpos moves e2e4 e7e5", "", lines);
        auto filled = [] {
            const HashEntry hole{};
            int count = 0;
            for (int32_t i = 0; i <= HashMask; i++)
                count += std::memcmp(&HashTable[i], &hole, sizeof(HashEntry)) != 0;
            return count;
        };
        EXPECT_GT(filled(), HashMask < 64 ? 32 : 1000) << table;
        Setup("startpos moves e2e4 e7e5 g1f3 b8c6");
        int seeded = 0;
        for (int32_t i = 0; i <= HashMask; i++)
            seeded += HashTable[i].Depth == GameDepth && HashTable[i].Bound == Exact;
        EXPECT_EQ(filled(), seeded) << table;
        EXPECT_TRUE(seeded >= 1 && seeded <= 3) << table;
    }
    std::remove(small.c_str());
    CreateHashTable(ShippedData("Hashtable.ini"));
    LoadRandomKeys(ShippedData("Random.bin"));
}

// A stop cuts short every node on the path, whose results then rest on the
// 0 of the stopped children: none may reach the table. So a go after a
// stopped infinite search, with no position between, answers as after a
// completed search to the stopped search's last complete depth. The eight
// blank lines go to the polls of depths 1 to 7 and one inside depth 6; the
// stop comes at the first poll inside depth 7, in its first root move.
TEST_F(SearchTest, AStoppedSearchStoresNoGuesses)
{
    const std::string position = "fen r1bq1rk1/pp2bppp/4pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 1";
    const std::regex clock(" time \\d+ nps \\d+");
    auto searchToDepthSix = [&](std::vector<std::string>& lines, bool again) {
        DepthLimit = 6;
        RemainingTime = std::numeric_limits<int32_t>::max();
        again ? SearchAgain("", lines) : RunRoot(position, "", lines);
        for (std::string& line : lines)
            line = std::regex_replace(line, clock, "");
    };
    std::vector<std::string> stopped, afterStop, completed, afterComplete;
    NoTimeLimit = true;
    RunRoot(position, std::string(8, '\n') + "stop\n", stopped);
    NoTimeLimit = false;
    const double stoppedNodes = NodeCount;
    searchToDepthSix(afterStop, true);
    searchToDepthSix(completed, false);
    ASSERT_EQ(CountMatches(stopped, StartLine), 7);
    // a stop at the start of depth 7 counts the one root move begun
    ASSERT_GT(stoppedNodes, NodeCount + 1) << "the stop came at the start of depth 7";
    ASSERT_EQ(CountMatches(stopped, std::regex("info depth 7 .* pv .*")), 0) << "not in the first root move";
    searchToDepthSix(afterComplete, true);
    EXPECT_EQ(afterStop, afterComplete);
}
