// The generator plug-in's entry points, called by the host.
#include <new>

#include "generator/editor/PatternEditorParent.h"
#include "generator/editor/PlatformRecoveryStorage.h"
#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/InputRegistry.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"

SPOOLEX_EXPORT const CMachineInfo* GetInfo() {
    return &spoolex::machineDescription();
}

SPOOLEX_EXPORT CMachineInterface* CreateMachine() {
    spoolex::installPlatformUserInterface();
    spoolex::installPlatformRecoveryStorage();
    installPatternEditor();
    // Shortcuts with Ctrl or Shift need the keyboard's real state.
    installPlatformModifierKeys();
    try {
        return new spoolex::mi;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Nothing may be thrown into the other plug-in: an input that could not be
// registered for lack of memory is simply not offered as a record source.
SPOOLEX_EXPORT void korvane_registerInput(InputMachine::Fields* input) {
    try {
        spoolex::registerInput(input);
    } catch (...) {
    }
}

SPOOLEX_EXPORT void korvane_unregisterInput(InputMachine::Fields* input) {
    try {
        spoolex::unregisterInput(input);
    } catch (...) {
    }
}
