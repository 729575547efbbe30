// The POSIX side of the platform interface: polling of standard input without
// blocking (pipe, regular file or terminal), raw output on descriptor 1, the
// local time in the host's formats, files, notices on the error output and a
// monotonic clock.
#include "platform/Platform.h"

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

const char PathSeparator = '/';

namespace {

// Set when a read found the end of an input whose waiting bytes could not be
// counted (FIONREAD refused), so that it is known to have ended; or when
// IgnoreInput gave the input up.
bool UncountedInputEnded = false;

// Writes the whole text to a descriptor, looping over partial writes; a
// failed write loses the rest.
void WriteAll(int descriptor, const char* text, size_t length)
{
    while (length > 0) {
        ssize_t written = write(descriptor, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<size_t>(written);
    }
}

// The current local time formatted with one strftime conversion.
std::string FormatLocalTime(const char* format)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return std::string();
    char text[128];
    size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace

// Takes the host's time and date formats for the log and keeps a closed
// output pipe from killing the engine (the write then simply fails).
void StartPlatform()
{
    std::setlocale(LC_TIME, "");
    signal(SIGPIPE, SIG_IGN);
}

// Bytes waiting on standard input, never blocking. A readable descriptor with
// nothing to read has reached its end (the writer closed the pipe, the file is
// read to its end, or end-of-file was typed): -1. For a regular file FIONREAD
// gives the bytes left. Where the count is unknown, a full chunk is offered.
int WaitingInputBytes()
{
    if (UncountedInputEnded)
        return -1;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    int ready = poll(&input, 1, 0);
    if (ready <= 0)
        return 0;
    if (input.revents & POLLNVAL)
        return -1;
    if ((input.revents & (POLLIN | POLLHUP | POLLERR)) == 0)
        return 0;
    int waiting = 0;
    if (ioctl(STDIN_FILENO, FIONREAD, &waiting) != 0)
        return 4095;
    return waiting > 0 ? waiting : -1;
}

// poll with a timeout: readable input, an end or an error all end the wait.
bool WaitForInput(int milliseconds)
{
    if (UncountedInputEnded)
        return true;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    return poll(&input, 1, milliseconds) > 0;
}

// One read of at most maximum bytes; returns the count read (0 on failure).
int ReadInputBytes(char* buffer, int maximum)
{
    if (maximum <= 0)
        return 0;
    ssize_t count;
    do
        count = read(STDIN_FILENO, buffer, static_cast<size_t>(maximum));
    while (count < 0 && errno == EINTR);
    if (count == 0)
        UncountedInputEnded = true;
    return count > 0 ? static_cast<int>(count) : 0;
}

// Standard input is left unread from here on, as if it had ended.
void IgnoreInput()
{
    UncountedInputEnded = true;
}

// The whole text on descriptor 1, without stdio buffering.
void WriteOutputBytes(const char* text, int length)
{
    if (length > 0)
        WriteAll(STDOUT_FILENO, text, static_cast<size_t>(length));
}

// The time of day in the host's format (for example 14:05:09).
std::string LocalTimeText()
{
    return FormatLocalTime("%X");
}

// Today's date in the host's short format.
std::string LocalDateText()
{
    return FormatLocalTime("%x");
}

// The working directory without a trailing slash ("" for the root).
std::string WorkingDirectory()
{
    std::string path(256, '\0');
    while (getcwd(path.data(), path.size()) == nullptr) {
        if (errno != ERANGE)
            return std::string();
        path.resize(path.size() * 2);
    }
    path.resize(path.find('\0'));
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

// True for an existing file; a directory of that name does not count.
bool FileExists(const std::string& path)
{
    struct stat status{};
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// One line on the error output: "Error: <path> not found".
void ReportMissingFile(const std::string& path)
{
    ReportProblem("Error: " + path + " not found");
}

// One line on the error output; standard output carries the protocol.
void ReportProblem(const std::string& text)
{
    std::string line = text + "\n";
    WriteAll(STDERR_FILENO, line.data(), line.size());
}

// Marks the whole pages inside the block for transparent huge pages, where
// the system has them; the block's own start and end need no alignment.
void AdviseLargePages(void* block, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    uintptr_t first = (reinterpret_cast<uintptr_t>(block) + page - 1) & ~(page - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(page - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

// Milliseconds of a clock that never goes back; only differences count.
int64_t MillisecondClock()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Flushes the C streams (the log among them) and ends at once, without
// running destructors under a search that may still be on the stack.
[[noreturn]] void EndProcess()
{
    std::fflush(nullptr);
    _exit(0);
}
