// Starting talvoran.exe as a Windows GUI does (anonymous pipes on standard
// input and output), talking to it line by line, and answering the modal
// message boxes it shows.
#pragma once

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>
#include <vector>

// Bound on any one wait, so that a faulty engine cannot hang the run.
constexpr DWORD ReplyWait = 30000;

// One engine process and our ends of its two pipes.
struct Engine {
    PROCESS_INFORMATION Process{};
    HANDLE ToEngine = nullptr;
    HANDLE FromEngine = nullptr;
    std::string Output;  // every byte it wrote so far
    size_t Taken = 0;    // offset of the first line not yet taken
};

// Starts the program in the directory with fresh anonymous pipes; false when
// the pipes or the process could not be created.
bool StartEngine(Engine& engine, const std::string& program, const std::string& directory);

// Writes the text exactly as given; the caller chooses the line end.
void Send(Engine& engine, const std::string& text);

// Moves whatever the engine has written into Output; never blocks.
void Collect(Engine& engine);

// Takes the next line ended by CR or LF, waiting at most ReplyWait.
bool NextLine(Engine& engine, std::string& line);

// Takes lines until one starts with the prefix; lines passed over on the way
// are added to skipped when it is given.
bool WaitForLine(Engine& engine, const std::string& prefix, std::string* found = nullptr,
                 std::vector<std::string>* skipped = nullptr);

// Waits for the process to end; true with its exit code when it did.
bool WaitForExit(Engine& engine, DWORD& code);

// Closes our end of the engine's standard input, as a GUI that goes away does.
void CloseInput(Engine& engine);

// Ends a process that still runs and closes every handle.
void CloseEngine(Engine& engine);

// What a message box of the engine showed.
struct Notice {
    std::string Title;
    std::string Text;
    std::vector<std::string> Buttons;
};

// Waits for a message box of the engine's process, reads it and presses its
// OK button; false when no box appeared within ReplyWait or it stayed open.
bool AnswerNotice(Engine& engine, Notice& notice);
