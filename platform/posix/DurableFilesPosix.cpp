#include "platform/DurableFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace platform {

namespace {

std::string reason() {
    return std::strerror(errno);
}

bool writeAll(int fd, uint64_t offset, const void* data, size_t size, std::string& error) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = reason();
            return false;
        }
        bytes += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

DurableFile::~DurableFile() {
    if (handle >= 0)
        ::close(static_cast<int>(handle));
}

std::unique_ptr<DurableFile> DurableFile::createNew(const std::string& path, std::string& error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = reason();
        return nullptr;
    }
    std::unique_ptr<DurableFile> file(new DurableFile);
    file->handle = fd;
    return file;
}

bool DurableFile::writeAt(uint64_t offset, const void* data, size_t size, std::string& error) {
    return writeAll(static_cast<int>(handle), offset, data, size, error);
}

bool DurableFile::sync(std::string& error) {
    if (::fdatasync(static_cast<int>(handle)) == 0)
        return true;
    error = reason();
    return false;
}

bool appendDurably(const std::string& path, const std::string& text, std::string& error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        error = reason();
        return false;
    }
    const char* bytes = text.data();
    size_t left = text.size();
    bool ok = true;
    while (ok && left > 0) {
        ssize_t n = ::write(fd, bytes, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = reason();
            ok = false;
        } else {
            bytes += n;
            left -= static_cast<size_t>(n);
        }
    }
    if (ok && ::fdatasync(fd) != 0) {
        error = reason();
        ok = false;
    }
    ::close(fd);
    return ok;
}

bool makeFolders(const std::string& path, std::string& error) {
    if (path.empty()) {
        error = "no folder";
        return false;
    }
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/')
            continue;
        std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0755) == 0 || errno == EEXIST)
            continue;
        error = reason();
        return false;
    }
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = "not a folder";
        return false;
    }
    return true;
}

std::vector<FolderFile> listFolder(const std::string& folder) {
    std::vector<FolderFile> files;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return files;
    const time_t now = std::time(nullptr);
    while (dirent* entry = ::readdir(dir)) {
        std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        files.push_back({entry->d_name, static_cast<uint64_t>(info.st_size),
                         static_cast<int64_t>(now - info.st_mtime)});
    }
    ::closedir(dir);
    return files;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void setEnvironmentVariable(const char* name, const std::string& value) {
    ::setenv(name, value.c_str(), 1);
}

std::string userStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return state;
    const char* home = std::getenv("HOME");
    if (!home || !home[0])
        return "";
    return std::string(home) + "/.local/state";
}

} // namespace platform
