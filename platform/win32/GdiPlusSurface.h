// The drawing surface on Windows: fills and outlines written into a bitmap
// of our own, or through GDI and the GDI+ flat interface with smoothing off;
// ellipses through GDI+, the one-bit pattern and mask through GDI.
// The program must have started GDI+ (a host does; a plug-in never does).
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Surface.h"
#include "platform/win32/BackBuffer.h"

namespace platform::win32 {

class GdiPlusSurface final : public Surface {
public:
    // Draws on dc, whose device pixel (0, 0) shows target pixel
    // (originX, originY): a memory device context over a paint's clip box
    // has the clip box's top-left corner there, a window's own one (0, 0).
    GdiPlusSurface(HDC dc, int32_t originX, int32_t originY, const PixelRect& paint);
    // Draws on dc, which has the bitmap of pixels selected, device pixel
    // (0, 0) at target pixel (0, 0). Fills and outlines are written straight
    // into the pixels, and only inside paint: a paint fills two rectangles
    // per pixel column of every take row, and each GDI or GDI+ call costs
    // far more than its pixels. Ellipses, patterns and masks still go
    // through the system.
    GdiPlusSurface(HDC dc, const DibPixels& pixels, const PixelRect& paint);
    ~GdiPlusSurface();
    GdiPlusSurface(const GdiPlusSurface&) = delete;
    GdiPlusSurface& operator=(const GdiPlusSurface&) = delete;

    PixelRect paintRect() const override { return paint_; }
    void fillRect(float x, float y, float w, float h, uint32_t argb) override;
    void drawRect(float x, float y, float w, float h, float penWidth, uint32_t argb) override;
    void drawEllipse(float x, float y, float w, float h, float penWidth, uint32_t argb) override;
    void fillPattern(const PixelRect& rect, const uint8_t rows[8], int32_t originX, int32_t originY,
                     uint32_t setArgb, uint32_t clearArgb) override;
    void paintMask(int32_t left, int32_t top, int32_t width, int32_t height, const uint8_t* bits,
                   int32_t bitmapWidth, int32_t bitmapHeight, int32_t stride,
                   uint32_t argb) override;

private:
    // The GDI+ context, made on first need: most paints need none.
    void* graphics();
    // GDI drawing between GDI+ calls goes through the graphics object's own
    // device context, so that both see each other's pixels in order.
    HDC beginGdi();
    void endGdi();
    // One brush per colour for the surface's life.
    void* brushOf(uint32_t argb);
    // Opaque fills wait here and go out through plain GDI in one batch, in
    // the order they came, before anything else is drawn (without pixels of
    // our own).
    void flushOpaque();
    // Writes or blends the pixels [left, right) x [top, bottom) (target
    // pixels) inside paint_ straight into pixels_.
    void writePixels(double left, double top, double right, double bottom, uint32_t argb);

    HDC dc_;
    int32_t originX_;
    int32_t originY_;
    PixelRect paint_;
    DibPixels pixels_;
    // The system may still be drawing into pixels_ (GDI batches its calls).
    bool systemPending_ = false;
    void* graphics_ = nullptr; // GpGraphics
    bool graphicsTried_ = false;
    HDC borrowed_ = nullptr; // the graphics object's context during GDI drawing
    struct Brush {
        uint32_t argb;
        void* brush; // GpSolidFill
    };
    std::vector<Brush> brushes_;
    struct OpaqueFill {
        RECT area; // device pixels
        COLORREF colour;
    };
    std::vector<OpaqueFill> opaque_;
};

// The system's colour value (red in the low byte) of an ARGB colour.
inline COLORREF colourRef(uint32_t argb) {
    return RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF);
}

} // namespace platform::win32
