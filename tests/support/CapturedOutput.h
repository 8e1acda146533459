#pragma once

#include <cstdio>
#include <string>

namespace testsupport {
// Everything written to a temporary file, from its start.
std::string readAll(std::FILE* file);
} // namespace testsupport
