// The Windows surface blends translucent fills itself; its pictures must
// agree with the Linux ones in every pixel, so its blend is held here to
// what Cairo draws, for every alpha and every pair of source and target
// channel values.
#include <gtest/gtest.h>

#include "platform/OverBlend.h"
#include "platform/posix/SurfaceCairo.h"

namespace {

// Three different channel values of one step, so that each channel meets
// every value.
uint32_t rgbOf(uint32_t v) {
    return (v & 0xFF) << 16 | (255 - (v & 0xFF)) << 8 | ((v ^ 0x5A) & 0xFF);
}

TEST(OverBlend, TranslucentFillsBlendAsTheLinuxPictureDoes) {
    int mismatches = 0;
    for (uint32_t alpha = 1; alpha < 255; ++alpha) {
        // Column x starts as colour x; row y gets source colour y.
        platform::SurfaceCairo picture(256, 256);
        for (uint32_t x = 0; x < 256; ++x)
            picture.fillRect(static_cast<float>(x), 0.0f, 1.0f, 256.0f, 0xFF000000u | rgbOf(x));
        for (uint32_t y = 0; y < 256; ++y)
            picture.fillRect(0.0f, static_cast<float>(y), 256.0f, 1.0f, alpha << 24 | rgbOf(y));
        for (uint32_t y = 0; y < 256; ++y) {
            const platform::OverBlend blend(alpha << 24 | rgbOf(y));
            for (uint32_t x = 0; x < 256; ++x) {
                const uint32_t drawn =
                    picture.pixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
                const uint32_t blended = blend(rgbOf(x));
                if ((drawn & 0xFFFFFF) != blended && ++mismatches <= 5)
                    ADD_FAILURE() << std::hex << "alpha " << alpha << " source " << rgbOf(y)
                                  << " over " << rgbOf(x) << ": Cairo " << drawn << ", blend "
                                  << blended;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
