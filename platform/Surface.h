// The few drawing operations the editor view and the pattern-box picture
// use, so the same drawing code paints through GDI/GDI+ on Windows, through
// Cairo into a PNG on Linux, and into a recording for tests.
//
// Colours are 0xAARRGGBB. Fills and outlines blend by their alpha; the
// pattern and mask operations are opaque.
//
// Pixel rule. Coordinates are pixels of the target, y down. A float
// rectangle (x, y, w, h) fills exactly the pixels (i, j) with
//     x <= i < x + w   and   y <= j < y + h,
// that is, a pixel is sampled at its whole-numbered corner, not its centre
// (what GDI+ does with smoothing off and its default pixel offset). So
// (40.5, 0, 100, 1) fills columns 41..140, and a waveform column
// (c - 0.5, y, 1.0, h) fills exactly column c. There is no anti-aliasing.
// Outlines of width p are centred on the rectangle's (or ellipse's) edge
// and cover the pixels whose corner lies within p / 2 of it, the outer side
// included and the inner one not: an edge at x = 2 with p = 4 covers
// columns 0..3.
// Integer rectangles (left, top, right, bottom) cover left <= i < right and
// top <= j < bottom.
#pragma once

#include <cstdint>

namespace platform {

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class Surface {
public:
    // The part of the target that needs painting (the system's paint
    // rectangle); drawing outside it may be skipped.
    virtual PixelRect paintRect() const = 0;

    virtual void fillRect(float x, float y, float w, float h, uint32_t argb) = 0;
    virtual void drawRect(float x, float y, float w, float h, float penWidth, uint32_t argb) = 0;
    virtual void drawEllipse(float x, float y, float w, float h, float penWidth,
                             uint32_t argb) = 0;

    // Fills rect with an 8 x 8 one-bit pattern repeated from the brush
    // origin: pattern pixel (px, py) with px = (i - originX) mod 8 and
    // py = (j - originY) mod 8 is bit (7 - px) of rows[py]; a set bit paints
    // setArgb, a clear bit clearArgb.
    virtual void fillPattern(const PixelRect& rect, const uint8_t rows[8], int32_t originX,
                             int32_t originY, uint32_t setArgb, uint32_t clearArgb) = 0;

    // Paints argb where a bit of the one-bit bitmap is set and leaves the
    // target elsewhere; the bitmap's top-left pixel lands on (left, top) and
    // only the part inside width x height is used. Rows are `stride` bytes
    // (padded to 16 bits), the most significant bit of a byte is leftmost.
    virtual void paintMask(int32_t left, int32_t top, int32_t width, int32_t height,
                           const uint8_t* bits, int32_t bitmapWidth, int32_t bitmapHeight,
                           int32_t stride, uint32_t argb) = 0;

protected:
    ~Surface() = default;
};

// Theme colours come as 0x00BBGGRR (red in the low byte); drawing wants
// opaque ARGB.
inline uint32_t opaqueFromBgr(uint32_t bgr) {
    return 0xFF000000u | (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

} // namespace platform
