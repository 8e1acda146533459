// The pattern box: a one-colour waveform of what the pattern plays, one
// pixel row per `scale` ticks, with a line where the active take changes.
#include "generator/machine/PatternBox.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "generator/machine/Machine.h"
#include "generator/machine/PatternBoxDevice.h"
#include "generator/machine/TakeSamples.h"
#include "generator/model/TimeUnits.h"

namespace spoolex {

namespace {

PatternBoxDeviceAdapter installedAdapter = nullptr;

// A bitmap larger than this is not built: the host asked for an absurd
// scale, and the box keeps only its take-change lines.
constexpr size_t largestBitmapBytes = size_t{64} << 20;

// The minimum and maximum of both channels of frames frame0 .. frame1 - 1.
void poolFrames(TakeSamples& samples, int64_t frame0, int64_t frame1, float& low, float& high) {
    float e[4] = {low, high, low, high};
    samples.forEach(static_cast<size_t>(2 * frame0), static_cast<size_t>(2 * frame1),
                    [&e](const float* p, size_t n) { foldFrames(p, n, e); });
    low = std::min(e[0], e[2]);
    high = std::max(e[1], e[3]);
}

void drawEntry(mi& machine, PatternOverview& overview, const Take& take, double start, double end,
               int32_t firstRow, int32_t lastRow, float scale) {
    const double f = framesPerTick(rateRatio(take.sampleRate, machine.masterInfo->samplesPerSec),
                                   samplesPerTick(*machine.masterInfo));
    const auto n = static_cast<int64_t>(take.frameCount());
    const int32_t width = overview.width();
    TakeSamples samples(machine, take);
    for (int32_t r = firstRow; r < lastRow; ++r) {
        const double t0 = std::max(start, static_cast<double>(r) * scale);
        const double t1 = std::min(end, static_cast<double>(r + 1) * scale);
        const auto frame0 = static_cast<int64_t>(t0 * f);
        const auto frame1 = static_cast<int64_t>(t1 * f);
        if (frame0 >= frame1)
            continue;
        if (frame0 >= n)
            break;
        float low = 1e20f;
        float high = -1e20f;
        poolFrames(samples, frame0, frame1, low, high);
        const int32_t x0 = overviewColumn(low, width);
        const int32_t x1 = overviewColumn(high, width);
        overview.setSpan(r, std::min(x0, x1), std::max(x0, x1));
    }
}

} // namespace

void setPatternBoxDeviceAdapter(PatternBoxDeviceAdapter adapter) {
    installedAdapter = adapter;
}

void rebuildOverview(mi& machine, Pattern& pattern, int32_t width, float scale) {
    PatternOverview& overview = pattern.overview;
    overview.clear();
    // The list and the takes it names, as they are now: recording changes
    // the list on the audio thread.
    std::vector<ActiveTakeEntry> entries;
    std::vector<std::shared_ptr<Take>> named;
    int32_t length = 0;
    {
        auto hold = machine.lockAudio();
        entries = pattern.activeTakes;
        length = pattern.length;
        for (const ActiveTakeEntry& entry : entries)
            if (entry.take)
                named.push_back(entry.take->shared_from_this());
    }
    if (!(scale > 0.0f) || !std::isfinite(scale)) {
        // A host scale that counts no rows: an empty picture, remembered
        // for that width and scale so it is not rebuilt at every paint.
        overview.reset(width, 0, scale);
        return;
    }
    const int32_t rows = overviewRowCount(length, scale);
    const int64_t stride = (int64_t{std::max(width, 0)} + 15) / 16 * 2;
    try {
        if (static_cast<size_t>(stride) * static_cast<size_t>(rows) > largestBitmapBytes)
            throw std::bad_alloc();
        overview.reset(width, rows, scale);
    } catch (const std::bad_alloc&) {
        overview.reset(width, 0, scale);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const double start = entries[i].startTick;
        const double end = i + 1 < entries.size() ? entries[i + 1].startTick : length;
        // Limited to the rows first, so the conversions cannot overflow.
        const auto firstRow =
            static_cast<int64_t>(std::min<double>(std::floor(start / scale), rows));
        const auto ceilingRow =
            static_cast<int64_t>(std::min<double>(std::ceil(end / scale), rows));
        if (firstRow >= rows)
            break;
        const auto lastRow = static_cast<int32_t>(std::min<int64_t>(ceilingRow, rows));
        overview.addBoundaryRow(static_cast<int32_t>(firstRow));
        if (entries[i].take && machine.masterInfo && overview.width() > 0)
            drawEntry(machine, overview, *entries[i].take, start, end,
                      static_cast<int32_t>(firstRow), lastRow, scale);
    }
    overview.tidyBoundaryRows();
}

// User-interface thread (extension slot 21).
void miex::paintPatternBox(const PatternBoxRequest* request) {
    try {
        if (!request || !owner)
            return;
        Pattern* pattern = owner->findPattern(request->pattern);
        if (!pattern)
            return;
        PatternOverview& overview = pattern->overview;
        if (!overview.builtFor(request->width, request->scale))
            rebuildOverview(*owner, *pattern, request->width, request->scale);
        if (!installedAdapter || !owner->callbacks)
            return;
        const auto lineColour = static_cast<uint32_t>(owner->callbacks->themeColour("SE BG Dark"));
        const auto waveColour =
            static_cast<uint32_t>(owner->callbacks->themeColour("SE BG Very Dark"));
        const PatternBoxRequest box = *request;
        installedAdapter(box.deviceContext, [&](PatternBoxDevice& device) {
            for (int32_t b : overview.boundaryRows()) {
                if (b >= box.height)
                    break;
                device.fillRect(box.left + 1, box.top + b, box.left + box.width - 1,
                                box.top + b + 1, lineColour);
            }
            if (overview.width() > 0 && overview.rows() > 0)
                device.paintMask(box.left, box.top, box.width, box.height, overview.bitmap(),
                                 overview.width(), overview.rows(), overview.stride(), waveColour);
        });
    } catch (...) {
        // Nothing crosses the host's slot; a box left unpainted is harmless.
    }
}

} // namespace spoolex
