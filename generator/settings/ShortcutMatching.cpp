#include "generator/settings/ShortcutMatching.h"

namespace spoolex {

void fireKeyDown(const std::vector<KeyboardShortcut>& shortcuts, uint32_t virtualKey,
                 uint32_t modifiers, const SendCommand& send) {
    for (const KeyboardShortcut& shortcut : shortcuts)
        if (shortcut.kind == KeyboardShortcut::Kind::VirtualKey &&
            shortcut.key == static_cast<int32_t>(virtualKey) && shortcut.modifiers == modifiers)
            send(shortcut.command);
}

void fireCharacter(const std::vector<KeyboardShortcut>& shortcuts, uint32_t character,
                   const SendCommand& send) {
    // A binding of a byte of 128 or more holds it sign-extended and so never
    // equals a typed character code.
    for (const KeyboardShortcut& shortcut : shortcuts)
        if (shortcut.kind == KeyboardShortcut::Kind::Character &&
            shortcut.key == static_cast<int32_t>(character))
            send(shortcut.command);
}

} // namespace spoolex
