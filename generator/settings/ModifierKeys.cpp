#include "generator/settings/ModifierKeys.h"

namespace spoolex {

namespace {
ModifierKeys* installed = nullptr;
}

HandHeldModifierKeys& defaultModifierKeys() {
    static HandHeldModifierKeys keys;
    return keys;
}

void setModifierKeys(ModifierKeys* keys) {
    installed = keys;
}

uint32_t currentModifiers() {
    const ModifierKeys& keys = installed ? *installed : defaultModifierKeys();
    return keys.held() & (modifierShift | modifierCtrl);
}

} // namespace spoolex
