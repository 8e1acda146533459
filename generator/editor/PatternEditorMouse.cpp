// Selection, panning and row reordering with the mouse.
#include "generator/core/Machine.h"
#include "generator/editor/PatternEditor.h"

double PatternEditor::snapTick(double tick) const {
    return tick;
}

void PatternEditor::clampSelection() {}

void PatternEditor::onLeftButtonDown(int32_t, int32_t, uintptr_t) {}

void PatternEditor::onMiddleButtonDown(int32_t, int32_t) {}

void PatternEditor::onButtonUp() {
    drag = DragNone;
}

void PatternEditor::onMouseMove(int32_t, int32_t, uintptr_t) {}

void PatternEditor::onMouseWheel(int, uintptr_t) {}
