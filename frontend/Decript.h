// Decoding of the "position" and "go" commands: the setup fields that hold the
// game position between commands, FEN and move-text decoding, and the clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The game position in setup form (a8 = 0 ... h1 = 63).
extern uint8_t SetupBoard[64];
extern uint8_t SetupCastling[2];
extern uint8_t SetupEnPassant;  // 64 = none
extern uint8_t SetupHalfmoves;
extern uint8_t SetupSide;

// The last position that a position command accepted, for go.
struct AcceptedSetup {
    bool Valid;
    uint8_t Board[64];
    uint8_t Castling[2];
    uint8_t EnPassant;
    uint8_t Halfmoves;
    uint8_t Side;
};
extern AcceptedSetup LastAccepted;

extern int32_t RemainingTime;  // side to move's clock in ms, from the last go that gave it

using WordList = std::vector<std::string>;

// Decodes the words first..last after "position"; true when rejected.
bool DecodePosition(const WordList& words, int first, int last);

void SetStartPosition();

// k comes in on "fen" and goes out on the full-move word; true when rejected.
bool DecodeFen(const WordList& words, int& k, int last);

bool IsPlacement(const std::string& word);

// Applies one move text to the setup fields, or nothing when it cannot be applied.
void PlayMoveText(const std::string& word);

// Reads the words first..last after "go": sets NoTimeLimit and RemainingTime.
void DecodeGo(const WordList& words, int first, int last);
