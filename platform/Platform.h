// Everything the engine needs from the operating system, behind one small
// interface: standard input polling, waiting and reading, raw output, time,
// the working directory, files, the missing-file notice and ending the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The character that ends every line the engine writes: a carriage return,
// or a line feed in the build for line-feed match tools.
extern const char LineEnd;

// Path separator of the host ('/' or '\\').
extern const char PathSeparator;

// Fetches the standard handles; called once at start.
void StartPlatform();

// Bytes waiting on standard input, without blocking; -1 once input has ended
// (the other end closed it) and nothing is left to read.
int WaitingInputBytes();

// Waits at most milliseconds for standard input to have bytes waiting (or to
// end), returning as soon as it does; true when it returned for input.
bool WaitForInput(int milliseconds);

// Reads at most maximum bytes that are known to be waiting; returns the count.
int ReadInputBytes(char* buffer, int maximum);

// From now on standard input counts as ended and is never read: for a run
// that takes no commands (a bench) whatever input it inherited.
void IgnoreInput();

// Writes the whole text to standard output at once, unbuffered.
void WriteOutputBytes(const char* text, int length);

// Local time of day and date as text, in the host's formats.
std::string LocalTimeText();
std::string LocalDateText();

// The working directory, without a trailing separator.
std::string WorkingDirectory();

bool FileExists(const std::string& path);

// Tells the user that a data file is missing: "Error: <path> not found" on
// the error output (a message box titled "Error" on Windows).
void ReportMissingFile(const std::string& path);

// Any other notice for the user, never on standard output.
void ReportProblem(const std::string& text);

// Asks the system to back a large block (the hash table) with large pages,
// which spares the address-translation misses of scattered reads. Only a hint:
// nothing changes where the system does not offer them.
void AdviseLargePages(void* block, size_t bytes);

// A monotonic clock in milliseconds.
int64_t MillisecondClock();

// Ends the process at once with exit status 0.
[[noreturn]] void EndProcess();
