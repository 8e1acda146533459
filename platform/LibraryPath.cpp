#include "platform/Library.h"

namespace platform {

std::string localLibraryPath(const std::string& hostPath) {
    std::string path = hostPath;
#if !defined(_WIN32)
    for (char& c : path)
        if (c == '\\')
            c = '/';
    const std::string dll = ".dll";
    if (path.size() >= dll.size() && path.compare(path.size() - dll.size(), dll.size(), dll) == 0)
        path.replace(path.size() - dll.size(), dll.size(), ".so");
#endif
    return path;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace platform
