// The data files shipped in Data/: the keys are exactly what the key maker
// makes, and no material a game can reach overflows a 16-bit score.
#include "FrontendTestSupport.h"

#include "tools/makerandom/RandomKeyMaker.h"

#include <algorithm>
#include <fstream>
#include <iterator>

TEST(ShippedData, RandomKeysAreTheGeneratorsOutput)
{
    std::ifstream file(ShippedData("Random.bin"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.size(), 781u * 8);
    EXPECT_TRUE(bytes == RandomKeyFileBytes());
}

using ShippedTables = FrontendStateTest;

TEST_F(ShippedTables, GreatestMaterialStaysWithinAScore)
{
    auto greatest = [](int kind) { return *std::max_element(PieceSquare[kind], PieceSquare[kind] + 128); };
    for (int kind = Pawn; kind <= King; kind++)
        EXPECT_GE(*std::min_element(PieceSquare[kind], PieceSquare[kind] + 128), 0) << PieceFiles[kind];
    int most = 9 * greatest(Queen) + 2 * (greatest(Rook) + greatest(Bishop) + greatest(Knight)) + greatest(King);
    EXPECT_LT(most, 32767);
}
