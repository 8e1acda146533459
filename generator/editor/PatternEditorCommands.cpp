#include "generator/core/Machine.h"
#include "generator/core/PatternInfo.h"
#include "generator/editor/PatternEditor.h"
#include "generator/settings/ModifierKeys.h"
#include "generator/settings/ShortcutMatching.h"
#include "platform/Dialogs.h"

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

namespace {
constexpr uint16_t commandInfo = 32832;
} // namespace

bool PatternEditor::onCommand(uint16_t id) {
    switch (id) {
    case commandInfo:
        showInfo();
        return true;
    }
    // The other commands arrive with the editing work; until then they do nothing.
    return false;
}

void PatternEditor::showInfo() {
    if (!pattern || !machine)
        return;
    std::string text;
    {
        auto hold = machine->lockAudio();
        text = spoolex::patternInfoText(*pattern);
    }
    platform::messageBox(window, text, nullptr, platform::MessageIcon::Information);
}
