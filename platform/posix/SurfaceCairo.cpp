#include "platform/posix/SurfaceCairo.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

void setColour(cairo_t* context, uint32_t argb) {
    cairo_set_source_rgba(context, (argb >> 16 & 0xFF) / 255.0, (argb >> 8 & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, (argb >> 24 & 0xFF) / 255.0);
}

// The first whole pixel at or after v: with pixels sampled at their corner,
// a span [a, b) covers the pixels firstPixel(a) .. firstPixel(b) - 1.
int64_t firstPixel(double v) {
    if (!(v > -1e15))
        return -1000000000000000;
    return v >= 1e15 ? 1000000000000000 : static_cast<int64_t>(std::ceil(v));
}

} // namespace

SurfaceCairo::SurfaceCairo(int32_t width, int32_t height)
    : pictureWidth(std::max(width, 0)),
      pictureHeight(std::max(height, 0)), paint{0, 0, pictureWidth, pictureHeight},
      image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pictureWidth, pictureHeight)),
      context(cairo_create(image)) {
    cairo_set_antialias(context, CAIRO_ANTIALIAS_NONE);
    // An image surface's memory stays where it is for its whole life.
    pixels = cairo_image_surface_get_data(image);
    rowBytes = static_cast<size_t>(cairo_image_surface_get_stride(image));
    fillPixels(0, 0, pictureWidth, pictureHeight, 0xFFFFFFFF);
}

SurfaceCairo::~SurfaceCairo() {
    cairo_destroy(context);
    cairo_surface_destroy(image);
}

uint32_t* SurfaceCairo::row(int32_t y) {
    if (cairoPending) {
        cairo_surface_flush(image);
        cairoPending = false;
    }
    return reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(y) * rowBytes);
}

void SurfaceCairo::beforeCairo() {
    // Cairo must hear that the pixels changed behind its back.
    cairo_surface_mark_dirty(image);
    cairoPending = true;
}

void SurfaceCairo::fillPixels(int64_t left, int64_t top, int64_t right, int64_t bottom,
                              uint32_t argb) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, pictureWidth);
    bottom = std::min<int64_t>(bottom, pictureHeight);
    if (left >= right || top >= bottom)
        return;
    const uint32_t a = argb >> 24;
    if (a != 255) {
        // Blends go through Cairo, whose rounding the Windows surface's
        // pictures are held to; there are few of them (the selection, the
        // outlines).
        beforeCairo();
        cairo_rectangle(context, static_cast<double>(left), static_cast<double>(top),
                        static_cast<double>(right - left), static_cast<double>(bottom - top));
        setColour(context, argb);
        cairo_fill(context);
        return;
    }
    // Opaque whole-pixel rectangles are written directly, without Cairo's
    // per-call cost: the view draws thousands of one-pixel columns.
    for (int64_t y = top; y < bottom; ++y) {
        uint32_t* line = row(static_cast<int32_t>(y));
        std::fill(line + left, line + right, argb);
    }
}

void SurfaceCairo::fillRect(float x, float y, float w, float h, uint32_t argb) {
    fillPixels(firstPixel(x), firstPixel(y), firstPixel(static_cast<double>(x) + w),
               firstPixel(static_cast<double>(y) + h), argb);
}

void SurfaceCairo::drawRect(float x, float y, float w, float h, float penWidth, uint32_t argb) {
    // The pixels whose corner lies in [edge - penWidth / 2, edge +
    // penWidth / 2): a band around each edge, corners included once. A pen
    // 4 pixels wide covers 4 pixels, as GDI+ draws it.
    const double half = penWidth / 2.0;
    const double x0 = x, y0 = y, x1 = static_cast<double>(x) + w, y1 = static_cast<double>(y) + h;
    auto band = [](double a, double b, int64_t& from, int64_t& to) {
        from = firstPixel(a);
        to = firstPixel(b);
    };
    int64_t outerLeft, outerRight, outerTop, outerBottom;
    band(x0 - half, x1 + half, outerLeft, outerRight);
    band(y0 - half, y1 + half, outerTop, outerBottom);
    int64_t leftFrom, leftTo, rightFrom, rightTo, topFrom, topTo, bottomFrom, bottomTo;
    band(x0 - half, x0 + half, leftFrom, leftTo);
    band(x1 - half, x1 + half, rightFrom, rightTo);
    band(y0 - half, y0 + half, topFrom, topTo);
    band(y1 - half, y1 + half, bottomFrom, bottomTo);
    // Top and bottom bands full width; side bands between them, so no
    // pixel is blended twice.
    fillPixels(outerLeft, topFrom, outerRight, topTo, argb);
    const int64_t bottomStart = std::max(bottomFrom, topTo);
    fillPixels(outerLeft, bottomStart, outerRight, bottomTo, argb);
    const int64_t sideTop = topTo;
    const int64_t sideBottom = bottomStart;
    fillPixels(leftFrom, sideTop, leftTo, sideBottom, argb);
    fillPixels(std::max(rightFrom, leftTo), sideTop, rightTo, sideBottom, argb);
}

void SurfaceCairo::drawEllipse(float x, float y, float w, float h, float penWidth, uint32_t argb) {
    if (!(w > 0.0f && h > 0.0f))
        return;
    // Cairo samples pixel centres; half a pixel's shift samples corners.
    beforeCairo();
    cairo_save(context);
    cairo_translate(context, x + w / 2.0 + 0.5, y + h / 2.0 + 0.5);
    cairo_scale(context, w / 2.0, h / 2.0);
    cairo_arc(context, 0.0, 0.0, 1.0, 0.0, 2.0 * 3.14159265358979323846);
    cairo_restore(context);
    cairo_set_line_width(context, penWidth);
    setColour(context, argb);
    cairo_stroke(context);
}

void SurfaceCairo::putPixel(int32_t x, int32_t y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= pictureWidth || y >= pictureHeight)
        return;
    row(y)[x] = argb | 0xFF000000u;
}

void SurfaceCairo::fillPattern(const PixelRect& rect, const uint8_t rows[8], int32_t originX,
                               int32_t originY, uint32_t setArgb, uint32_t clearArgb) {
    for (int32_t j = std::max(rect.top, 0); j < std::min(rect.bottom, pictureHeight); ++j)
        for (int32_t i = std::max(rect.left, 0); i < std::min(rect.right, pictureWidth); ++i) {
            const int px = ((i - originX) % 8 + 8) % 8;
            const int py = ((j - originY) % 8 + 8) % 8;
            putPixel(i, j, (rows[py] >> (7 - px) & 1) ? setArgb : clearArgb);
        }
}

void SurfaceCairo::paintMask(int32_t left, int32_t top, int32_t width, int32_t height,
                             const uint8_t* bits, int32_t bitmapWidth, int32_t bitmapHeight,
                             int32_t stride, uint32_t argb) {
    const int32_t rows = std::min(height, bitmapHeight);
    const int32_t columns = std::min(width, bitmapWidth);
    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* line = bits + static_cast<size_t>(r) * static_cast<size_t>(stride);
        for (int32_t c = 0; c < columns; ++c)
            if (line[c >> 3] & (0x80u >> (c & 7)))
                putPixel(left + c, top + r, argb);
    }
}

uint32_t SurfaceCairo::pixel(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= pictureWidth || y >= pictureHeight)
        return 0;
    return row(y)[x];
}

bool SurfaceCairo::writePng(const std::string& path, std::string& error) {
    beforeCairo();
    const cairo_status_t status = cairo_surface_write_to_png(image, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

} // namespace platform
