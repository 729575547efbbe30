// The Windows side of the platform interface: the standard handles, polling of
// standard input without blocking (anonymous pipe, redirected file or console),
// raw output, the local time in the user's formats, files, the missing-file
// message box and a monotonic clock.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <mmsystem.h>

#include "platform/Platform.h"

#include <climits>
#include <cstdio>

const char PathSeparator = '\\';

namespace {

// What standard input turned out to be; fixed by StartPlatform.
enum class InputKind { Unknown, Pipe, DiskFile, Console, OtherDevice };

HANDLE InputHandle = INVALID_HANDLE_VALUE;
HANDLE OutputHandle = INVALID_HANDLE_VALUE;
InputKind Input = InputKind::Unknown;

constexpr DWORD InputWaitStep = 1;  // milliseconds between two peeks of a waiting engine

// Console events looked at by one poll; a typed line is far shorter.
constexpr int ConsoleEventLimit = 4096;
INPUT_RECORD ConsoleEvents[ConsoleEventLimit];

// Clamps a byte count to what the interface's int can carry.
int ClampCount(long long count)
{
    return count > INT_MAX ? INT_MAX : static_cast<int>(count);
}

// Bytes waiting in a pipe. A failed peek counts as nothing waiting, except a
// broken pipe: the writer has gone and everything it wrote has been read.
int WaitingPipeBytes()
{
    DWORD waiting = 0;
    if (PeekNamedPipe(InputHandle, nullptr, 0, nullptr, &waiting, nullptr))
        return ClampCount(waiting);
    return GetLastError() == ERROR_BROKEN_PIPE ? -1 : 0;
}

// Bytes left between the read position of a redirected file and its end;
// -1 at the end, which is where such input ends.
int RemainingFileBytes()
{
    LARGE_INTEGER size{}, offset{}, here{};
    if (!GetFileSizeEx(InputHandle, &size) || !SetFilePointerEx(InputHandle, offset, &here, FILE_CURRENT))
        return 0;
    long long left = size.QuadPart - here.QuadPart;
    return left > 0 ? ClampCount(left) : -1;
}

// A console in line mode only hands over whole lines, and a read blocks until
// Enter is pressed. So nothing counts as waiting until the queued key events
// hold an Enter; then the count covers the typed characters and the CR LF.
int WaitingConsoleBytes()
{
    DWORD queued = 0;
    if (!GetNumberOfConsoleInputEvents(InputHandle, &queued) || queued == 0)
        return 0;
    DWORD seen = 0;
    if (!PeekConsoleInputA(InputHandle, ConsoleEvents, ConsoleEventLimit, &seen))
        return 0;
    long long typed = 0;
    for (DWORD index = 0; index < seen; ++index) {
        const INPUT_RECORD& event = ConsoleEvents[index];
        if (event.EventType != KEY_EVENT || !event.Event.KeyEvent.bKeyDown)
            continue;
        char code = event.Event.KeyEvent.uChar.AsciiChar;
        if (code == 0)
            continue;
        typed += event.Event.KeyEvent.wRepeatCount;
        if (code == '\r')
            return ClampCount(typed + 1);
    }
    return 0;
}

// Shows a modal box titled "Error" with one OK button and waits for it to be
// dismissed. Where no box can be shown (no desktop), the text goes to the
// error output instead, so the notice is never lost.
void ShowNotice(const std::string& text)
{
    // a box with only OK gives IDOK once dismissed; anything else means none was shown
    if (MessageBoxA(nullptr, text.c_str(), "Error", MB_OK) == IDOK)
        return;
    std::fprintf(stderr, "Error: %s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace

// Fetches the standard handles and finds out what kind of input stands behind
// standard input, which decides how it is polled.
void StartPlatform()
{
    timeBeginPeriod(1);
    InputHandle = GetStdHandle(STD_INPUT_HANDLE);
    OutputHandle = GetStdHandle(STD_OUTPUT_HANDLE);
    Input = InputKind::Unknown;
    if (InputHandle == nullptr || InputHandle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    switch (GetFileType(InputHandle)) {
    case FILE_TYPE_PIPE: Input = InputKind::Pipe; break;
    case FILE_TYPE_DISK: Input = InputKind::DiskFile; break;
    case FILE_TYPE_CHAR:
        Input = GetConsoleMode(InputHandle, &mode) ? InputKind::Console : InputKind::OtherDevice;
        break;
    default: break;
    }
}

// Bytes waiting on standard input, never blocking; -1 once it has ended. An
// unknown kind of input (or none at all) never has anything waiting; a
// character device other than the console (NUL) has ended from the start.
int WaitingInputBytes()
{
    switch (Input) {
    case InputKind::Pipe: return WaitingPipeBytes();
    case InputKind::DiskFile: return RemainingFileBytes();
    case InputKind::Console: return WaitingConsoleBytes();
    case InputKind::OtherDevice: return -1;
    default: return 0;
    }
}

// Anonymous pipes and the console cannot be waited on for "bytes waiting", so
// the wait peeks in steps of InputWaitStep; StartPlatform sets the timer
// resolution to 1 ms, without which a step would last a whole scheduler tick
// (15.6 ms). A file or a NUL device never needs waiting for.
bool WaitForInput(int milliseconds)
{
    if (Input == InputKind::DiskFile || Input == InputKind::OtherDevice)
        return true;
    if (Input == InputKind::Unknown) {
        Sleep(static_cast<DWORD>(milliseconds));
        return false;
    }
    int64_t deadline = MillisecondClock() + milliseconds;
    for (;;) {
        if (WaitingInputBytes() != 0)
            return true;
        if (MillisecondClock() >= deadline)
            return false;
        Sleep(InputWaitStep);
    }
}

// One read of at most maximum bytes; returns the count read (0 on failure).
int ReadInputBytes(char* buffer, int maximum)
{
    DWORD count = 0;
    if (maximum <= 0 || !ReadFile(InputHandle, buffer, static_cast<DWORD>(maximum), &count, nullptr))
        return 0;
    return static_cast<int>(count);
}

// Standard input is left unread from here on: it counts as a device that
// has ended from the start.
void IgnoreInput()
{
    Input = InputKind::OtherDevice;
}

// Writes the whole text to standard output; a failed write loses the rest.
void WriteOutputBytes(const char* text, int length)
{
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(OutputHandle, text, static_cast<DWORD>(length), &written, nullptr) || written == 0)
            return;
        text += written;
        length -= static_cast<int>(written);
    }
}

// The time of day in the user's long-time format (for example 14:05:09).
std::string LocalTimeText()
{
    char text[128];
    int length = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof text);
    return length > 0 ? std::string(text, static_cast<size_t>(length - 1)) : std::string();
}

// Today's date in the user's short-date format.
std::string LocalDateText()
{
    char text[128];
    int length = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, sizeof text);
    return length > 0 ? std::string(text, static_cast<size_t>(length - 1)) : std::string();
}

// The working directory without a trailing backslash ("C:" for a drive's root).
std::string WorkingDirectory()
{
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0)
        return std::string();
    std::string path(needed, '\0');
    DWORD length = GetCurrentDirectoryA(needed, path.data());
    path.resize(length < needed ? length : 0);
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

// True for an existing file; a directory of that name does not count.
bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The missing-file box: text = full path + " not found", title "Error", one
// OK button; the caller goes on once it is dismissed.
void ReportMissingFile(const std::string& path)
{
    ShowNotice(path + " not found");
}

void ReportProblem(const std::string& text)
{
    ShowNotice(text);
}

// Large pages need a privilege that a chess engine should not ask for: the
// table keeps ordinary pages.
void AdviseLargePages(void*, size_t) {}

// Milliseconds from the performance counter, which never goes back.
int64_t MillisecondClock()
{
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart / frequency.QuadPart * 1000 + counter.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart;
}

// Ends the process with status 0 after flushing the C streams.
[[noreturn]] void EndProcess()
{
    std::fflush(nullptr);
    ExitProcess(0);
}
