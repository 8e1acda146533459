// The view's coordinates and scroll bars.
#include <algorithm>
#include <climits>

#include "generator/editor/PatternEditor.h"
#include "generator/editor/SnapshotSettings.h"
#include "generator/machine/Machine.h"

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

namespace {

// A pixel extent as a scroll range end: never past what 32 bits hold, so a
// deep zoom or very many rows pin the bar instead of wrapping it.
int32_t rangeEnd(double extent) {
    if (!(extent > 0.0))
        return 0;
    return extent >= 2147483647.0 ? 2147483647 : static_cast<int32_t>(extent);
}

} // namespace

void PatternEditor::updateScrollBars() {
    if (!pattern || !window)
        return;
    const platform::PixelRect client = platform::clientRect(window);
    const int32_t width = client.right;
    const int32_t height = client.bottom;
    const int32_t wide = rangeEnd(width * zoom);
    // The horizontal bar ends one short of the extent, the vertical one not.
    platform::setScrollRange(window, platform::ScrollBar::Horizontal, 0, std::max(wide - 1, 0),
                             static_cast<uint32_t>(std::max(width, 0)));
    size_t takes = 0;
    if (machine) {
        // Recording adds takes on the audio thread.
        auto hold = machine->lockAudio();
        takes = pattern->takes.size();
    }
    const double rows = static_cast<double>(takes) * rowHeight;
    platform::setScrollRange(window, platform::ScrollBar::Vertical, 0, rangeEnd(rows),
                             static_cast<uint32_t>(std::max(height, 0)));
    // The system kept the positions inside the new ranges.
    scrollX = platform::scrollState(window, platform::ScrollBar::Horizontal).position;
    scrollY = platform::scrollState(window, platform::ScrollBar::Vertical).position;
    repaintView();
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

void PatternEditor::onScroll(platform::ScrollBar bar, unsigned code) {
    if (!window)
        return;
    const platform::ScrollState state = platform::scrollState(window, bar);
    int64_t position = state.position;
    switch (code) {
    case platform::scrollLineUp:
        position -= 1;
        break;
    case platform::scrollLineDown:
        position += 1;
        break;
    case platform::scrollPageUp:
        position -= state.page;
        break;
    case platform::scrollPageDown:
        position += state.page;
        break;
    case platform::scrollThumbTrack:
        position = state.trackPosition;
        break;
    case platform::scrollTop:
        position = state.minimum;
        break;
    case platform::scrollBottom:
        position = state.maximum;
        break;
    default:
        break;
    }
    position = std::clamp<int64_t>(position, INT32_MIN, INT32_MAX);
    const int32_t now = platform::setScrollPosition(window, bar, static_cast<int32_t>(position));
    (bar == platform::ScrollBar::Horizontal ? scrollX : scrollY) = now;
    platform::defaultHandling(window,
                              bar == platform::ScrollBar::Horizontal
                                  ? platform::messageHorizontalScroll
                                  : platform::messageVerticalScroll,
                              code, 0);
    repaintView();
}

void PatternEditor::applySnapshotSettings(const SnapshotSettings& settings) {
    if (settings.zoom > 0.0)
        zoom = settings.zoom;
    if (settings.rowHeight > 0.0f)
        rowHeight = settings.rowHeight;
    selStart = settings.selStart;
    selEnd = settings.selEnd;
    currentTake = nullptr;
    if (pattern && settings.currentTake >= 0 &&
        static_cast<size_t>(settings.currentTake) < pattern->takes.size())
        currentTake = pattern->takes[static_cast<size_t>(settings.currentTake)].get();
    updateScrollBars();
}
