#include "host/HostMachine.h"

#include "host/MachineServices.h"
#include "host/PluginLibrary.h"

namespace host {

HostMachine::HostMachine(PluginLibrary& library, std::string machineName)
    : plugin(library), name(std::move(machineName)) {}

HostMachine::~HostMachine() = default;

const CMachineInfo& HostMachine::info() const {
    return *plugin.info();
}

int HostMachine::globalParameterWidth(int index) const {
    return info().parameters[index]->type == ParameterTypeWord ? 2 : 1;
}

int HostMachine::globalParameterOffset(int index) const {
    int offset = 0;
    for (int i = 0; i < index; ++i)
        offset += globalParameterWidth(i);
    return offset;
}

} // namespace host
