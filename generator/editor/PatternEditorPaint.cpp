// Drawing the view: background, tick columns, selection, one waveform row
// per take with its separator, then the active-take outlines, in that order.
#include <algorithm>
#include <cmath>
#include <vector>

#include "generator/editor/PatternEditor.h"
#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/TakeSamples.h"
#include "generator/model/TimeUnits.h"

namespace {

constexpr unsigned timerMarchingFrame = 2;
constexpr unsigned timerRecordingRefresh = 3;

// The outlines of the active-take stretches: red, half transparent.
constexpr uint32_t outlineColour = 0x80FF0000;
constexpr float outlineWidth = 4.0f;

struct Theme {
    uint32_t background;
    uint32_t tickFine;
    uint32_t tickCoarse;
    uint32_t selection;
    uint32_t text;
};

Theme fetchTheme(CMICallbacks* host) {
    auto colour = [host](const char* name) {
        return platform::opaqueFromBgr(host ? static_cast<uint32_t>(host->themeColour(name)) : 0u);
    };
    Theme theme{colour("PE BG"), colour("PE BG Dark"), colour("PE BG Very Dark"),
                colour("PE Sel BG"), colour("PE Text")};
    theme.selection = (theme.selection & 0x00FFFFFFu) | 0xC8000000u;
    return theme;
}

// What the paint reads of the pattern, taken under one short hold: the
// audio thread may add a take or change the list while it records.
struct PatternSnapshot {
    int32_t length = 0;
    std::vector<spoolex::Take*> takes;
    std::vector<spoolex::ActiveTakeEntry> activeTakes;
};

PatternSnapshot snapshotOf(spoolex::mi& machine, const spoolex::Pattern& pattern) {
    PatternSnapshot snapshot;
    auto hold = machine.lockAudio();
    snapshot.length = pattern.length;
    snapshot.takes.reserve(pattern.takes.size());
    for (const auto& take : pattern.takes)
        snapshot.takes.push_back(take.get());
    snapshot.activeTakes = pattern.activeTakes;
    return snapshot;
}

// A float pixel position as an integer one, as the system truncates it;
// positions past 32 bits (a deep zoom) are pinned rather than undefined.
int32_t toPixel(float v) {
    if (!(v > -2147483648.0f))
        return v != v ? 0 : INT32_MIN;
    return v >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(v);
}

} // namespace

PatternEditor::PatternEditor() = default;

void PatternEditor::paint(platform::Surface& surface, int32_t width, int32_t height) {
    const platform::PixelRect r = surface.paintRect();
    const Theme theme = fetchTheme(hostServices);
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    surface.fillRect(0.0f, 0.0f, w, h, theme.background);
    if (!pattern || !machine)
        return;
    const PatternSnapshot shown = snapshotOf(*machine, *pattern);
    if (shown.length <= 0)
        return;
    const float ppt = static_cast<float>(width * zoom) / static_cast<float>(shown.length);

    paintTickColumns(surface, r, ppt, shown.length, h, theme.tickFine, theme.tickCoarse);

    // Row tops, accumulated in float as the rows are walked.
    std::vector<float> rowTops(shown.takes.size());
    float top = -static_cast<float>(scrollY);
    for (size_t i = 0; i < rowTops.size(); ++i, top += rowHeight)
        rowTops[i] = top;
    auto rowTopOf = [&](const spoolex::Take* take) {
        for (size_t i = 0; i < shown.takes.size(); ++i)
            if (shown.takes[i] == take)
                return rowTops[i];
        return 0.0f;
    };

    if (currentTake) {
        const float y = rowTopOf(currentTake);
        const float x1 = static_cast<float>(ppt * selStart) - static_cast<float>(scrollX);
        const float selWidth = static_cast<float>(selEnd - selStart) * ppt + 1.0f;
        selLeftPx = toPixel(x1);
        selRightPx = toPixel(x1 + selWidth);
        const int64_t bottom = int64_t{toPixel(rowHeight)} + toPixel(y);
        marchingFrame.rect = {
            0, toPixel(y), width,
            static_cast<int32_t>(std::clamp<int64_t>(bottom, INT32_MIN, INT32_MAX))};
        if (!(static_cast<float>(r.left) > x1 + selWidth) && !(x1 > static_cast<float>(r.right)))
            surface.fillRect(x1, y, selWidth, rowHeight, theme.selection);
    } else {
        marchingFrame.rect = {};
    }

    for (size_t i = 0; i < shown.takes.size(); ++i) {
        const float y = rowTops[i];
        if (!(y + rowHeight >= 0.0f && y < h))
            continue;
        paintTakeRow(surface, r, *shown.takes[i], ppt, toPixel(y), toPixel(rowHeight), theme.text);
        surface.fillRect(0.0f, y + rowHeight, w, 2.0f, theme.background);
    }

    for (size_t i = 0; i < shown.activeTakes.size(); ++i) {
        const spoolex::ActiveTakeEntry& entry = shown.activeTakes[i];
        const float x1 = static_cast<float>(ppt * entry.startTick) - static_cast<float>(scrollX);
        const float x2 = i + 1 < shown.activeTakes.size()
                             ? static_cast<float>(ppt * shown.activeTakes[i + 1].startTick) -
                                   static_cast<float>(scrollX)
                             : w;
        if (x2 < 0.0f)
            continue;
        if (x1 >= w)
            break;
        const float stretch = std::max(x2 - x1 - 4.0f, 1.0f);
        // An outline wholly outside the paint rectangle (pen included)
        // would not be seen.
        const float penHalf = outlineWidth / 2.0f;
        if (x1 + 2.0f + stretch + penHalf < static_cast<float>(r.left) ||
            x1 + 2.0f - penHalf > static_cast<float>(r.right))
            continue;
        if (!entry.take)
            surface.drawEllipse(x1 + 2.0f, 2.0f, stretch, h - 4.0f, outlineWidth, outlineColour);
        else
            surface.drawRect(x1 + 2.0f, rowTopOf(entry.take) + 2.0f, stretch, rowHeight - 4.0f,
                             outlineWidth, outlineColour);
    }
}

void PatternEditor::paintTickColumns(platform::Surface& surface, const platform::PixelRect& r,
                                     float ppt, int32_t length, float h, uint32_t fineColour,
                                     uint32_t coarseColour) const {
    // Grid values below 1 come only from song data: drawn as 1.
    const int64_t fine = std::max(grid().fineTicks, 1);
    const int64_t coarse = fine * std::max(grid().coarseFactor, 1);
    if (!(ppt > 0.0f))
        return;
    // Only the ticks whose column can meet the paint rectangle.
    const double firstTick = std::floor((static_cast<double>(r.left) + scrollX) / ppt) - 1.0;
    const double endTick = std::ceil((static_cast<double>(r.right) + scrollX) / ppt) + 1.0;
    const auto t0 = static_cast<int64_t>(std::clamp(firstTick, 0.0, static_cast<double>(length)));
    const auto t1 = static_cast<int64_t>(std::clamp(endTick, 0.0, static_cast<double>(length)));
    for (int64_t t = t0; t < t1; ++t) {
        const float x = static_cast<float>(t) * ppt - static_cast<float>(scrollX);
        if (static_cast<float>(r.left) > x + ppt || x > static_cast<float>(r.right))
            continue;
        if (t % coarse == 0)
            surface.fillRect(x, 0.0f, ppt, h, coarseColour);
        else if (t % fine == 0)
            surface.fillRect(x, 0.0f, ppt, h, fineColour);
    }
}

double PatternEditor::samplesPerPixel(const spoolex::Take& take, float ppt) const {
    if (!machine || !machine->masterInfo)
        return 0.0;
    const CMasterInfo& timing = *machine->masterInfo;
    return spoolex::rateRatio(take.sampleRate, timing.samplesPerSec) *
           spoolex::samplesPerTick(timing) / ppt;
}

void PatternEditor::paintTakeRow(platform::Surface& surface, const platform::PixelRect& r,
                                 const spoolex::Take& take, float ppt, int32_t top, int32_t height,
                                 uint32_t colour) {
    const double spp = samplesPerPixel(take, ppt);
    const int32_t x0 = -scrollX;
    // The columns of pixels R.left .. R.right - 1.
    const int64_t wantFirst = std::max<int64_t>(int64_t{r.left} - x0, 0);
    const int64_t wantEnd = std::max<int64_t>(int64_t{r.right} - x0, 0);
    spoolex::TakeSamples samples(*machine, take);
    // Built once per take until the next change notification.
    auto found = summaries.find(&take);
    if (found == summaries.end()) {
        found = summaries.emplace(&take, TakeSummary()).first;
        found->second.build(samples);
    }
    const TakeSummary& summary = found->second;
    PeakCache& cache = peakCaches[&take];
    const auto limit = static_cast<int64_t>(UINT32_MAX);
    cache.update(spp, static_cast<uint32_t>(std::min(wantFirst, limit)),
                 static_cast<uint32_t>(std::min(wantEnd, limit)), summary, samples);
    samples.release();

    const float s = static_cast<float>(height) * 0.5f * (1.0f / 65536.0f);
    const int64_t yL = int64_t{top} + height / 4;
    const int64_t yR = int64_t{top} + 3 * int64_t{height} / 4;
    const int64_t end = std::min<int64_t>(r.right, int64_t{r.left} + cache.columnCount);
    for (int64_t x = r.left; x < end; ++x) {
        const int64_t c = x - x0;
        if (c < 0)
            continue;
        if (c >= cache.columnCount)
            break;
        if (!cache.holds(static_cast<uint32_t>(c)))
            continue;
        const float* v = cache.column(static_cast<uint32_t>(c));
        const float px = static_cast<float>(x) - 0.5f;
        const float pL = static_cast<float>(yL) - s * v[0];
        const float qL = static_cast<float>(yL) - s * v[1];
        surface.fillRect(px, std::min(pL, qL), 1.0f, std::fabs(qL - pL) + 1.0f, colour);
        const float pR = static_cast<float>(yR) - s * v[2];
        const float qR = static_cast<float>(yR) - s * v[3];
        surface.fillRect(px, std::min(pR, qR), 1.0f, std::fabs(qR - pR) + 1.0f, colour);
    }
}

void PatternEditor::dropPeakCaches() {
    peakCaches.clear();
    // The recording refresh knows that only the take being recorded
    // changed: the other summaries stay (an hour-long take's costs a read
    // of the whole take).
    if (onlyChangedTake)
        summaries.erase(onlyChangedTake);
    else
        summaries.clear();
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

void PatternEditor::drawMarchingFrame() {
    MarchingFrame& frame = marchingFrame;
    frame.phase = (frame.phase + 1) % 8;
    // A hidden editor (the host shows another view) draws nothing.
    if (!frame.owner || !platform::isShowing(frame.owner))
        return;
    const platform::PixelRect rect = frame.rect;
    if (!(rect.right > rect.left && rect.bottom > rect.top))
        return;
    const int32_t t = frame.thickness;
    const platform::PixelRect edges[4] = {
        {rect.left, rect.top, rect.right, rect.top + t},       // top
        {rect.left, rect.top, rect.left + t, rect.bottom},     // left
        {rect.left, rect.bottom - t, rect.right, rect.bottom}, // bottom
        {rect.right - t, rect.top, rect.right, rect.bottom}};  // right
    platform::fillPatternOnWindow(frame.owner, frame.brush, edges, 4, frame.phase, 0,
                                  platform::opaqueFromBgr(frame.colourB),
                                  platform::opaqueFromBgr(frame.colourA));
}

void PatternEditor::refreshWhileRecording() {
    if (!machine || !spoolex::redrawWhileRecording())
        return;
    const spoolex::RecordCommand running = machine->runningRecording();
    spoolex::Pattern* recorded = running.sequence ? running.pattern : nullptr;
    if (!recorded)
        return;
    onlyChangedTake = running.take.get();
    recorded->notifyPatternChanged();
    onlyChangedTake = nullptr;
    recorded->invalidateOverview();
    if (window)
        platform::invalidateWithChildren(platform::topLevelOf(window));
}

void PatternEditor::onTimer(unsigned id) {
    // A redraw asked for by another thread (a recording that ended, a new
    // tempo) is carried out here, on the user-interface side. A finished
    // take changed the samples: the shown pattern's caches go.
    if (machine && machine->takeRedrawRequest()) {
        if (pattern)
            patternChanged(*pattern);
        redrawNow();
    }
    if (id == timerMarchingFrame) {
        drawMarchingFrame();
    } else if (id == timerRecordingRefresh) {
        // Recordings the audio thread started used up ready take objects.
        if (machine)
            machine->prepareForAudio();
        refreshWhileRecording();
    }
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
