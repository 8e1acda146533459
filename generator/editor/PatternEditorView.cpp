// The view's coordinates and scroll bars.
#include "generator/core/Machine.h"
#include "generator/editor/PatternEditor.h"

float PatternEditor::pxPerTick() const {
    if (!pattern || !window)
        return 0.0f;
    const platform::PixelRect client = platform::clientRect(window);
    return static_cast<float>(client.right * zoom) / static_cast<float>(pattern->length);
}

double PatternEditor::tickAtX(int32_t x) const {
    if (!pattern || !window)
        return 0.0;
    const platform::PixelRect client = platform::clientRect(window);
    return ((static_cast<float>(scrollX) + x) / (client.right * zoom)) * pattern->length;
}

int32_t PatternEditor::rowAtY(int32_t y) const {
    if (!pattern)
        return -1;
    const auto row = static_cast<int32_t>((static_cast<float>(scrollY) + y) / rowHeight);
    if (row < 0 || static_cast<size_t>(row) >= pattern->takes.size())
        return -1;
    return row;
}

spoolex::Take* PatternEditor::takeAtY(int32_t y) const {
    const int32_t row = rowAtY(y);
    return row < 0 ? nullptr : pattern->takes[static_cast<size_t>(row)].get();
}

void PatternEditor::updateScrollBars() {
    // Filled in with the view's drawing.
}

void PatternEditor::setScrollX(int32_t position) {
    if (window)
        scrollX = platform::setScrollPosition(window, platform::ScrollBar::Horizontal, position);
    repaintView();
}

void PatternEditor::setScrollY(int32_t position) {
    if (window)
        scrollY = platform::setScrollPosition(window, platform::ScrollBar::Vertical, position);
    repaintView();
}

void PatternEditor::onScroll(platform::ScrollBar, unsigned) {}
