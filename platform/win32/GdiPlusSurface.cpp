#include "platform/win32/GdiPlusSurface.h"

#include "platform/OverBlend.h"

#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace platform::win32 {

namespace {

using namespace Gdiplus::DllExports;

Gdiplus::GpGraphics* graphicsOf(void* graphics) {
    return static_cast<Gdiplus::GpGraphics*>(graphics);
}

// GDI takes brush origins 0..7; the pattern repeats every 8 pixels anyway.
int patternPhase(int32_t value) {
    return ((value % 8) + 8) % 8;
}

// Raster operation "destination = source ? pattern : destination": where the
// one-bit source (turned into all ones by a white background colour) is set,
// the brush; elsewhere the destination stays.
constexpr DWORD patternWhereSourceSet = 0x00E20746;

} // namespace

GdiPlusSurface::GdiPlusSurface(HDC dc, int32_t originX, int32_t originY, const PixelRect& paint)
    : dc_(dc), originX_(originX), originY_(originY), paint_(paint) {}

GdiPlusSurface::GdiPlusSurface(HDC dc, const DibPixels& pixels, const PixelRect& paint)
    : dc_(dc), originX_(0), originY_(0), paint_(paint), pixels_(pixels), systemPending_(true) {
    if (!pixels_.bits || pixels_.width <= 0 || pixels_.height <= 0)
        pixels_ = {};
}

GdiPlusSurface::~GdiPlusSurface() {
    flushOpaque();
    for (const Brush& made : brushes_)
        GdipDeleteBrush(static_cast<Gdiplus::GpBrush*>(made.brush));
    if (graphics_)
        GdipDeleteGraphics(graphicsOf(graphics_));
}

void* GdiPlusSurface::graphics() {
    if (graphicsTried_)
        return graphics_;
    graphicsTried_ = true;
    // What GDI drew so far must be in the bitmap before GDI+ reads it.
    GdiFlush();
    Gdiplus::GpGraphics* made = nullptr;
    if (GdipCreateFromHDC(dc_, &made) != Gdiplus::Ok || !made)
        return nullptr;
    graphics_ = made;
    // Whole-pixel edges, sampled at pixel corners (the default pixel offset).
    GdipSetSmoothingMode(made, Gdiplus::SmoothingModeNone);
    GdipTranslateWorldTransform(made, static_cast<float>(-originX_), static_cast<float>(-originY_),
                                Gdiplus::MatrixOrderPrepend);
    return graphics_;
}

void* GdiPlusSurface::brushOf(uint32_t argb) {
    for (const Brush& made : brushes_)
        if (made.argb == argb)
            return made.brush;
    Gdiplus::GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(argb, &brush) != Gdiplus::Ok || !brush)
        return nullptr;
    try {
        brushes_.push_back({argb, brush});
    } catch (...) {
        GdipDeleteBrush(brush);
        throw;
    }
    return brush;
}

void GdiPlusSurface::writePixels(double left, double top, double right, double bottom,
                                 uint32_t argb) {
    const int32_t x0 = static_cast<int32_t>(std::max<double>(left, std::max(paint_.left, 0)));
    const int32_t y0 = static_cast<int32_t>(std::max<double>(top, std::max(paint_.top, 0)));
    const int32_t x1 =
        static_cast<int32_t>(std::min<double>(right, std::min(paint_.right, pixels_.width)));
    const int32_t y1 =
        static_cast<int32_t>(std::min<double>(bottom, std::min(paint_.bottom, pixels_.height)));
    const uint32_t alpha = argb >> 24;
    if (x0 >= x1 || y0 >= y1 || alpha == 0)
        return;
    if (systemPending_) {
        if (graphics_)
            GdipFlush(graphicsOf(graphics_), Gdiplus::FlushIntentionSync);
        GdiFlush();
        systemPending_ = false;
    }
    const size_t stride = static_cast<size_t>(pixels_.width);
    uint32_t* row = pixels_.bits + static_cast<size_t>(y0) * stride;
    if (alpha == 0xFF) {
        // As GDI leaves them: the top byte clear.
        const uint32_t value = argb & 0xFFFFFF;
        for (int32_t y = y0; y < y1; ++y, row += stride)
            std::fill(row + x0, row + x1, value);
        return;
    }
    const OverBlend blend(argb);
    for (int32_t y = y0; y < y1; ++y, row += stride)
        for (int32_t x = x0; x < x1; ++x)
            row[x] = blend(row[x]);
}

void GdiPlusSurface::fillRect(float x, float y, float w, float h, uint32_t argb) {
    // The pixels whose corner lies inside, decided here: GDI+
    // implementations round fractional edges to the nearest pixel or up.
    const double left = std::ceil(static_cast<double>(x));
    const double top = std::ceil(static_cast<double>(y));
    const double right = std::ceil(static_cast<double>(x) + w);
    const double bottom = std::ceil(static_cast<double>(y) + h);
    if (!(right > left && bottom > top))
        return;
    if (pixels_.bits) {
        writePixels(left, top, right, bottom, argb);
        return;
    }
    if ((argb >> 24) == 0xFF) {
        // Whole pixels either way, so GDI fills exactly what GDI+ would.
        auto device = [](double v, int32_t origin) {
            return static_cast<LONG>(std::clamp(v - origin, -1073741824.0, 1073741824.0));
        };
        const RECT area{device(left, originX_), device(top, originY_), device(right, originX_),
                        device(bottom, originY_)};
        try {
            opaque_.push_back({area, colourRef(argb)});
        } catch (const std::bad_alloc&) {
            flushOpaque();
            opaque_.push_back({area, colourRef(argb)});
        }
        if (opaque_.size() >= 8192)
            flushOpaque();
        return;
    }
    flushOpaque();
    if (!graphics())
        return;
    auto* brush = static_cast<Gdiplus::GpBrush*>(brushOf(argb));
    if (!brush)
        return;
    GdipFillRectangle(graphicsOf(graphics_), brush, static_cast<float>(left),
                      static_cast<float>(top), static_cast<float>(right - left),
                      static_cast<float>(bottom - top));
}

// The outline as four bands that follow the pixel rule exactly: GDI+ pens
// round fractional edges in ways of their own. The bands do not overlap, so
// a translucent outline blends each pixel once.
//   +-----------------+   top: full width
//   |l|             |r|   sides: between top and bottom
//   +-----------------+   bottom: full width
void GdiPlusSurface::drawRect(float x, float y, float w, float h, float penWidth, uint32_t argb) {
    const float half = penWidth / 2.0f;
    const float outerLeft = x - half, outerTop = y - half;
    const float outerWidth = w + penWidth, innerTop = y + half, innerHeight = h - penWidth;
    if (innerHeight <= 0.0f || w <= penWidth) {
        fillRect(outerLeft, outerTop, outerWidth, h + penWidth, argb);
        return;
    }
    const float bands[4][4] = {{outerLeft, outerTop, outerWidth, penWidth},
                               {outerLeft, innerTop, penWidth, innerHeight},
                               {x + w - half, innerTop, penWidth, innerHeight},
                               {outerLeft, y + h - half, outerWidth, penWidth}};
    if ((argb >> 24) == 0xFF || pixels_.bits || !graphics()) {
        for (const auto& band : bands)
            fillRect(band[0], band[1], band[2], band[3], argb);
        return;
    }
    // Translucent: the four bands in one GDI+ call (each call is costly).
    flushOpaque();
    Gdiplus::GpRectF rects[4];
    int count = 0;
    for (const auto& band : bands) {
        const double left = std::ceil(static_cast<double>(band[0]));
        const double top = std::ceil(static_cast<double>(band[1]));
        const double right = std::ceil(static_cast<double>(band[0]) + band[2]);
        const double bottom = std::ceil(static_cast<double>(band[1]) + band[3]);
        if (right > left && bottom > top)
            rects[count++] = {static_cast<float>(left), static_cast<float>(top),
                              static_cast<float>(right - left), static_cast<float>(bottom - top)};
    }
    auto* brush = static_cast<Gdiplus::GpBrush*>(brushOf(argb));
    if (brush && count > 0)
        GdipFillRectangles(graphicsOf(graphics_), brush, rects, count);
}

void GdiPlusSurface::drawEllipse(float x, float y, float w, float h, float penWidth,
                                 uint32_t argb) {
    flushOpaque();
    Gdiplus::GpPen* pen = nullptr;
    if (!graphics() || GdipCreatePen1(argb, penWidth, Gdiplus::UnitPixel, &pen) != Gdiplus::Ok)
        return;
    GdipDrawEllipse(graphicsOf(graphics_), pen, x, y, w, h);
    GdipDeletePen(pen);
    systemPending_ = true;
}

void GdiPlusSurface::flushOpaque() {
    if (opaque_.empty())
        return;
    HDC dc = beginGdi();
    const COLORREF oldColour = SetDCBrushColor(dc, opaque_.front().colour);
    auto* brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    COLORREF current = opaque_.front().colour;
    for (const OpaqueFill& fill : opaque_) {
        if (fill.colour != current)
            SetDCBrushColor(dc, current = fill.colour);
        FillRect(dc, &fill.area, brush);
    }
    SetDCBrushColor(dc, oldColour);
    endGdi();
    opaque_.clear();
}

HDC GdiPlusSurface::beginGdi() {
    systemPending_ = true;
    HDC dc = nullptr;
    if (graphics_ && GdipGetDC(graphicsOf(graphics_), &dc) == Gdiplus::Ok && dc) {
        borrowed_ = dc;
        return dc;
    }
    return dc_;
}

void GdiPlusSurface::endGdi() {
    if (borrowed_)
        GdipReleaseDC(graphicsOf(graphics_), borrowed_);
    borrowed_ = nullptr;
}

void GdiPlusSurface::fillPattern(const PixelRect& rect, const uint8_t rows[8], int32_t originX,
                                 int32_t originY, uint32_t setArgb, uint32_t clearArgb) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    flushOpaque();
    // One-bit bitmaps have rows of whole 16-bit words.
    uint8_t bits[16] = {};
    for (int row = 0; row < 8; ++row)
        bits[2 * row] = rows[row];
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH brush = pattern ? CreatePatternBrush(pattern) : nullptr;
    if (brush) {
        HDC dc = beginGdi();
        POINT oldOrigin{};
        SetBrushOrgEx(dc, patternPhase(originX - originX_), patternPhase(originY - originY_),
                      &oldOrigin);
        // A one-bit brush paints its 0 bits in the text colour and its 1
        // bits in the background colour.
        COLORREF oldText = SetTextColor(dc, colourRef(clearArgb));
        COLORREF oldBackground = SetBkColor(dc, colourRef(setArgb));
        RECT area{rect.left - originX_, rect.top - originY_, rect.right - originX_,
                  rect.bottom - originY_};
        FillRect(dc, &area, brush);
        SetBkColor(dc, oldBackground);
        SetTextColor(dc, oldText);
        SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        endGdi();
        DeleteObject(brush);
    }
    if (pattern)
        DeleteObject(pattern);
}

void GdiPlusSurface::paintMask(int32_t left, int32_t top, int32_t width, int32_t height,
                               const uint8_t* bits, int32_t bitmapWidth, int32_t bitmapHeight,
                               int32_t stride, uint32_t argb) {
    width = std::min(width, bitmapWidth);
    height = std::min(height, bitmapHeight);
    if (width <= 0 || height <= 0 || !bits)
        return;
    flushOpaque();
    // The system wants rows of whole 16-bit words; repack other strides.
    const int32_t wordStride = (bitmapWidth + 15) / 16 * 2;
    std::vector<uint8_t> packed;
    const uint8_t* rows = bits;
    if (stride != wordStride) {
        packed.assign(static_cast<size_t>(wordStride) * bitmapHeight, 0);
        const int32_t used = std::min(stride, wordStride);
        for (int32_t row = 0; row < bitmapHeight; ++row)
            std::copy_n(bits + static_cast<size_t>(row) * stride, used,
                        packed.begin() + static_cast<size_t>(row) * wordStride);
        rows = packed.data();
    }
    HBITMAP mask = CreateBitmap(bitmapWidth, bitmapHeight, 1, 1, rows);
    if (!mask)
        return;
    HDC dc = beginGdi();
    HDC maskDc = CreateCompatibleDC(dc);
    HBRUSH brush = CreateSolidBrush(colourRef(argb));
    if (maskDc && brush) {
        HGDIOBJ oldMask = SelectObject(maskDc, mask);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        // Set bits become all ones, clear bits zeros.
        COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        COLORREF oldBackground = SetBkColor(dc, RGB(255, 255, 255));
        BitBlt(dc, left - originX_, top - originY_, width, height, maskDc, 0, 0,
               patternWhereSourceSet);
        SetBkColor(dc, oldBackground);
        SetTextColor(dc, oldText);
        SelectObject(dc, oldBrush);
        SelectObject(maskDc, oldMask);
    }
    if (brush)
        DeleteObject(brush);
    if (maskDc)
        DeleteDC(maskDc);
    endGdi();
    DeleteObject(mask);
}

} // namespace platform::win32
