// A window's off-screen picture, kept from paint to paint: paints come on
// every mouse move of a drag and twice a second while recording, and a
// screen-sized bitmap made and freed each time costs more than the drawing.
// Made again when the window's client size changes.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::win32 {

// The pixels of a top-down 32-bit bitmap of our own, 0x00RRGGBB, rows of
// width pixels: drawing may write them directly.
struct DibPixels {
    uint32_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // A memory device context with a width x height 32-bit bitmap selected,
    // compatible with screen; null when the system refuses one.
    HDC prepare(HDC screen, int width, int height);
    // The bitmap's pixels; empty until prepare succeeded.
    DibPixels pixels() const { return {bits, width, height}; }

    // While a paint draws into the pixels: a paint inside it (a window
    // change made while drawing) must not make the bitmap again under it.
    class Drawing {
    public:
        explicit Drawing(BackBuffer& buffer) : buffer(buffer) { buffer.drawing = true; }
        ~Drawing() { buffer.drawing = false; }
        Drawing(const Drawing&) = delete;
        Drawing& operator=(const Drawing&) = delete;

    private:
        BackBuffer& buffer;
    };
    bool inUse() const { return drawing; }

private:
    void release();

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    bool drawing = false;
    int width = 0;
    int height = 0;
};

} // namespace platform::win32
