// The generator plug-in's entry points, called by the host.
#include <new>

#include "generator/PlatformUserInterface.h"
#include "generator/core/InputRegistry.h"
#include "generator/core/Machine.h"
#include "generator/core/MachineDescription.h"
#include "generator/editor/PatternEditorParent.h"

SPOOLEX_EXPORT const CMachineInfo* GetInfo() {
    return &spoolex::machineDescription();
}

SPOOLEX_EXPORT CMachineInterface* CreateMachine() {
    spoolex::installPlatformUserInterface();
    installPatternEditor();
    // Shortcuts with Ctrl or Shift need the keyboard's real state.
    installPlatformModifierKeys();
    try {
        return new spoolex::mi;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

SPOOLEX_EXPORT void korvane_registerInput(InputMachine::Fields* input) {
    spoolex::registerInput(input);
}

SPOOLEX_EXPORT void korvane_unregisterInput(InputMachine::Fields* input) {
    spoolex::unregisterInput(input);
}
