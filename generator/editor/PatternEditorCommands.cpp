#include "generator/core/Machine.h"
#include "generator/editor/PatternEditor.h"
#include "generator/settings/ModifierKeys.h"
#include "generator/settings/ShortcutMatching.h"

void PatternEditor::onKeyDown(uint32_t virtualKey) {
    if (!machine)
        return;
    spoolex::fireKeyDown(machine->shortcuts, virtualKey, spoolex::currentModifiers(),
                         [this](uint16_t id) { onCommand(id); });
}

void PatternEditor::onCharacter(uint32_t character) {
    if (!machine)
        return;
    spoolex::fireCharacter(machine->shortcuts, character, [this](uint16_t id) { onCommand(id); });
}

bool PatternEditor::onCommand(uint16_t /*id*/) {
    // The command handlers arrive with the editor's windows; until then none has one.
    return false;
}
