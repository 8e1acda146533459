// A raster surface in memory, drawn through Cairo with antialiasing off and
// held to the pixel rule of Surface.h; writes PNG files.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Surface.h"

struct _cairo_surface;
struct _cairo;

namespace platform {

class SurfaceCairo final : public Surface {
public:
    // A width x height picture, opaque white, whose paint rectangle is all of it.
    SurfaceCairo(int32_t width, int32_t height);
    ~SurfaceCairo();
    SurfaceCairo(const SurfaceCairo&) = delete;
    SurfaceCairo& operator=(const SurfaceCairo&) = delete;

    void setPaintRect(const PixelRect& rect) { paint = rect; }
    PixelRect paintRect() const override { return paint; }

    void fillRect(float x, float y, float w, float h, uint32_t argb) override;
    void drawRect(float x, float y, float w, float h, float penWidth, uint32_t argb) override;
    void drawEllipse(float x, float y, float w, float h, float penWidth, uint32_t argb) override;
    void fillPattern(const PixelRect& rect, const uint8_t rows[8], int32_t originX, int32_t originY,
                     uint32_t setArgb, uint32_t clearArgb) override;
    void paintMask(int32_t left, int32_t top, int32_t width, int32_t height, const uint8_t* bits,
                   int32_t bitmapWidth, int32_t bitmapHeight, int32_t stride,
                   uint32_t argb) override;

    int32_t width() const { return pictureWidth; }
    int32_t height() const { return pictureHeight; }
    // The pixel at (x, y) as 0xAARRGGBB; 0 outside the picture.
    uint32_t pixel(int32_t x, int32_t y);
    // False, with the reason in error, when the file cannot be written.
    bool writePng(const std::string& path, std::string& error);

private:
    // Fills the pixels left <= i < right, top <= j < bottom.
    void fillPixels(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t argb);
    // Writes opaque pixels directly (patterns and masks).
    void putPixel(int32_t x, int32_t y, uint32_t argb);

    int32_t pictureWidth;
    int32_t pictureHeight;
    PixelRect paint;
    _cairo_surface* image;
    _cairo* context;
};

} // namespace platform
