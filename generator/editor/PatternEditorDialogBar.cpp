#include "generator/editor/PatternEditorDialogBar.h"

#include "generator/editor/PatternEditorParent.h"

bool PatternEditorDialogBar::create(platform::WindowHandle) {
    initialising = false;
    return true;
}

void PatternEditorDialogBar::destroyWindow() {}

intptr_t PatternEditorDialogBar::onMessage(unsigned, uintptr_t, intptr_t) {
    return 0;
}

void PatternEditorDialogBar::refreshRecordSources() {}
void PatternEditorDialogBar::selectRecordSource() {}
void PatternEditorDialogBar::showArmed() {}
void PatternEditorDialogBar::updateViewLabels() {}
void PatternEditorDialogBar::showGrid() {}
