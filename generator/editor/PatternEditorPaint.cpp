// Drawing the view.
#include "generator/core/Machine.h"
#include "generator/editor/PatternEditor.h"

PatternEditor::PatternEditor() = default;

void PatternEditor::paint(platform::Surface&, int32_t, int32_t) {}

void PatternEditor::dropPeakCaches() {
    peakCaches.clear();
}

void PatternEditor::repaintView() {
    if (window)
        platform::invalidate(window);
}

void PatternEditor::redrawNow() {
    if (!window)
        return;
    platform::invalidate(window, true);
    platform::updateNow(window);
}

void PatternEditor::onTimer(unsigned) {
    if (redrawRequested.exchange(false, std::memory_order_relaxed))
        repaintView();
}

void PatternEditor::patternChanged(spoolex::Pattern& changed) {
    if (&changed != pattern)
        return;
    dropPeakCaches();
    updateScrollBars();
    repaintView();
}

void PatternEditor::patternLengthChanged(spoolex::Pattern& changed) {
    if (&changed != pattern)
        return;
    clampSelection();
    updateScrollBars();
}
