// Loading from the embedded Data/ files. The engine's loaders read
// Data/<name> under the working directory, so for the moment of loading the
// files are written to a private folder that then serves as working
// directory; the folder is removed at once, and nothing stays on disk.
#include "tools/openbench/EmbeddedData.h"

#include "frontend/Interface.h"
#include "platform/Platform.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

// A new, empty folder with a random name under the system's temporary
// folder, so that copies started side by side never share one; empty when
// none can be made.
static fs::path MakePrivateFolder()
{
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error)
        return fs::path();
    std::random_device source;
    for (int attempt = 0; attempt < 16; attempt++) {
        char name[40];
        std::snprintf(name, sizeof name, "talvoran-ob-%08x%08x", source(), source());
        fs::path folder = base / name;
        if (fs::create_directory(folder, error))
            return folder;
    }
    return fs::path();
}

// Writes every embedded file into folder/Data; false when one of them could
// not be written whole.
static bool WriteDataFiles(const fs::path& folder)
{
    std::error_code error;
    fs::path data = folder / "Data";
    if (!fs::create_directory(data, error))
        return false;
    for (int i = 0; i < EmbeddedFileCount; i++) {
        const EmbeddedFile& embedded = EmbeddedFiles[i];
        std::ofstream file(data / embedded.Name, std::ios::binary);
        file.write(reinterpret_cast<const char*>(embedded.Bytes), static_cast<std::streamsize>(embedded.Size));
        file.close();
        if (!file)
            return false;
    }
    return true;
}

// Unpacks, loads with the private folder as working directory, goes back
// and removes the folder. The final LoadTablesOnce only acts when the
// unpacking failed, and then reads the working directory's Data/.
void LoadEmbeddedData()
{
    std::error_code error;
    const fs::path home = fs::current_path(error);
    const fs::path folder = MakePrivateFolder();
    bool unpacked = !folder.empty() && WriteDataFiles(folder);
    if (unpacked) {
        fs::current_path(folder, error);
        unpacked = !error;
    }
    if (unpacked) {
        LoadTablesOnce();
        fs::current_path(home, error);
    } else
        ReportProblem("Could not unpack the built-in Data files; reading Data/ of the working directory");
    if (!folder.empty())
        fs::remove_all(folder, error);
    LoadTablesOnce();
}
