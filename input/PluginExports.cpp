// The input plug-in's entry points, called by the host.
#include <new>

#include "input/InputMachine.h"

SPOOLEX_EXPORT const CMachineInfo* GetInfo() {
    return &InputMachine::machineDescription();
}

SPOOLEX_EXPORT CMachineInterface* CreateMachine() {
    try {
        return new InputMachine::mi;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
