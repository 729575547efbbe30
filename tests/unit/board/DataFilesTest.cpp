// The data-file loaders (number syntax, mirroring, short and missing files,
// key masking) and ComputeKey's entries for side, rights, en passant, pieces.
#include "BoardTestSupport.h"

namespace {

class DataFilesTest : public BoardTest {
protected:
    void TearDown() override
    {
        LoadPieceSquare(WriteFile("Empty.txt", ""), Pawn);  // every pawn value back to 0
        BoardTest::TearDown();
    }
};

TEST_F(DataFilesTest, PieceSquareFiles)
{
    std::string text = "12,-5 x65535\t007\n";  // the first byte is a digit
    for (int n = 4; n < 128; n++)
        text += std::to_string(n * 3) + (n % 16 == 15 ? "\n" : " ");
    LoadPieceSquare(WriteFile("Pawn.txt", text + "999\n"), Pawn);
    const int values[][2] = {{0, 12}, {1, 5}, {2, -1}, {3, 7}, {127, 381}};  // no 129th number
    for (const auto& [n, value] : values)
        EXPECT_EQ(PieceSquare[Pawn][n], value) << n;
    EXPECT_EQ(PieceSquare[6 + Pawn][0x7F], 45);  // h8's endgame value is black's on h1
    for (int n = 0; n < 128; n++)
        EXPECT_EQ(PieceSquare[6 + Pawn][(7 - n / 16) * 16 + n % 16], PieceSquare[Pawn][n]) << n;

    LoadPieceSquare(WriteFile("Pawn.txt", "70000 2 3 4"), Pawn);  // short, ends inside a number
    EXPECT_EQ(PieceSquare[Pawn][0], 70000 - 65536);
    EXPECT_EQ(PieceSquare[6 + Pawn][0x73], 4);
    EXPECT_EQ(PieceSquare[Pawn][4], 0);
    EXPECT_EQ(PieceSquare[6 + Pawn][0x7F], 0);
    LoadPieceSquare((Folder / "Missing.txt").string(), Pawn);
    EXPECT_EQ(PieceSquare[Pawn][3], 4);
}

TEST_F(DataFilesTest, RandomKeysFile)
{
    LoadTestKeys(0xFFF);
    for (int i = 0; i < 781; i++) {
        ASSERT_EQ(RandomKeys[i].Lo, static_cast<int32_t>(TestKeyHalf(i, 0) & 0xFFF)) << i;
        ASSERT_EQ(RandomKeys[i].Hi, static_cast<int32_t>(TestKeyHalf(i, 1))) << i;
    }
    EXPECT_EQ(RandomKeys[781], (Bits64{0, 0}));
    Bits64 key = KeyOf(SetupFromFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3"));
    EXPECT_TRUE(key.Lo >= 0 && key.Lo <= 0xFFF);

    LoadTestKeys(-1, 10);
    EXPECT_EQ(RandomKeys[9].Lo, static_cast<int32_t>(TestKeyHalf(9, 0)));
    EXPECT_EQ(RandomKeys[10], (Bits64{0, 0}));
    EXPECT_EQ(RandomKeys[780], (Bits64{0, 0}));
    LoadRandomKeys((Folder / "Missing.bin").string());
    EXPECT_EQ(RandomKeys[9].Lo, static_cast<int32_t>(TestKeyHalf(9, 0)));
}

TEST_F(DataFilesTest, ComputeKeyEntries)
{
    auto plus = [](Bits64 key, int i) { return Bits64{key.Lo ^ RandomKeys[i].Lo, key.Hi ^ RandomKeys[i].Hi}; };
    BoardSetup setup = SetupFromFen("r3k3/8/8/8/8/8/8/4K3 w");
    Bits64 plain = plus(plus(plus(Bits64{0, 0}, 4 * 6 + 48 + 5), 0x74 * 6 + 5), 48 + 3);  // e8, e1, a8 rook
    EXPECT_EQ(KeyOf(setup), plain);
    const struct { int Side, WhiteRights, BlackRights, EnPassant, Entry; } changes[] = {
        {Black, 0, 0, 64, SideKey}, {White, 0, 1, 64, 770}, {White, 2, 0, 64, 771}, {White, 0, 0, 20, 777}};
    for (const auto& change : changes) {
        BoardSetup changed = setup;
        changed.Side = change.Side;
        changed.Castling[White] = static_cast<uint8_t>(change.WhiteRights);
        changed.Castling[Black] = static_cast<uint8_t>(change.BlackRights);
        changed.EnPassant = change.EnPassant;
        EXPECT_EQ(KeyOf(changed), plus(plain, change.Entry)) << change.Entry;
    }
}

}  // namespace
