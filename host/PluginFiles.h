// Where the plug-ins lie in a Gear folder.
#pragma once

#include <string>

namespace host {

#if defined(_WIN32)
constexpr const char* pluginSuffix = ".dll";
#else
constexpr const char* pluginSuffix = ".so";
#endif

constexpr const char* generatorPluginStem = "Korvane Spoolex REVA 081029.x64";
constexpr const char* inputPluginStem = "Korvane Spoolex Input REVA 081029.x64";

inline std::string generatorPluginFile(const std::string& gear) {
    return gear + "/Generators/" + generatorPluginStem + pluginSuffix;
}

inline std::string inputPluginFile(const std::string& gear) {
    return gear + "/Effects/" + inputPluginStem + pluginSuffix;
}

} // namespace host
