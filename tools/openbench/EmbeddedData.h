// The Data/ files of the commit that the OpenBench build was made from, held
// in the binary (the table is generated from Data/ at build time by
// EmbedData.cmake), and the engine's one-time loading done from them.
#pragma once

#include <cstddef>

struct EmbeddedFile {
    const char* Name;            // file name inside Data/
    const unsigned char* Bytes;  // its contents
    size_t Size;                 // in bytes
};

extern const EmbeddedFile EmbeddedFiles[];
extern const int EmbeddedFileCount;

// Runs the engine's one-time loading (LoadTablesOnce) on the embedded files,
// whatever the working directory holds. Where they cannot be unpacked, says
// so on the error output and loads Data/ from the working directory instead.
// The working directory is the same afterwards.
void LoadEmbeddedData();
