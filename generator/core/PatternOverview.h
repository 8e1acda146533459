// The cached picture of a pattern's box in the host's sequence view.
#pragma once

#include <cstdint>
#include <vector>

namespace spoolex {

struct PatternOverview {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // row by row, 0x00RRGGBB

    bool empty() const { return pixels.empty(); }
    void clear() {
        width = 0;
        height = 0;
        pixels.clear();
        pixels.shrink_to_fit();
    }
};

} // namespace spoolex
