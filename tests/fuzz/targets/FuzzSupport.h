// What the fuzz targets share: the memory-backed platform's controls, a data
// folder made once per run, the reset of the engine's mutable state between
// inputs, and the checks that turn a broken invariant into a crash report.
#pragma once

#include "board/Position.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Thrown by EndProcess: the engine asked to end ("quit" or end of input).
struct ProcessEnded {};

// The memory-backed platform: input to serve, output collected, the folder
// WorkingDirectory reports, and the fake millisecond clock.
void SetFuzzInput(const uint8_t* data, size_t size);
std::string& FuzzOutput();
void SetFuzzWorkingDirectory(const std::string& directory);
void ResetFuzzClock();

// A temporary working directory with a Data folder: the shipped keys and
// piece-square files, and a Hashtable.ini of the given size exponent. Made
// once per process and removed at exit; becomes the working directory.
const std::string& FuzzFolder(int hashBits);

// Loads the tables from FuzzFolder once (as the first isready would).
void PrepareFuzzEngine(int hashBits);

// Puts back everything a command can change: input buffer, setup fields, the
// last accepted position, clock, search flags, the table's contents, output.
void ResetEngineState(int depthLimit);

// Reports the message and aborts, so that the fuzzer records a crash.
[[noreturn]] void FuzzFailure(const std::string& message);

// The accepted position, when there is one, must pass the setup check and
// build into a consistent Position.
void CheckAcceptedSetup();

// Every legal move of the position in UCI text ("e2e4", "e7e8q").
std::vector<std::string> LegalMoveTexts(Position& pos);
