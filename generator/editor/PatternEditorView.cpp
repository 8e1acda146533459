// The view's coordinates and scroll bars.
#include <algorithm>
#include <climits>
#include <cmath>

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

// The take list grows on the audio thread when a recording starts: every
// read of it here is one brief hold of the machine's lock.
size_t PatternEditor::takeCount() const {
    if (!pattern)
        return 0;
    if (!machine)
        return pattern->takes.size();
    auto hold = machine->lockAudio();
    return pattern->takes.size();
}

spoolex::Take* PatternEditor::takeAtRow(int32_t row) const {
    if (!pattern)
        return nullptr;
    if (!machine)
        return pattern->takeAt(row);
    auto hold = machine->lockAudio();
    return pattern->takeAt(row);
}

int32_t PatternEditor::rowOf(const spoolex::Take& take) const {
    if (!pattern)
        return -1;
    if (!machine)
        return pattern->takeIndex(take);
    auto hold = machine->lockAudio();
    return pattern->takeIndex(take);
}

int32_t PatternEditor::rowAtY(int32_t y) const {
    if (!pattern)
        return -1;
    const auto row = static_cast<int32_t>((static_cast<float>(scrollY) + y) / rowHeight);
    if (row < 0 || static_cast<size_t>(row) >= takeCount())
        return -1;
    return row;
}

spoolex::Take* PatternEditor::takeAtY(int32_t y) const {
    const int32_t row = rowAtY(y);
    return row < 0 ? nullptr : takeAtRow(row);
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
    const double rows = static_cast<double>(takeCount()) * rowHeight;
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

bool PatternEditor::applySnapshotSetting(uintptr_t field, intptr_t value) {
    if (field == SnapshotCurrentTake) {
        const intptr_t row = std::clamp<intptr_t>(value, -1, INT32_MAX);
        currentTake = takeAtRow(static_cast<int32_t>(row));
        repaintView();
        return true;
    }
    const double number = snapshotDouble(value);
    if (!std::isfinite(number))
        return false;
    switch (field) {
    case SnapshotZoom:
        if (!(number > 0.0))
            return false;
        zoom = number;
        break;
    case SnapshotRowHeight:
        if (!(number > 0.0 && number <= 1e6))
            return false;
        rowHeight = static_cast<float>(number);
        break;
    case SnapshotSelStart:
        selStart = number;
        break;
    case SnapshotSelEnd:
        selEnd = number;
        break;
    default:
        return false;
    }
    updateScrollBars();
    return true;
}
