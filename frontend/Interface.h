// The UCI command dispatcher, its replies, the engine's one-time loading of
// tables and data files, and the idle loop.
#pragma once

#include <string>
#include <vector>

extern bool TablesLoaded;   // PrepareEngine has run
extern bool StopRequested;  // "stop" arrived during the search
extern bool NoTimeLimit;    // pondering or infinite: the search must not stop on time

constexpr int IdleMode = 0;
constexpr int SearchMode = 1;

// True for the codes 8-13 and 32.
bool IsBlank(int code);

// The first run of non-blank characters of the text; empty when none.
std::string FirstWord(const std::string& text);

// The line cut at every blank (32), each piece reduced by FirstWord.
std::vector<std::string> SplitWords(const std::string& line);

// Builds the constant tables, creates the hash table and loads the data files
// from the working directory's Data folder; runs once.
void PrepareEngine();

// Runs PrepareEngine unless TablesLoaded says it has run; sets the flag first.
void LoadTablesOnce();

// Takes one line of input, logs it and carries out its first command that is
// allowed in the mode.
void DispatchCommand(int mode);

// The search's poll: one whole waiting line, in search mode. A search without
// time limit whose input has ended is stopped as if told to.
void PollSearchInput();

// The process entry's loop: never returns.
[[noreturn]] void RunEngine();
