// A translucent colour blended over opaque pixels with the rounding of the
// Linux picture's library, so that a surface writing its own pixels
// (Windows) agrees with the Linux picture in every pixel:
//   source   s = premultiplied channel, from 16 bits rounded to 8 by truncation
//   result   d' = min(255, s + round(d * (255 - alpha) / 255))
// Three tables of 256 entries, made once per fill: a fill covers hundreds of
// pixels or more.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

class OverBlend {
public:
    explicit OverBlend(uint32_t argb) {
        const uint32_t alpha = argb >> 24;
        const uint32_t keep = 255 - alpha;
        const double opacity = alpha / 255.0;
        for (int channel = 0; channel < 3; ++channel) {
            const double value = (argb >> (8 * channel) & 0xFF) / 255.0;
            const auto premultiplied =
                static_cast<uint32_t>(static_cast<uint16_t>(value * opacity * 65535.0 + 0.5)) >> 8;
            for (uint32_t d = 0; d < 256; ++d) {
                const uint32_t t = d * keep + 0x80;
                tables[channel][d] = static_cast<uint8_t>(
                    std::min<uint32_t>(premultiplied + (((t >> 8) + t) >> 8), 255));
            }
        }
    }

    // 0x..RRGGBB in (the top byte is ignored: the pixel counts as opaque),
    // 0x00RRGGBB out, as the system's own drawing leaves a 32-bit bitmap.
    uint32_t operator()(uint32_t pixel) const {
        return uint32_t{tables[2][pixel >> 16 & 0xFF]} << 16 |
               uint32_t{tables[1][pixel >> 8 & 0xFF]} << 8 | tables[0][pixel & 0xFF];
    }

private:
    uint8_t tables[3][256]; // blue, green, red
};

} // namespace platform
