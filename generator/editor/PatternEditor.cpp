#include "generator/editor/PatternEditor.h"

#include "generator/core/Machine.h"
#include "generator/core/ProcessState.h"

// The editor windows are not built yet: until they are, the view has no
// dialog bar to update and nothing to repaint.

void PatternEditor::refreshRecordSources() {
    if (!hasWindow())
        return;
}

void PatternEditor::selectRecordSource() {
    if (!hasWindow())
        return;
}

void PatternEditor::showArmed() {
    if (!hasWindow())
        return;
}

void PatternEditor::redrawNow() {
    if (!hasWindow())
        return;
}

// The audio clipboard arrives with the editing commands; until then it is
// always empty.
bool PatternEditor::clipboardHasAudio() const {
    return false;
}

// Until the windows exist there is no selection, scroll bar, peak cache or
// view to update.
void PatternEditor::showPattern(spoolex::Pattern* shown) {
    pattern = shown;
}
void PatternEditor::clampSelection() {}
void PatternEditor::updateScrollBars() {}
void PatternEditor::dropPeakCaches() {}
void PatternEditor::repaintView() {}

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
