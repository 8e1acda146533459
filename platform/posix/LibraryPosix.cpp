#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/Library.h"
#include "platform/ModulePath.h"

namespace platform {

namespace {
thread_local std::string lastError;

std::string programFolder() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    buffer[n] = 0;
    return folderOf(buffer);
}
} // namespace

LibraryHandle loadLibrary(const std::string& path) {
    std::string local = localLibraryPath(path);
    void* handle = nullptr;
    if (!local.empty() && local[0] != '/')
        handle = dlopen((programFolder() + local).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        // Keep the error of the last place searched, as the system loader does.
        std::string relative = local.find('/') == std::string::npos ? "./" + local : local;
        handle = dlopen(relative.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!handle) {
        const char* error = dlerror();
        lastError = error ? error : "";
    }
    return handle;
}

void* librarySymbol(LibraryHandle library, const char* name) {
    dlerror();
    void* symbol = library ? dlsym(library, name) : nullptr;
    if (!symbol) {
        const char* error = dlerror();
        lastError = error ? error : "";
    }
    return symbol;
}

void freeLibrary(LibraryHandle library) {
    if (library)
        dlclose(library);
}

std::string lastSystemErrorText() {
    return lastError.empty() ? "Unknown error code 0" : lastError;
}

} // namespace platform
