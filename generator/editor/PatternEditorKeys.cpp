// Keyboard shortcuts: every binding that matches sends its command to the
// view, with Shift and Ctrl read from the platform at that moment.
#include "generator/editor/PatternEditor.h"
#include "generator/machine/Machine.h"
#include "generator/settings/ModifierKeys.h"
#include "generator/settings/ShortcutMatching.h"

namespace {

// The keyboard as the platform reports it (the key-state query on Windows,
// the scripted user's keys elsewhere).
class PlatformModifierKeys final : public spoolex::ModifierKeys {
public:
    uint32_t held() const override { return platform::heldModifiers(); }
};

} // namespace

void installPlatformModifierKeys() {
    static PlatformModifierKeys keys;
    spoolex::setModifierKeys(&keys);
}

// A command may open a box whose loop lets the host delete the machine and
// this view: the bindings are walked from a copy, and once the view is gone
// no further command is sent.
void PatternEditor::onKeyDown(uint32_t virtualKey) {
    if (!machine)
        return;
    const std::vector<spoolex::KeyboardShortcut> shortcuts = machine->shortcuts();
    std::weak_ptr<const char> alive = lifetime;
    spoolex::fireKeyDown(shortcuts, virtualKey, spoolex::currentModifiers(),
                         [this, &alive](uint16_t id) {
                             if (!alive.expired())
                                 sendCommand(id);
                         });
}

void PatternEditor::onCharacter(uint32_t character) {
    if (!machine)
        return;
    const std::vector<spoolex::KeyboardShortcut> shortcuts = machine->shortcuts();
    std::weak_ptr<const char> alive = lifetime;
    spoolex::fireCharacter(shortcuts, character, [this, &alive](uint16_t id) {
        if (!alive.expired())
            sendCommand(id);
    });
}

void PatternEditor::sendCommand(uint16_t id) {
    // Synchronously, as if the menu item had been chosen.
    if (window)
        platform::sendMessage(window, platform::messageCommand, id, 0);
    else
        onCommand(id);
}
