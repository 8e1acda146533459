#include "generator/model/PatternOverview.h"

#include <algorithm>
#include <cmath>

namespace spoolex {

void PatternOverview::clear() {
    std::vector<uint8_t>().swap(bits);
    std::vector<int32_t>().swap(boundaries);
    bitmapWidth = 0;
    bitmapRows = 0;
    rowBytes = 0;
    builtScale = 0.0f;
    built = false;
    stale.store(false, std::memory_order_relaxed);
}

bool PatternOverview::builtFor(int32_t width, float scale) const {
    // A scale that is not a number still names the picture made for it.
    const bool sameScale = builtScale == scale || (std::isnan(builtScale) && std::isnan(scale));
    return !empty() && sameScale && bitmapWidth == std::max(width, 0);
}

void PatternOverview::reset(int32_t width, int32_t rows, float scale) {
    clear();
    bitmapWidth = std::max(width, 0);
    bitmapRows = std::max(rows, 0);
    rowBytes = static_cast<int32_t>((int64_t{bitmapWidth} + 15) / 16 * 2);
    bits.assign(static_cast<size_t>(rowBytes) * static_cast<size_t>(bitmapRows), 0);
    builtScale = scale;
    built = true;
}

void PatternOverview::setSpan(int32_t row, int32_t x0, int32_t x1) {
    if (row < 0 || row >= bitmapRows)
        return;
    uint8_t* line = bits.data() + static_cast<size_t>(row) * static_cast<size_t>(rowBytes);
    for (int32_t x = std::max(x0, 0); x <= x1 && x < bitmapWidth; ++x)
        line[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));
}

bool PatternOverview::bit(int32_t row, int32_t x) const {
    if (row < 0 || row >= bitmapRows || x < 0 || x >= bitmapWidth)
        return false;
    return bits[static_cast<size_t>(row) * static_cast<size_t>(rowBytes) +
                static_cast<size_t>(x >> 3)] &
           (0x80u >> (x & 7));
}

void PatternOverview::addBoundaryRow(int32_t row) {
    boundaries.push_back(row);
}

void PatternOverview::tidyBoundaryRows() {
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());
}

int32_t overviewRowCount(int32_t length, float scale) {
    const float rows = std::ceil(static_cast<float>(length) / scale);
    // A zero, negative or broken scale from the host gives no picture
    // rather than a bitmap of absurd size.
    if (!(rows > 0.0f))
        return 0;
    if (rows >= 2147483647.0f)
        return 2147483647;
    return static_cast<int32_t>(rows);
}

int32_t overviewColumn(float value, int32_t width) {
    const float clamped = std::clamp(value, -32768.0f, 32768.0f);
    const auto x =
        static_cast<int32_t>((clamped + 32768.0f) * (1.0f / 65536.0f) * static_cast<float>(width));
    return std::clamp(x, 0, std::max(width - 1, 0));
}

} // namespace spoolex
