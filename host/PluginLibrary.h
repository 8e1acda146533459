// One plug-in file loaded as the host loads it: by its two exports.
#pragma once

#include <memory>
#include <string>

#include "hostsdk/MachineInterface.h"

namespace host {

class PluginLibrary {
public:
    // Loads the file; on failure returns null and sets error.
    static std::unique_ptr<PluginLibrary> load(const std::string& path, std::string& error);
    ~PluginLibrary();

    const CMachineInfo* info() const { return description; }
    CreateMachineFunction createFunction() const { return create; }
    const std::string& path() const { return file; }
    void* symbol(const char* name) const;

private:
    PluginLibrary() = default;
    void* handle = nullptr;
    std::string file;
    const CMachineInfo* description = nullptr;
    CreateMachineFunction create = nullptr;
};

} // namespace host
