// The cached picture of a pattern's box in the host's sequence view: a
// one-bit bitmap, one row per pixel row of the box, a set bit where the
// waveform is, and the rows where the active take changes.
//
// Threads. Only the user-interface thread builds, reads or drops the
// picture. Anyone holding the machine's lock may invalidate it, the audio
// thread included (a recording that ends): that only marks it stale, so no
// memory is freed there; the next paint drops and rebuilds it.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace spoolex {

class PatternOverview {
public:
    PatternOverview() = default;
    PatternOverview(const PatternOverview&) = delete;
    PatternOverview& operator=(const PatternOverview&) = delete;

    // Never built, or invalidated since. A picture of no rows (a scale that
    // counts none, a bitmap too large to make) is built all the same, so
    // that it is not made again at every paint.
    bool empty() const { return !built || stale.load(std::memory_order_relaxed); }
    // Whether it was built for a box width pixels wide at scale.
    bool builtFor(int32_t width, float scale) const;
    void invalidate() { stale.store(true, std::memory_order_relaxed); }
    // User-interface thread: frees the bitmap and the rows.
    void clear();

    // A fresh picture of width x rows, all bits clear.
    void reset(int32_t width, int32_t rows, float scale);
    // Sets the bits of row from column x0 to x1, both included.
    void setSpan(int32_t row, int32_t x0, int32_t x1);
    void addBoundaryRow(int32_t row);
    // Removes consecutive repeats from the boundary rows.
    void tidyBoundaryRows();

    int32_t width() const { return bitmapWidth; }
    int32_t rows() const { return bitmapRows; }
    // Bytes per bitmap row: padded to 16 bits, as monochrome bitmaps are.
    int32_t stride() const { return rowBytes; }
    float scale() const { return builtScale; }
    const uint8_t* bitmap() const { return bits.data(); }
    bool bit(int32_t row, int32_t x) const;
    const std::vector<int32_t>& boundaryRows() const { return boundaries; }

private:
    std::vector<uint8_t> bits; // most significant bit leftmost
    int32_t bitmapWidth = 0;
    int32_t bitmapRows = 0;
    int32_t rowBytes = 0;
    float builtScale = 0.0f;
    bool built = false;
    std::vector<int32_t> boundaries;
    std::atomic<bool> stale{false};
};

// The overview's arithmetic, shared by its build and its tests.
// Rows for a pattern of length ticks at scale ticks per row: the ceiling of
// length / scale in single precision, 0 when that is not a sensible count.
int32_t overviewRowCount(int32_t length, float scale);
// The column of a sample value in a box width pixels wide: full scale
// negative is column 0, full scale positive the last column.
int32_t overviewColumn(float value, int32_t width);

} // namespace spoolex
