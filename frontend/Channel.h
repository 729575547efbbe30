// The console channel and the protocol log: input polling into InputBuffer,
// line taking, replies to standard output, and spynull.txt.
#pragma once

#include <string>

// Bytes read from standard input and not yet taken as lines.
extern std::string InputBuffer;

// Opens (truncates) spynull.txt in the working directory and logs START.
void OpenLog();

// Writes one log line: time of day, the 12-character label, the payload, CR LF.
void LogLine(const char* label, const std::string& payload);

// The longest wait of the idle loop for input, in milliseconds.
constexpr int IdleWait = 25;

constexpr const char* StartLabel = "   START:   ";
constexpr const char* InLabel = "   IN:      ";
constexpr const char* OutLabel = "   OUT:     ";
constexpr const char* EndLabel = "   END:     ";

// Moves at most 4095 waiting bytes into InputBuffer; true when the buffer then
// holds a line to take: a whole one, or the last text of an input that has
// ended. Part of a line is kept until its end arrives.
bool ReadInput();

// The idle wait: at most milliseconds, ended by arriving input, and none at
// all while InputBuffer holds a complete line. True when a line can be taken:
// a complete one, or text that no more bytes followed (the last of the input,
// or a line without terminator). Bytes of a line still arriving give false.
bool AwaitInput(int milliseconds);

// True once standard input has ended and InputBuffer is empty.
bool InputHasEnded();

// Removes the first line of the buffer and returns it without its one
// terminator (CR or LF); with no terminator, the whole buffer.
std::string TakeLine(std::string& buffer);

// Takes the next command line: when the buffer holds no terminator yet, it
// first reads everything already waiting, so that long lines stay whole.
std::string TakeCommandLine();

// Writes the text to standard output as it is; logs it as OUT when log is set.
void WriteOutput(const std::string& text, bool log);

// Writes one reply line: the text, the line end, logged.
void WriteReply(const std::string& text);
