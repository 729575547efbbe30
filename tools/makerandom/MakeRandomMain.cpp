// talvoran-makerandom: writes the engine's random keys file. With no argument
// it writes Data/Random.bin below the working directory; else the named file.
#include "tools/makerandom/RandomKeyMaker.h"

#include <cstdio>

// Returns 0 when the whole file was written, 1 otherwise.
int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "Data/Random.bin";
    std::string bytes = RandomKeyFileBytes();
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "Error: cannot create %s\n", path);
        return 1;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written)
        std::fprintf(stderr, "Error: cannot write %s\n", path);
    return written ? 0 : 1;
}
