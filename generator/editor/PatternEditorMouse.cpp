// Selection, panning and row reordering with the mouse.
#include <cmath>
#include <cstdlib>
#include <utility>

#include "generator/editor/EditorCommandIds.h"
#include "generator/editor/PatternEditor.h"
#include "generator/machine/Machine.h"

namespace {

// How near (in pixels, exclusive) the pointer must be to grab an edge.
constexpr int32_t edgeGrab = 3;

} // namespace

double PatternEditor::snapTick(double tick) const {
    double step = 0.0;
    const spoolex::GridSettings& g = grid();
    switch (g.snapMode) {
    case 1:
        step = 1.0;
        break;
    case 2:
        step = g.fineTicks;
        break;
    case 3:
        step = static_cast<double>(g.fineTicks) * g.coarseFactor;
        break;
    default:
        return tick;
    }
    // A grid of zero ticks (possible only from song data) has nothing to
    // snap to.
    if (!(step != 0.0))
        return tick;
    return std::floor(tick / step + 0.5) * step;
}

void PatternEditor::clampSelection() {
    if (!pattern)
        return;
    const auto length = static_cast<double>(pattern->length);
    auto clamp = [&](double& value) {
        if (value < 0.0)
            value = 0.0;
        else if (value > length)
            value = length;
        else
            return;
        repaintView();
    };
    clamp(selStart);
    clamp(selEnd);
}

bool PatternEditor::nearSelectionEdge(int32_t x) const {
    return std::abs(x - selLeftPx) < edgeGrab || std::abs(x - selRightPx) < edgeGrab;
}

platform::CursorShape PatternEditor::cursorFor(int32_t x) const {
    if (drag == DragSelStart || drag == DragSelEnd || nearSelectionEdge(x))
        return platform::CursorShape::SizeWestEast;
    if (drag == DragPan)
        return platform::CursorShape::SizeAll;
    if (drag == DragReorder)
        return platform::CursorShape::SizeNorthSouth;
    return platform::CursorShape::Arrow;
}

void PatternEditor::onLeftButtonDown(int32_t x, int32_t y, uintptr_t keyFlags) {
    if (window)
        platform::takeFocus(window);
    spoolex::Take* take = takeAtY(y);
    if (!take)
        return;
    if (keyFlags & platform::mouseShift) {
        // Choosing the take to move leaves the selection as it is.
        currentTake = take;
        reorderRow = rowAtY(y);
        drag = DragReorder;
        repaintView(); // the highlight moves to the chosen row
    } else if (take == currentTake && std::abs(x - selLeftPx) < edgeGrab) {
        drag = DragSelStart;
    } else if (take == currentTake && std::abs(x - selRightPx) < edgeGrab) {
        drag = DragSelEnd;
    } else {
        currentTake = take;
        double p = tickAtX(x);
        if (!(keyFlags & platform::mouseControl))
            p = snapTick(p);
        selStart = selEnd = p;
        clampSelection();
        repaintView();
        drag = DragSelEnd;
    }
    lastMouseX = x;
    lastMouseY = y;
    if (window)
        platform::captureMouse(window);
}

void PatternEditor::onMiddleButtonDown(int32_t x, int32_t y) {
    if (window)
        platform::takeFocus(window);
    drag = DragPan;
    lastMouseX = x;
    lastMouseY = y;
    if (window)
        platform::captureMouse(window);
}

void PatternEditor::onButtonUp() {
    drag = DragNone;
    platform::releaseMouse();
}

// Losing the capture ends the drag where it stands, as a button-up would:
// every step of it (an edge moved, rows swapped and the song marked
// modified) was a finished edit the user saw, so it stays. Undoing them
// instead would take back edits because a box opened or the user switched
// programs.
void PatternEditor::onCaptureLost(platform::WindowHandle takenBy) {
    if (takenBy != window)
        drag = DragNone;
}

bool PatternEditor::dragButtonHeld(uintptr_t keyFlags) const {
    switch (drag) {
    case DragSelStart:
    case DragSelEnd:
    case DragReorder:
        return (keyFlags & platform::mouseLeftButton) != 0;
    case DragPan:
        return (keyFlags & platform::mouseMiddleButton) != 0;
    case DragNone:
        break;
    }
    return true;
}

void PatternEditor::dragSelectionEdge(int32_t x, uintptr_t keyFlags) {
    double p = tickAtX(x);
    if (!(keyFlags & platform::mouseControl))
        p = snapTick(p);
    (drag == DragSelStart ? selStart : selEnd) = p;
    // Dragged across the other edge: the edges swap and the drag goes on
    // with the other one.
    if (selStart > selEnd) {
        std::swap(selStart, selEnd);
        drag = drag == DragSelStart ? DragSelEnd : DragSelStart;
    }
    clampSelection();
    repaintView();
}

void PatternEditor::reorderTo(int32_t row) {
    if (row == -1 || row == reorderRow || !pattern || !machine)
        return;
    // One place per row crossed: the dragged take swaps with its neighbour.
    {
        auto hold = machine->lockAudio();
        std::swap(pattern->takes[static_cast<size_t>(row)],
                  pattern->takes[static_cast<size_t>(reorderRow)]);
    }
    reorderRow = row;
    markSongModified();
    repaintView();
}

void PatternEditor::onMouseMove(int32_t x, int32_t y, uintptr_t keyFlags) {
    // The button went up where we did not hear of it: the drag is over,
    // and this move only hovers.
    if (!dragButtonHeld(keyFlags))
        onButtonUp();
    platform::setCursor(cursorFor(x));
    switch (drag) {
    case DragSelStart:
    case DragSelEnd:
        dragSelectionEdge(x, keyFlags);
        break;
    case DragPan:
        // The content follows the pointer.
        setScrollX(scrollX + (lastMouseX - x));
        setScrollY(scrollY + (lastMouseY - y));
        repaintView();
        break;
    case DragReorder:
        reorderTo(rowAtY(y));
        break;
    case DragNone:
        break;
    }
    lastMouseX = x;
    lastMouseY = y;
}

void PatternEditor::onMouseWheel(int delta, uintptr_t keyFlags) {
    // Without Ctrl the wheel neither zooms nor scrolls.
    if (!(keyFlags & platform::mouseControl))
        return;
    if (delta > 0)
        onCommand(editorcommand::zoomIn);
    else if (delta < 0)
        onCommand(editorcommand::zoomOut);
}
