// The min/max columns of one take at one scale, as the view draws them.
//
// Column c covers frames trunc(c x spp) up to trunc((c + 1) x spp) (at most
// the take's end) and holds minL, maxL, minR, maxR of those frames, each
// clamped to +-32768. A column with no frame (a pixel narrower than a
// frame) repeats the column before it; the first column then shows zeros.
//
// Only the columns a paint needs are computed (a window of them), from the
// take's summary and the raw frames at column edges, so a zoom change on a
// long take costs the visible columns, not the whole take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TakeSummary;
namespace spoolex {
class TakeSamples;
}

struct PeakCache {
    // Four floats per column of the window: minL, maxL, minR, maxR.
    std::vector<float> columns;
    // The scale the columns were built for; 0 in a new entry.
    double samplesPerPixel = 0.0;
    // All columns of the take at this scale, and the first one held.
    uint32_t columnCount = 0;
    uint32_t firstColumn = 0;

    // The take's column count at spp frames per pixel: ceil(frames / spp),
    // 0 for a take without frames or a scale that is not positive, and
    // never past what 32 bits hold.
    static uint32_t countColumns(int64_t frames, double spp);

    // Makes columns first .. end - 1 (within columnCount) available for spp.
    void update(double spp, uint32_t first, uint32_t end, const TakeSummary& summary,
                spoolex::TakeSamples& samples);
    bool holds(uint32_t c) const {
        return c >= firstColumn && c - firstColumn < columns.size() / 4;
    }
    const float* column(uint32_t c) const { return columns.data() + 4 * size_t{c - firstColumn}; }

private:
    void computeColumn(uint32_t c, const TakeSummary& summary, spoolex::TakeSamples& samples,
                       const float* previous, float* out) const;
};
