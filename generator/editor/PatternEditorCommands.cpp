// The command table: selection, zoom and row height, the clipboard, the take
// commands, Preview Play, Info and Refresh.
#include <algorithm>
#include <cmath>
#include <new>

#include "generator/editor/AudioClipboard.h"
#include "generator/editor/EditorCommandIds.h"
#include "generator/editor/EditorMenu.h"
#include "generator/editor/PatternEditor.h"
#include "generator/editor/PatternEditorParent.h"
#include "generator/editor/SampleEdits.h"
#include "generator/editor/TakeEditing.h"
#include "generator/machine/Machine.h"
#include "generator/machine/PatternInfo.h"
#include "generator/machine/TakeSamples.h"
#include "generator/transfers/TakeTransfers.h"
#include "platform/Dialogs.h"

namespace cmd = editorcommand;

namespace {

constexpr double sqrt2 = 1.4142135623730951;
constexpr double rowHeightMinimum = 8.0;
// The scroll ranges (W x zoom, take count x rowHeight) are 32-bit.
constexpr double scrollLimit = 2147483647.0;

int32_t scrollPosition(double pixels) {
    if (!(pixels > 0.0))
        return 0;
    return pixels >= scrollLimit ? INT32_MAX : static_cast<int32_t>(pixels);
}

} // namespace

bool PatternEditor::onCommand(uint16_t id) {
    switch (id) {
    case cmd::selectAll:
    case cmd::selectNone:
    case cmd::selectPrefix:
    case cmd::selectSuffix:
        selectCommand(id);
        return true;
    case cmd::zoomIn:
        zoomIn();
        return true;
    case cmd::zoomOut:
        zoomOut();
        return true;
    case cmd::rowHeightUp:
        rowHeightUp();
        return true;
    case cmd::rowHeightDown:
        rowHeightDown();
        return true;
    case cmd::zoomToFitWave:
        zoomToFitWave();
        return true;
    case cmd::zoomSelection:
        zoomSelection();
        return true;
    case cmd::copy:
        copySelection();
        return true;
    case cmd::cut:
        // Nothing would be removed: the clipboard keeps what it holds.
        if (refusedWhileRecorded())
            return true;
        copySelection();
        deleteSelection();
        return true;
    case cmd::paste:
        pasteClipboard();
        return true;
    case cmd::deleteSelection:
        deleteSelection();
        return true;
    case cmd::setActive:
        if (currentTake)
            makeActive(currentTake);
        return true;
    case cmd::clearActive:
        makeActive(nullptr);
        return true;
    case cmd::deleteThis:
        deleteThisTake();
        return true;
    case cmd::previewPlay:
        if (machine)
            machine->togglePreview(pattern, selStart, selEnd);
        return true;
    case cmd::info:
        showInfo();
        return true;
    case cmd::refresh:
    case cmd::refreshKey:
        refreshShownPattern();
        return true;
    case cmd::openMenu:
        openMenu();
        return true;
    case cmd::exportToFile:
        // In the menu and enabled, but it has no handler.
        return true;
    case cmd::importFromFile:
        if (machine)
            spoolex::importFromFile(*machine, pattern, window, stillShowing(nullptr));
        return true;
    case cmd::importFromWavetable:
        if (machine)
            spoolex::importFromWavetable(*machine, pattern, window);
        updateScrollBars();
        return true;
    case cmd::exportToWavetable:
        if (machine)
            spoolex::exportSelectionToWavetable(*machine, pattern, currentTake, selStart, selEnd,
                                                window, stillShowing(currentTake));
        return true;
    case cmd::externalEditor:
        if (machine)
            spoolex::sendToExternalEditor(*machine, pattern, currentTake, window,
                                          stillShowing(currentTake));
        return true;
    }
    return false;
}

bool PatternEditor::isCommandEnabled(uint16_t id) const {
    if (id == cmd::paste)
        return clipboardHasAudio();
    return true;
}

int32_t PatternEditor::clientWidth() const {
    return window ? platform::clientRect(window).right : 0;
}

int32_t PatternEditor::clientHeight() const {
    return window ? platform::clientRect(window).bottom : 0;
}

void PatternEditor::selectCommand(uint16_t id) {
    if (!pattern)
        return;
    const auto length = static_cast<double>(pattern->length);
    switch (id) {
    case cmd::selectAll:
        selStart = 0.0;
        selEnd = length;
        break;
    case cmd::selectNone:
        selStart = selEnd = 0.0;
        break;
    case cmd::selectPrefix:
        selEnd = selStart;
        selStart = 0.0;
        break;
    case cmd::selectSuffix:
        selStart = selEnd;
        selEnd = length;
        break;
    }
    repaintView();
}

void PatternEditor::showViewValues() {
    if (frame)
        frame->bar.updateViewLabels();
}

void PatternEditor::zoomIn() {
    // Zooming stops where the horizontal scroll range would leave 32 bits.
    if (static_cast<double>(std::max(clientWidth(), 1)) * zoom * sqrt2 <= scrollLimit) {
        const int32_t previous = scrollX;
        zoom *= sqrt2;
        updateScrollBars();
        setScrollX(scrollPosition(previous * sqrt2));
    }
    showViewValues();
}

void PatternEditor::zoomOut() {
    // The new position comes from the one shown before: the narrower range
    // has already pulled scrollX in, and scaling that would drift away from
    // what the user was looking at.
    const int32_t previous = scrollX;
    zoom = std::max(zoom / sqrt2, 1.0);
    updateScrollBars();
    setScrollX(scrollPosition(previous / sqrt2));
    showViewValues();
}

void PatternEditor::rowHeightUp() {
    const auto rows = static_cast<double>(std::max<size_t>(takeCount(), 1));
    const auto taller = static_cast<float>(rowHeight * sqrt2);
    // Stops where the vertical scroll range would leave 32 bits.
    if (rows * static_cast<double>(taller) <= scrollLimit) {
        const int32_t previous = scrollY;
        rowHeight = taller;
        updateScrollBars();
        setScrollY(scrollPosition(previous * sqrt2));
    }
    showViewValues();
}

void PatternEditor::rowHeightDown() {
    // As Zoom Out: scaled from the position shown before, then clamped.
    const int32_t previous = scrollY;
    rowHeight = static_cast<float>(std::max(rowHeight / sqrt2, rowHeightMinimum));
    updateScrollBars();
    setScrollY(scrollPosition(previous / sqrt2));
    showViewValues();
}

void PatternEditor::zoomToFitWave() {
    zoom = 1.0;
    // Without takes there is nothing to fit: the row height stays.
    if (const size_t takes = takeCount()) {
        const double fitted =
            std::floor(static_cast<double>(clientHeight()) / static_cast<double>(takes)) - 1.0;
        rowHeight = static_cast<float>(std::max(fitted, rowHeightMinimum));
    }
    updateScrollBars();
    setScrollX(0);
    setScrollY(0);
    showViewValues();
}

void PatternEditor::zoomSelection() {
    if (!pattern || !currentTake || selStart == selEnd)
        return;
    const auto length = static_cast<double>(pattern->length);
    const double width = std::max(clientWidth(), 1);
    // A selection narrower than the 32-bit range can show is widened to it.
    zoom = std::min(length / std::fabs(selEnd - selStart), scrollLimit / width);
    rowHeight = static_cast<float>(clientHeight());
    updateScrollBars();
    setScrollX(scrollPosition(selStart / length * clientWidth() * zoom));
    const int32_t row = std::max(rowOf(*currentTake), 0);
    setScrollY(scrollPosition(row * static_cast<double>(rowHeight)));
    showViewValues();
}

void PatternEditor::copySelection() {
    if (!pattern || !currentTake || !machine || !machine->masterInfo)
        return;
    std::vector<float>& clipboard = audioClipboard();
    clipboard.clear();
    if (selStart >= selEnd)
        return;
    const spoolex::Take& take = *currentTake;
    const FrameRange range =
        selectionFrames(framesPerTickOf(take, *machine->masterInfo), selStart, selEnd);
    const size_t end = std::min<size_t>(range.end, take.frameCount());
    if (end <= range.first)
        return;
    try {
        clipboard.reserve(2 * (end - range.first));
        // A take being recorded is read in short holds of the lock.
        spoolex::TakeSamples samples(*machine, take);
        samples.forEach(2 * size_t{range.first}, 2 * end, [&](const float* values, size_t n) {
            clipboard.insert(clipboard.end(), values, values + n);
        });
    } catch (const std::bad_alloc&) {
        clipboard.clear();
        reportOutOfMemory();
    }
}

void PatternEditor::deleteSelection() {
    if (!pattern || !currentTake || !machine || !machine->masterInfo || !(selStart < selEnd))
        return;
    spoolex::Take& take = *currentTake;
    const FrameRange range =
        selectionFrames(framesPerTickOf(take, *machine->masterInfo), selStart, selEnd);
    if (refusedWhileRecorded())
        return;
    if (range.first < take.frameCount() && range.end > range.first) {
        try {
            spoolex::Samples shorter = withoutFrames(take.samples(), range.first, range.end);
            swapSamples(*machine, take, shorter);
        } catch (const std::bad_alloc&) {
            reportOutOfMemory();
            return;
        }
    }
    selEnd = selStart;
    shownPatternChanged();
}

void PatternEditor::pasteClipboard() {
    const std::vector<float>& clipboard = audioClipboard();
    if (!pattern || !currentTake || clipboard.empty() || !machine || !machine->masterInfo)
        return;
    spoolex::Take& take = *currentTake;
    if (refusedWhileRecorded())
        return;
    const CMasterInfo& timing = *machine->masterInfo;
    try {
        if (take.samples().empty()) {
            spoolex::Samples copy(clipboard.begin(), clipboard.end());
            swapSamples(*machine, take, copy, timing.samplesPerSec);
            selStart = 0.0;
            selEnd = static_cast<double>(pattern->length);
        } else {
            const double f = framesPerTickOf(take, timing);
            if (!(f > 0.0) || !std::isfinite(f))
                return;
            // Delete first (nothing for an empty selection), then insert.
            spoolex::Samples edited;
            const bool deleting = selStart < selEnd;
            if (deleting) {
                const FrameRange range = selectionFrames(f, selStart, selEnd);
                edited = withoutFrames(take.samples(), range.first, range.end);
                selEnd = selStart;
            }
            const spoolex::Samples& base = deleting ? edited : take.samples();
            spoolex::Samples pasted = withInserted(base, frameAt(f * selStart), clipboard);
            swapSamples(*machine, take, pasted);
            selEnd = selStart + static_cast<double>(clipboard.size() / 2) / f;
            // Audio pasted near the end reaches past the pattern; the
            // selection (and a Set Active after it) stays inside.
            clampSelection();
        }
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
        return;
    }
    shownPatternChanged();
}

void PatternEditor::makeActive(spoolex::Take* take) {
    if (!pattern || !machine || !(selEnd > selStart))
        return;
    {
        auto hold = machine->lockAudio();
        pattern->assignTake(selStart, selEnd, take);
        pattern->tidyActiveTakes();
        machine->resyncPlayers(*pattern);
        pattern->invalidateOverview();
    }
    markSongModified();
    repaintView();
}

std::function<bool()> PatternEditor::stillShowing(const spoolex::Take* take) const {
    std::weak_ptr<const char> alive = lifetime;
    const uint64_t shownThen = shownChanges;
    return [this, alive, shownThen, take] {
        if (alive.expired() || shownChanges != shownThen || !pattern || !machine)
            return false;
        if (!take)
            return true;
        // Recording may add a take on the audio thread.
        auto hold = machine->lockAudio();
        for (const auto& held : pattern->takes)
            if (held.get() == take)
                return true;
        return false;
    };
}

void PatternEditor::deleteThisTake() {
    if (!pattern || !currentTake || !machine)
        return;
    spoolex::Take* doomed = currentTake;
    const std::function<bool()> stillThere = stillShowing(doomed);
    if (platform::messageBox(window, "Are you sure?", nullptr, platform::MessageIcon::Question,
                             platform::MessageButtons::YesNo) != platform::MessageAnswer::Yes ||
        !stillThere())
        return;
    // Freed after the lock is released: the take (unless a fading player
    // still reads it) and whatever recording wrote into it.
    spoolex::Released released;
    std::shared_ptr<spoolex::Take> removed;
    {
        auto hold = machine->lockAudio();
        machine->stopRecordingInto(*doomed, released);
        removed = pattern->removeTake(*doomed);
        pattern->invalidateOverview();
    }
    dropPeakCaches();
    if (currentTake == doomed)
        currentTake = nullptr;
    markSongModified();
    repaintView();
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

void PatternEditor::refreshShownPattern() {
    if (!pattern)
        return;
    shownPatternChanged();
    if (machine) {
        auto hold = machine->lockAudio();
        pattern->invalidateOverview();
    }
    // The host's own views of the pattern are redrawn too.
    if (window)
        platform::invalidateWithChildren(platform::topLevelOf(window));
}

void PatternEditor::openMenu() {
    if (!window)
        return;
    int x = 0;
    int y = 0;
    platform::cursorPosition(x, y);
    // The view owns the pop-up, so the chosen item arrives here as a command.
    platform::openPopupMenu(window, editorMenuTemplate, 0,
                            editorMenuWithStates([this](unsigned id) {
                                return isCommandEnabled(static_cast<uint16_t>(id));
                            }),
                            x, y);
}

void PatternEditor::shownPatternChanged() {
    if (!pattern)
        return;
    if (machine) {
        // The overview is also dropped by the audio thread when a recording
        // ends.
        auto hold = machine->lockAudio();
        pattern->invalidateOverview();
    }
    patternChanged(*pattern);
}

void PatternEditor::markSongModified() {
    if (hostServices)
        hostServices->markSongModified();
}

bool PatternEditor::refusedWhileRecorded() {
    if (!machine || !currentTake || !isRecorded(*machine, *currentTake))
        return false;
    platform::messageBox(window,
                         "This take is being recorded. It can be changed when the recording "
                         "stops.",
                         nullptr, platform::MessageIcon::Information);
    return true;
}

void PatternEditor::reportOutOfMemory() {
    platform::messageBox(window, "Not enough memory for this edit.", nullptr,
                         platform::MessageIcon::Error);
}
