// The Windows drawing surface, drawn into a memory bitmap under Wine and read
// back pixel by pixel: the pixel rule of fractional rectangles, the pattern
// brush's phase, the one-bit mask, and the PNG pictures made from it. Fills
// are checked both through the system and written into the bitmap's pixels
// (as a window's paint draws), mixed with what the system draws.
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/win32/GdiPlusSurface.h"
#include "platform/win32/PngFile.h"

namespace {

constexpr uint32_t white = 0xFFFFFFFF;
constexpr uint32_t red = 0xFFFF0000;
constexpr uint32_t green = 0xFF00FF00;
constexpr uint32_t blue = 0xFF0000FF;

// A top-down 32-bit bitmap selected into a memory device context, white.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i)
            bits_[i] = white & 0xFFFFFF;
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    platform::win32::DibPixels pixels() const { return {bits_, width_, height_}; }
    HBITMAP detach() {
        SelectObject(dc_, old_);
        old_ = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
        return bitmap_;
    }
    // Opaque 0xFFRRGGBB of the pixel at device (x, y).
    uint32_t at(int x, int y) const {
        GdiFlush();
        return 0xFF000000u | (bits_[y * width_ + x] & 0xFFFFFF);
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

class GdiPlusSurfaceTest : public ::testing::Test {
protected:
    // As a host does before it loads plug-ins.
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token); }
    static inline ULONG_PTR token = 0;

    platform::PixelRect everything{0, 0, 1000, 1000};

    // Through the system, or into the canvas's pixels.
    std::unique_ptr<platform::win32::GdiPlusSurface> surfaceOn(const Canvas& canvas,
                                                               bool ownPixels) {
        if (ownPixels)
            return std::make_unique<platform::win32::GdiPlusSurface>(canvas.dc(), canvas.pixels(),
                                                                     everything);
        return std::make_unique<platform::win32::GdiPlusSurface>(canvas.dc(), 0, 0, everything);
    }
};

TEST_F(GdiPlusSurfaceTest, FractionalRectanglesFillThePixelsWhoseCornersTheyCover) {
    for (bool ownPixels : {false, true}) {
        SCOPED_TRACE(ownPixels);
        Canvas canvas(200, 4);
        {
            auto surface = surfaceOn(canvas, ownPixels);
            surface->fillRect(40.5f, 0.0f, 100.0f, 1.0f, red);
            // A waveform column: (c - 0.5, width 1) is exactly column c.
            surface->fillRect(159.5f, 2.0f, 1.0f, 1.5f, blue);
            // Edges a third of a pixel past a corner start at the next one.
            surface->fillRect(170.3f, 1.3f, 2.0f, 1.0f, green);
            // Past the bitmap's edges: only what lies inside.
            surface->fillRect(-1e6f, 3.0f, 1e6f + 2.0f, 1e9f, red);
            surface->fillRect(198.0f, -5.0f, 1e9f, 6.0f, blue);
        }
        EXPECT_EQ(canvas.at(40, 0), white);
        EXPECT_EQ(canvas.at(41, 0), red);
        EXPECT_EQ(canvas.at(140, 0), red);
        EXPECT_EQ(canvas.at(141, 0), white);
        EXPECT_EQ(canvas.at(41, 1), white);
        EXPECT_EQ(canvas.at(159, 2), white);
        EXPECT_EQ(canvas.at(160, 2), blue);
        EXPECT_EQ(canvas.at(161, 2), white);
        EXPECT_EQ(canvas.at(160, 3), blue);
        EXPECT_EQ(canvas.at(170, 1), white);
        EXPECT_EQ(canvas.at(171, 1), white);
        EXPECT_EQ(canvas.at(171, 2), green);
        EXPECT_EQ(canvas.at(172, 2), green);
        EXPECT_EQ(canvas.at(173, 2), white);
        EXPECT_EQ(canvas.at(1, 3), red);
        EXPECT_EQ(canvas.at(2, 3), white);
        EXPECT_EQ(canvas.at(199, 0), blue);
        EXPECT_EQ(canvas.at(199, 1), white);
    }
}

TEST_F(GdiPlusSurfaceTest, OwnPixelsAreWrittenOnlyInsideThePaintRectangle) {
    Canvas canvas(20, 10);
    {
        platform::win32::GdiPlusSurface surface(canvas.dc(), canvas.pixels(), {5, 2, 15, 8});
        surface.fillRect(0, 0, 20, 10, red);
        surface.fillRect(0, 0, 20, 10, 0x80000000);
    }
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(canvas.at(x, y), x >= 5 && x < 15 && y >= 2 && y < 8 ? 0xFF7F0000u : white)
                << x << "," << y;
}

TEST_F(GdiPlusSurfaceTest, PatternPixelsFollowTheBrushOriginInTargetCoordinates) {
    // The editor's animated frame: diagonal stripes four pixels wide.
    const uint8_t rows[8] = {0x0F, 0x1E, 0x3C, 0x78, 0xF0, 0xE1, 0xC3, 0x87};
    for (int phase : {0, 3, 7, 11}) {
        SCOPED_TRACE(phase);
        Canvas canvas(40, 12);
        {
            // Device pixel 0 is target pixel 5: the phase is a target one.
            platform::win32::GdiPlusSurface surface(canvas.dc(), 5, 0, everything);
            surface.fillPattern({7, 1, 40, 11}, rows, phase, 0, green, blue);
        }
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 40; ++x) {
                int targetX = x + 5;
                uint32_t expected = white;
                if (targetX >= 7 && targetX < 40 && y >= 1 && y < 11) {
                    int px = ((targetX - phase) % 8 + 8) % 8;
                    expected = rows[y % 8] >> (7 - px) & 1 ? green : blue;
                }
                ASSERT_EQ(canvas.at(x, y), expected) << "at " << x << "," << y;
            }
    }
}

TEST_F(GdiPlusSurfaceTest, AMaskPaintsItsSetBitsInsideItsSizeAndKeepsTheRest) {
    for (bool ownPixels : {false, true}) {
        SCOPED_TRACE(ownPixels);
        Canvas canvas(40, 6);
        {
            auto surface = surfaceOn(canvas, ownPixels);
            surface->fillRect(0, 0, 40, 6, blue);
            // 20 pixels wide: rows of two 16-bit words. Only 12 x 2 is used.
            const uint8_t bits[3 * 4] = {0xAA, 0xAA, 0xF0, 0,    0xFF, 0x00,
                                         0xFF, 0,    0xFF, 0xFF, 0xFF, 0};
            surface->paintMask(3, 1, 12, 2, bits, 20, 3, 4, red);
            // Drawn after the mask: over it.
            surface->fillRect(4, 0, 1, 6, green);
        }
        for (int x = 0; x < 40; ++x) {
            int i = x - 3;
            bool inside = i >= 0 && i < 12;
            if (x == 4) {
                for (int y = 0; y < 6; ++y)
                    EXPECT_EQ(canvas.at(x, y), green) << y;
                continue;
            }
            EXPECT_EQ(canvas.at(x, 0), blue);
            EXPECT_EQ(canvas.at(x, 1), inside && i % 2 == 0 ? red : blue) << x;
            EXPECT_EQ(canvas.at(x, 2), inside && i < 8 ? red : blue) << x;
            EXPECT_EQ(canvas.at(x, 3), blue) << x;
        }
    }
}

TEST_F(GdiPlusSurfaceTest, OutlinesAndTranslucentFillsBlendOverWhatIsThere) {
    for (bool ownPixels : {false, true}) {
        SCOPED_TRACE(ownPixels);
        Canvas canvas(60, 40);
        {
            auto surface = surfaceOn(canvas, ownPixels);
            surface->fillRect(0, 0, 60, 40, 0xFF000000);
            surface->fillRect(0, 0, 10, 10, 0x80FF0000);
            surface->drawRect(20, 10, 30, 20, 4.0f, red);
            // A translucent outline blends each of its pixels once, corners too.
            surface->drawRect(2, 22, 10, 10, 2.0f, 0x80FFFFFF);
            // An ellipse goes through the system between fills of our own.
            surface->drawEllipse(40, 2, 10, 6, 2.0f, green);
            surface->fillRect(44, 0, 2, 10, blue);
        }
        uint32_t blended = canvas.at(5, 5);
        EXPECT_NEAR(static_cast<int>(blended >> 16 & 0xFF), 128, 2);
        EXPECT_EQ(blended & 0xFFFF, 0u);
        EXPECT_EQ(canvas.at(35, 10), red);
        EXPECT_EQ(canvas.at(20, 20), red);
        EXPECT_EQ(canvas.at(35, 20), 0xFF000000);
        EXPECT_EQ(canvas.at(1, 21), canvas.at(6, 21));
        EXPECT_EQ(canvas.at(1, 21), canvas.at(1, 26));
        EXPECT_NEAR(static_cast<int>(canvas.at(1, 21) & 0xFF), 128, 2);
        EXPECT_EQ(canvas.at(6, 26), 0xFF000000);
        EXPECT_EQ(canvas.at(40, 5), green);
        EXPECT_EQ(canvas.at(45, 2), blue);
    }
}

TEST_F(GdiPlusSurfaceTest, APictureOfTheBitmapReadsBackWithItsColours) {
    Canvas canvas(16, 8);
    {
        platform::win32::GdiPlusSurface surface(canvas.dc(), 0, 0, everything);
        surface.fillRect(4, 2, 3, 3, green);
    }
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "spoolex-surface-test.png";
    ASSERT_TRUE(platform::win32::saveBitmapPng(canvas.detach(), path));

    std::wstring wide(path.begin(), path.end());
    Gdiplus::GpBitmap* picture = nullptr;
    ASSERT_EQ(Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.c_str(), &picture), Gdiplus::Ok);
    Gdiplus::ARGB inside = 0, outside = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(picture, 5, 3, &inside);
    Gdiplus::DllExports::GdipBitmapGetPixel(picture, 8, 3, &outside);
    Gdiplus::DllExports::GdipDisposeImage(picture);
    std::remove(path.c_str());
    EXPECT_EQ(inside | 0xFF000000, green);
    EXPECT_EQ(outside | 0xFF000000, white);
}

} // namespace
