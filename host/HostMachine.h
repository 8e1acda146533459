// One machine placed in the stand-in host's song.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hostsdk/MachineInterface.h"

namespace host {
class HostMachine;
class MachineServices;
class PluginLibrary;
} // namespace host

// The host's machine handle: plug-ins only compare it and pass it back.
struct CMachine {
    host::HostMachine* machine;
};

namespace host {

class HostMachine {
public:
    HostMachine(const CMachineInfo& info, PluginLibrary* plugin, std::string name);
    ~HostMachine();

    CMachine* handle() { return &ownHandle; }
    const CMachineInfo& info() const { return description; }

    const CMachineInfo& description;
    PluginLibrary* plugin; // null for a machine built into the program
    std::string name;
    CMachineInterface* machine = nullptr;
    CMachineInterfaceEx* extension = nullptr; // set when the machine registers it
    void* editorWindow = nullptr;             // the machine's own pattern editor, once asked for
    std::unique_ptr<MachineServices> services;

    // Byte offset of global parameter index in the packed values block.
    int globalParameterOffset(int index) const;
    int globalParameterWidth(int index) const;

private:
    CMachine ownHandle{this};
};

} // namespace host
