// The static exchange test used to order captures at interior nodes.
#pragma once

#include "board/Position.h"

// True when the capture is worth trying early. first and last (inclusive)
// bound the node's captures in the move store, which count as second
// attackers. The board is touched during the call and restored.
bool IsGoodCapture(Position& pos, Move move, int first, int last);
