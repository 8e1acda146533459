#pragma once

#include <string>

namespace testsupport {
// This platform's path of the built generator plug-in.
std::string generatorPluginPath();
} // namespace testsupport
