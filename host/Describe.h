#pragma once

#include <string>

namespace host {
class Host;
class PluginLibrary;

// A readable account of a plug-in: its description, parameters, attributes
// and menus (sub-menus as a freshly placed machine builds them).
std::string describePlugin(Host& host, PluginLibrary& plugin);
} // namespace host
