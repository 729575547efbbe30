// The shared move store: the moves of every node on the current search path,
// stacked one node above the other, each with its ordering score. The arrays
// live for the whole run; only the stretch of the node that wrote them counts.
#include "movegen/MoveStore.h"

Move MoveList[MoveStoreRoom];
int32_t MoveScores[MoveStoreRoom];
