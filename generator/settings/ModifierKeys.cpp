#include "generator/settings/ModifierKeys.h"

namespace spoolex {

namespace {
ModifierKeys* installed = nullptr;
}

ManualModifierKeys& defaultModifierKeys() {
    static ManualModifierKeys keys;
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
