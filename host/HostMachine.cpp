#include "host/HostMachine.h"

#include "host/MachineServices.h"

namespace host {

HostMachine::HostMachine(const CMachineInfo& info, PluginLibrary* library, std::string machineName)
    : description(info), plugin(library), name(std::move(machineName)) {}

HostMachine::~HostMachine() = default;

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
