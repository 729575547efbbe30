// The bench count is the engine's signature: two runs in one process must
// agree, which they only do when every search starts from a clean state.
#include "../search/SearchTestSupport.h"

#include "tools/bench/Bench.h"

using Bench = SearchTest;

TEST_F(Bench, SignatureRepeatsWithinOneProcess)
{
    PipedInput quiet;
    std::ostringstream lines;
    BenchResult first = RunBench(5, &lines);
    BenchResult second = RunBench(5, nullptr);
    EXPECT_EQ(first.Nodes, second.Nodes);
    EXPECT_GT(first.Nodes, 100.0 * BenchPositionCount());
    const std::string text = lines.str();
    EXPECT_EQ(text.find("refused"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), BenchPositionCount());
    EXPECT_EQ(DepthLimit, MaxDepth);
    EXPECT_TRUE(InfoLinesOn);
}
