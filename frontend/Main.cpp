// The process entry: the platform and the protocol log are set up, then the
// idle loop serves the interface until quit (or the end of its input).
#include "frontend/Channel.h"
#include "frontend/Interface.h"
#include "platform/Platform.h"

// Takes no arguments and reads no environment; never returns.
int main()
{
    StartPlatform();
    OpenLog();
    RunEngine();
}
