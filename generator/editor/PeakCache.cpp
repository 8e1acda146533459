#include "generator/editor/PeakCache.h"

#include <algorithm>
#include <cmath>

#include "generator/editor/TakeSummary.h"
#include "generator/machine/TakeSamples.h"

namespace {

int64_t frameAt(double position, int64_t frames) {
    if (!(position > 0.0))
        return 0;
    return position >= static_cast<double>(frames) ? frames : static_cast<int64_t>(position);
}

float clampSample(float v) {
    return std::clamp(v, -32768.0f, 32768.0f);
}

} // namespace

uint32_t PeakCache::countColumns(int64_t frames, double spp) {
    if (frames <= 0 || !(spp > 0.0))
        return 0;
    const double count = std::ceil(static_cast<double>(frames) / spp);
    return count >= 4294967295.0 ? 4294967295u : static_cast<uint32_t>(count);
}

void PeakCache::computeColumn(uint32_t c, const TakeSummary& summary, spoolex::TakeSamples& samples,
                              const float* previous, float* out) const {
    const int64_t frames = summary.frames();
    const int64_t a = frameAt(static_cast<double>(c) * samplesPerPixel, frames);
    const int64_t b = frameAt(static_cast<double>(c + 1ull) * samplesPerPixel, frames);
    if (a >= b) {
        for (int i = 0; i < 4; ++i)
            out[i] = previous ? previous[i] : 0.0f;
        return;
    }
    float e[4] = {1e20f, -1e20f, 1e20f, -1e20f};
    summary.fold(samples, a, b, e);
    for (int i = 0; i < 4; ++i)
        out[i] = clampSample(e[i]);
}

void PeakCache::update(double spp, uint32_t first, uint32_t end, const TakeSummary& summary,
                       spoolex::TakeSamples& samples) {
    if (spp != samplesPerPixel) {
        samplesPerPixel = spp;
        columnCount = countColumns(summary.frames(), spp);
        columns.clear();
        firstColumn = 0;
    }
    end = std::min(end, columnCount);
    if (first >= end || (holds(first) && holds(end - 1)))
        return;
    // An empty first column repeats the last column before it that has
    // frames: walk back to it (a few steps: pixels narrower than a frame).
    float previous[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool havePrevious = false;
    for (uint32_t c = first; c > 0;) {
        --c;
        const int64_t a = frameAt(static_cast<double>(c) * spp, summary.frames());
        const int64_t b = frameAt(static_cast<double>(c + 1ull) * spp, summary.frames());
        if (a < b) {
            computeColumn(c, summary, samples, nullptr, previous);
            havePrevious = true;
            break;
        }
    }
    std::vector<float> window(4 * size_t{end - first});
    const float* before = havePrevious ? previous : nullptr;
    for (uint32_t c = first; c < end; ++c) {
        float* out = window.data() + 4 * size_t{c - first};
        computeColumn(c, summary, samples, before, out);
        before = out;
    }
    samples.release();
    columns.swap(window);
    firstColumn = first;
}
