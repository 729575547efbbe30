// The line end of the engine's output: a lone carriage return as the protocol
// has it, or a line feed for match tools and GUIs that split on line feeds.
#include "platform/Platform.h"

#ifdef TALVORAN_LINE_FEED
const char LineEnd = '\n';
#else
const char LineEnd = '\r';
#endif
