// Files that must survive a crash of the program writing them: written at
// chosen offsets and forced to the disk on request (fdatasync, or
// FlushFileBuffers on Windows), and the folders that hold them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class DurableFile {
public:
    ~DurableFile();
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    // A new file, never one that exists. Null with error set on failure.
    static std::unique_ptr<DurableFile> createNew(const std::string& path, std::string& error);
    bool writeAt(uint64_t offset, const void* data, size_t size, std::string& error);
    bool sync(std::string& error);

private:
    DurableFile() = default;
    intptr_t handle = -1;
};

// Appends text to an existing file and forces it to the disk.
bool appendDurably(const std::string& path, const std::string& text, std::string& error);

// Creates path and its missing parents.
bool makeFolders(const std::string& path, std::string& error);

struct FolderFile {
    std::string name;
    uint64_t size = 0;
    int64_t ageSeconds = 0;
};
// The plain files directly inside folder.
std::vector<FolderFile> listFolder(const std::string& folder);
bool removeFile(const std::string& path);

// The user's own folder for program state that is kept across sessions:
// Windows: the local application data folder; elsewhere $XDG_STATE_HOME,
// by default ~/.local/state. Empty when it cannot be found.
std::string userStateFolder();

// The process's environment variable name, or empty. On Windows read from
// the process itself, not from a copy a runtime library made when it loaded.
std::string environmentVariable(const char* name);
void setEnvironmentVariable(const char* name, const std::string& value);

constexpr char folderSeparator =
#if defined(_WIN32)
    '\\';
#else
    '/';
#endif

} // namespace platform
