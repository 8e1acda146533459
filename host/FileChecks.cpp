#include "host/FileChecks.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/SongDocument.h"

namespace host {

namespace fs = std::filesystem;

std::string systemReason() {
    return std::strerror(errno);
}

bool checkReadable(const std::string& path, std::string& error) {
    std::error_code status;
    // Some systems open a folder for reading; none reads it as a file.
    if (fs::is_directory(path, status)) {
        error = "cannot read " + path + ": " + std::strerror(EISDIR);
        return false;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read " + path + ": " + systemReason();
        return false;
    }
    std::fclose(file);
    return true;
}

bool checkOutput(const std::string& path, const std::vector<std::string>& inputs,
                 std::string& error) {
    std::error_code status;
    for (const std::string& input : inputs)
        if (path == input || fs::equivalent(path, input, status)) {
            error = path + " is also what is read: choose another name for what is written";
            return false;
        }
    if (fs::is_directory(path, status)) {
        error = "cannot write " + path + ": " + std::strerror(EISDIR);
        return false;
    }
    if (holdsSong(path)) {
        error = path + " holds a song, which this would replace: choose another name";
        return false;
    }
    const bool existed = fs::exists(path, status);
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) {
        error = "cannot write " + path + ": " + systemReason();
        return false;
    }
    std::fclose(file);
    if (!existed)
        std::remove(path.c_str());
    return true;
}

} // namespace host
