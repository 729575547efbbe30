// The static exchange test used to order captures at interior nodes.
#pragma once

#include "board/Position.h"

// True when the capture is worth trying early. first and last (inclusive)
// bound the node's captures in the move store, which count as second
// attackers. Reads the position only.
bool IsGoodCapture(const Position& pos, Move move, int first, int last);
