#include <dlfcn.h>

#include <cstdlib>

#include "platform/ModulePath.h"

namespace platform {

std::string modulePath(const void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return {};
    std::string path = info.dli_fname;
    if (!path.empty() && path[0] != '/') {
        char buffer[4096];
        if (realpath(path.c_str(), buffer))
            path = buffer;
    }
    return path;
}

} // namespace platform
