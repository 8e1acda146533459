// Which of Shift and Ctrl are held while a key message is handled. The
// platform that has a keyboard to ask installs its own; the default is set
// by hand (tests press keys with it).
#pragma once

#include <cstdint>

#include "generator/settings/KeyboardShortcut.h"

namespace spoolex {

class ModifierKeys {
public:
    // modifierShift plus modifierCtrl for the keys down right now.
    virtual uint32_t held() const = 0;

protected:
    ~ModifierKeys() = default;
};

class ManualModifierKeys final : public ModifierKeys {
public:
    uint32_t held() const override { return mask; }
    void hold(uint32_t modifiers) { mask = modifiers; }

private:
    uint32_t mask = 0;
};

// The process-wide source; null restores the default.
void setModifierKeys(ModifierKeys* keys);
ManualModifierKeys& defaultModifierKeys();

// The modifier mask a virtual-key binding is compared with: Shift and Ctrl
// only (Alt, the Windows keys and left/right variants are not part of it).
uint32_t currentModifiers();

} // namespace spoolex
