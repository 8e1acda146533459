#pragma once

#include <string>

namespace testsupport {
// This platform's path of the built generator plug-in.
std::string generatorPluginPath();
std::string inputPluginPath();
} // namespace testsupport
