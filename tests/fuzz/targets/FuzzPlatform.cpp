// The platform interface over memory, for the in-process fuzz targets:
// standard input is a byte string that the target hands over, output is kept
// in a string, time is a counter, and ending the process throws ProcessEnded.
// Files are real, so the loaders read what the target wrote to disk.
#include "FuzzSupport.h"

#include "platform/Platform.h"

#include <sys/stat.h>

const char PathSeparator = '/';

namespace {

const uint8_t* InputBytes = nullptr;
size_t InputLength = 0;
size_t InputRead = 0;
std::string OutputText;
std::string Directory = ".";
int64_t ClockNow = 0;

}  // namespace

void SetFuzzInput(const uint8_t* data, size_t size)
{
    InputBytes = data;
    InputLength = size;
    InputRead = 0;
}

std::string& FuzzOutput()
{
    return OutputText;
}

void SetFuzzWorkingDirectory(const std::string& directory)
{
    Directory = directory;
}

void ResetFuzzClock()
{
    ClockNow = 0;
}

void StartPlatform() {}

// What is left of the input, or -1 once all of it has been read.
int WaitingInputBytes()
{
    size_t left = InputLength - InputRead;
    if (left == 0)
        return -1;
    return left > 1 << 20 ? 1 << 20 : static_cast<int>(left);
}

// The whole input is there from the start: no wait.
bool WaitForInput(int)
{
    return true;
}

// Serves the next bytes of the input, at most maximum of them.
int ReadInputBytes(char* buffer, int maximum)
{
    size_t left = InputLength - InputRead;
    size_t count = left < static_cast<size_t>(maximum) ? left : static_cast<size_t>(maximum);
    for (size_t i = 0; i < count; i++)
        buffer[i] = static_cast<char>(InputBytes[InputRead + i]);
    InputRead += count;
    return static_cast<int>(count);
}

// The rest of the input is dropped.
void IgnoreInput()
{
    InputRead = InputLength;
}

// Output is kept for the target to check; FuzzOutput clears it.
void WriteOutputBytes(const char* text, int length)
{
    if (length > 0)
        OutputText.append(text, static_cast<size_t>(length));
}

// Fixed texts: no run may depend on the hour.
std::string LocalTimeText()
{
    return "12:00:00";
}

std::string LocalDateText()
{
    return "01/01/00";
}

std::string WorkingDirectory()
{
    return Directory;
}

bool FileExists(const std::string& path)
{
    struct stat status{};
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// Notices go nowhere: the targets check the state they leave instead.
void ReportMissingFile(const std::string&) {}
void ReportProblem(const std::string&) {}

void AdviseLargePages(void*, size_t) {}

// Seven milliseconds pass at every look at the clock, so that searches see
// time go by (and write their once-a-second lines) without real waiting.
int64_t MillisecondClock()
{
    ClockNow += 7;
    return ClockNow;
}

// The target catches this where it started the engine.
[[noreturn]] void EndProcess()
{
    throw ProcessEnded{};
}
