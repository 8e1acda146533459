// Where the code that is running was loaded from.
#pragma once

#include <string>

namespace platform {

// Full path of the module (program or shared library) that contains address.
std::string modulePath(const void* address);

// The folder part of a path, with its trailing separator.
std::string folderOf(const std::string& path);

} // namespace platform
