#include <windows.h>

#include "platform/Library.h"

namespace platform {

LibraryHandle loadLibrary(const std::string& path) {
    // A relative path is searched for beside the program first, then in the
    // system's usual places and the current folder: the host's own lookup.
    return LoadLibraryA(localLibraryPath(path).c_str());
}

void* librarySymbol(LibraryHandle library, const char* name) {
    if (!library) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void freeLibrary(LibraryHandle library) {
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}

std::string lastSystemErrorText() {
    DWORD code = GetLastError();
    char* message = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    if (length == 0 || !message)
        return "Unknown error code " + std::to_string(code);
    std::string text(message, length);
    LocalFree(message);
    return text;
}

} // namespace platform
