#include "generator/editor/PatternEditor.h"

#include "generator/editor/AudioClipboard.h"
#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"

void PatternEditor::showPattern(spoolex::Pattern* shown) {
    dropPeakCaches();
    if (shown != pattern)
        ++shownChanges;
    pattern = shown;
    currentTake = nullptr;
    // No current take, no frame; and with no pattern updateScrollBars
    // leaves the window alone, so the old rows are painted over here.
    marchingFrame.rect = {};
    updateScrollBars();
    repaintView();
}

spoolex::GridSettings& PatternEditor::grid() {
    return machine ? machine->grid : unattachedGrid;
}

const spoolex::GridSettings& PatternEditor::grid() const {
    return machine ? machine->grid : unattachedGrid;
}

bool PatternEditor::clipboardHasAudio() const {
    return pattern && !audioClipboard().empty();
}

void PatternEditor::onRecordSourceChosen(int item) {
    if (!machine)
        return;
    const auto& registry = spoolex::inputRegistry();
    if (item == 0)
        machine->chooseRecordSource(nullptr);
    else if (item > 0 && static_cast<size_t>(item - 1) < registry.size())
        machine->chooseRecordSource(registry[static_cast<size_t>(item - 1)]);
}

void PatternEditor::onArmClicked() {
    if (machine)
        machine->toggleArmed();
}
