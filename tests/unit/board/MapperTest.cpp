// The setup check, rule by rule, and the position built from a setup.
#include "BoardTestSupport.h"

namespace {

TEST(MapperTest, SetupRules)
{
    InitConstantTables();
    const struct { const char* Fen; bool Valid; } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", true},
        {"P3k3/8/8/8/8/8/8/4K3 w", false},  // pawns on the last ranks
        {"4k3/8/8/8/8/8/8/4K2p w", false},
        {"4k3/8/8/8/8/8/8/K3K3 w", false},  // king counts
        {"8/8/8/8/8/8/8/4K3 w", false},
        {"4k3/8/8/8/7P/8/PPPPPPPP/4K3 w", false},  // nine pawns, sixteen pieces, fifteen
        {"4k3/8/8/8/8/NNNNNNNN/PPPPPPPP/4K3 w", false},
        {"4k3/8/8/8/8/NNNNNNN1/PPPPPPPP/4K3 w", true},
        {"4k3/8/8/8/8/8/8/R3K3 w K", false},  // rights need king and rook at home
        {"4k3/8/8/8/8/8/8/R3K3 w Q", true},
        {"4k3/8/8/8/8/8/8/R2K3R w Q", false},
        {"r4k2/8/8/8/8/8/8/4K3 w q", false},
        {"r3k3/8/8/8/8/8/8/3K4 w q", true},
        {"4k3/8/8/4p3/8/8/8/4K3 w - e6", true},  // en passant behind the pawn that passed
        {"4k3/8/8/4p3/8/8/8/4K3 b - e6", false},
        {"4k3/8/8/8/8/8/8/4K3 w - e6", false},
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3", true},
        {"4k3/8/8/8/8/8/8/4K2r w", true},  // only the side to move may be in check
        {"4k3/8/8/8/8/8/8/4K2r b", false},
        {"8/8/8/8/8/8/3k4/4K3 w", false},
        {"4k3/3P4/8/8/8/8/8/4K3 w", false},
        {"4k3/4P3/8/8/8/8/8/4K3 w", true},
    };
    for (const auto& [fen, valid] : cases)
        EXPECT_EQ(IsValid(SetupFromFen(fen)), valid) << fen;
    BoardSetup setup = SetupFromFen("4k3/8/8/8/8/8/8/4K3 w");
    for (int code : {7, 8, 15, 16}) {
        BoardSetup bad = setup;
        bad.Board[30] = static_cast<uint8_t>(code);
        EXPECT_FALSE(IsValid(bad)) << code;
    }
    setup.Halfmoves = 100;
    EXPECT_TRUE(IsValid(setup));
    setup.Halfmoves = 101;
    EXPECT_FALSE(IsValid(setup));
}

class MapperKeyTest : public BoardTest {};

TEST_F(MapperKeyTest, BuildPositionOfTheStart)
{
    BoardSetup start = SetupFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    Position pos = Build(start);
    EXPECT_TRUE(pos.ListEnd[White] == 30 && pos.ListEnd[Black] == 62);
    EXPECT_TRUE(pos.MaterialTally[White] == 180 && pos.MaterialTally[Black] == 180);
    EXPECT_EQ(pos.EpSquare, NoSquare);
    EXPECT_EQ(pos.Key, KeyOf(start));
    EXPECT_EQ(pos.PawnMask[White], (Bits64{0, 0x00FF0000}));
    EXPECT_EQ(pos.PawnMask[Black], (Bits64{0x0000FF00, 0}));
    // king first, then board order from a8: rank 2 before rank 1
    const std::string white = "e1a2b2c2d2e2f2g2h2a1b1c1d1f1g1h1", black = "e8a8b8c8d8f8g8h8a7b7c7d7e7f7g7h7";
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(pos.PieceList[2 * i + 1], Sq(white.substr(2 * i, 2))) << i;
        EXPECT_EQ(pos.PieceList[32 + 2 * i + 1], Sq(black.substr(2 * i, 2))) << i;
        EXPECT_EQ(pos.Board[Sq(black.substr(2 * i, 2)) | 8], 32 + 2 * i);
    }
    EXPECT_EQ(pos.PieceList[18], Rook);
    EXPECT_EQ(Build("4k3/8/8/4p3/8/8/8/4K3 w - e6").EpSquare, 0x24);
}

}  // namespace
