#include "host/PluginLibrary.h"

#include "platform/Library.h"

namespace host {

std::unique_ptr<PluginLibrary> PluginLibrary::load(const std::string& path, std::string& error) {
    std::unique_ptr<PluginLibrary> plugin(new PluginLibrary);
    plugin->file = path;
    plugin->handle = platform::loadLibrary(path);
    if (!plugin->handle) {
        error = "cannot load " + path + ": " + platform::lastSystemErrorText();
        return nullptr;
    }
    auto getInfo =
        reinterpret_cast<GetInfoFunction>(platform::librarySymbol(plugin->handle, "GetInfo"));
    plugin->create = reinterpret_cast<CreateMachineFunction>(
        platform::librarySymbol(plugin->handle, "CreateMachine"));
    if (!getInfo || !plugin->create) {
        error = path + " is not a machine: it lacks GetInfo or CreateMachine";
        return nullptr;
    }
    plugin->description = getInfo();
    if (!plugin->description) {
        error = path + " returned no machine description";
        return nullptr;
    }
    return plugin;
}

PluginLibrary::~PluginLibrary() {
    platform::freeLibrary(handle);
}

void* PluginLibrary::symbol(const char* name) const {
    return platform::librarySymbol(handle, name);
}

} // namespace host
