#include "platform/DurableFiles.h"

#include <windows.h>

#include <shlobj.h>

namespace platform {

namespace {

std::string reason(DWORD code = GetLastError()) {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text, nullptr);
    std::string result(text, n);
    // The system's texts end in a full stop and a line break.
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.'))
        result.pop_back();
    return result.empty() ? "error " + std::to_string(code) : result;
}

HANDLE asHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

DurableFile::~DurableFile() {
    if (handle != -1)
        CloseHandle(asHandle(handle));
}

std::unique_ptr<DurableFile> DurableFile::createNew(const std::string& path, std::string& error) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = reason();
        return nullptr;
    }
    std::unique_ptr<DurableFile> file(new DurableFile);
    file->handle = reinterpret_cast<intptr_t>(h);
    return file;
}

bool DurableFile::writeAt(uint64_t offset, const void* data, size_t size, std::string& error) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(asHandle(handle), bytes, piece, &written, &at) || written == 0) {
            error = reason();
            return false;
        }
        bytes += written;
        offset += written;
        size -= written;
    }
    return true;
}

bool DurableFile::sync(std::string& error) {
    if (FlushFileBuffers(asHandle(handle)))
        return true;
    error = reason();
    return false;
}

bool appendDurably(const std::string& path, const std::string& text, std::string& error) {
    HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = reason();
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(h);
    if (!ok)
        error = reason();
    CloseHandle(h);
    return ok;
}

bool makeFolders(const std::string& path, std::string& error) {
    if (path.empty()) {
        error = "no folder";
        return false;
    }
    // Past the drive ("C:\") or the server and share ("\\server\share\").
    size_t from = 0;
    if (path.size() >= 2 && path[1] == ':')
        from = 3;
    else if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        size_t server = path.find_first_of("\\/", 2);
        size_t share = server == std::string::npos ? server : path.find_first_of("\\/", server + 1);
        from = share == std::string::npos ? path.size() : share + 1;
    }
    for (size_t i = from; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i]))
            continue;
        if (i == 0 || isSeparator(path[i - 1]))
            continue;
        std::string part = path.substr(0, i);
        if (CreateDirectoryA(part.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
            continue;
        error = reason();
        return false;
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "not a folder";
        return false;
    }
    return true;
}

std::vector<FolderFile> listFolder(const std::string& folder) {
    std::vector<FolderFile> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    FILETIME nowTime;
    GetSystemTimeAsFileTime(&nowTime);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    const uint64_t now = ticks(nowTime);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        uint64_t changed = ticks(found.ftLastWriteTime);
        FolderFile file;
        file.name = found.cFileName;
        file.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        // File times count 100-nanosecond steps.
        file.ageSeconds = now > changed ? static_cast<int64_t>((now - changed) / 10000000) : 0;
        files.push_back(file);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

bool removeFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

std::string environmentVariable(const char* name) {
    char value[4096];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : "";
}

void setEnvironmentVariable(const char* name, const std::string& value) {
    SetEnvironmentVariableA(name, value.c_str());
    // The program's own runtime keeps a copy of its own.
    _putenv_s(name, value.c_str());
}

std::string userStateFolder() {
    char path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path)))
        return path;
    return "";
}

} // namespace platform
