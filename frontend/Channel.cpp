// The console channel and the protocol log. Owns InputBuffer (bytes read and
// not yet taken as lines) and the open log spynull.txt, which gets one line per
// event: time of day, a 12-character label, the payload, CR LF.
#include "frontend/Channel.h"

#include "platform/Platform.h"

#include <cstdio>

constexpr int ReadChunk = 4095;  // bytes asked for by one read

std::string InputBuffer;

static std::FILE* LogFile = nullptr;

// Creates (truncates) the log in the working directory, keeps it open for the
// life of the process and writes its START line with the date.
void OpenLog()
{
    std::string path = WorkingDirectory() + PathSeparator + "spynull.txt";
    LogFile = std::fopen(path.c_str(), "wb");
    LogLine(StartLabel, LocalDateText());
}

// Appends one line to the log and flushes it, so that the log is complete
// whenever the process ends. Does nothing while no log is open.
void LogLine(const char* label, const std::string& payload)
{
    if (LogFile == nullptr)
        return;
    std::string line = LocalTimeText() + label + payload + "\r\n";
    std::fwrite(line.data(), 1, line.size(), LogFile);
    std::fflush(LogFile);
}

// One read of the bytes waiting on standard input, at most ReadChunk of them,
// appended to InputBuffer. Returns false when nothing was waiting or the read
// failed.
static bool ReadWaitingChunk()
{
    int waiting = WaitingInputBytes();
    if (waiting <= 0)
        return false;
    char chunk[ReadChunk + 1];
    int count = ReadInputBytes(chunk, waiting < ReadChunk ? waiting : ReadChunk);
    if (count <= 0)
        return false;
    InputBuffer.append(chunk, static_cast<size_t>(count));
    return true;
}

static bool HoldsCompleteLine()
{
    return InputBuffer.find_first_of("\r\n") != std::string::npos;
}

// Moves waiting bytes into InputBuffer (one read); true when a line can be
// taken. The search polls here, and a piece of a command (a pipe may split a
// write) must not be taken as a line of its own: it waits for the rest,
// however long that takes, unless the input has ended behind it.
bool ReadInput()
{
    ReadWaitingChunk();
    if (HoldsCompleteLine())
        return true;
    return !InputBuffer.empty() && WaitingInputBytes() < 0;
}

// Waits for input unless a complete line is already buffered, then reads what
// has come. Part of a line that has just come is not taken yet: its rest is
// most likely on its way, and the next wait ends when it arrives.
bool AwaitInput(int milliseconds)
{
    if (HoldsCompleteLine())
        return true;
    size_t before = InputBuffer.size();
    WaitForInput(milliseconds);
    ReadWaitingChunk();
    if (InputBuffer.size() != before && !HoldsCompleteLine())
        return false;
    return !InputBuffer.empty();
}

// True once standard input has ended and every byte of it has been taken.
bool InputHasEnded()
{
    return InputBuffer.empty() && WaitingInputBytes() < 0;
}

// Cuts the first line off the buffer: the text before its first CR or LF,
// which is removed as well (a CR LF pair leaves an empty line behind).
std::string TakeLine(std::string& buffer)
{
    size_t end = buffer.find_first_of("\r\n");
    if (end == std::string::npos) {
        std::string line;
        line.swap(buffer);
        return line;
    }
    std::string line = buffer.substr(0, end);
    buffer.erase(0, end + 1);
    return line;
}

// The next command line of InputBuffer. A line that is still arriving (longer
// than one read) is completed first from the bytes already waiting; text that
// has no terminator after that is the whole line.
std::string TakeCommandLine()
{
    while (!HoldsCompleteLine() && ReadWaitingChunk()) {
    }
    return TakeLine(InputBuffer);
}

// Writes the text unchanged (the caller adds any line end); logs it as OUT
// when log is set. The search writes its info lines unlogged.
void WriteOutput(const std::string& text, bool log)
{
    WriteOutputBytes(text.data(), static_cast<int>(text.size()));
    if (log)
        LogLine(OutLabel, text);
}

// One reply of the dispatcher: the text and the line end, logged.
void WriteReply(const std::string& text)
{
    std::string line = text;
    line += LineEnd;
    WriteOutput(line, true);
}
