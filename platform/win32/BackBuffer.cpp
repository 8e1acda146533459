#include "platform/win32/BackBuffer.h"

namespace platform::win32 {

BackBuffer::~BackBuffer() {
    release();
}

void BackBuffer::release() {
    if (old)
        SelectObject(dc, old);
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    dc = nullptr;
    bitmap = nullptr;
    old = nullptr;
    width = height = 0;
}

HDC BackBuffer::prepare(HDC screen, int wanted, int tall) {
    if (wanted <= 0 || tall <= 0)
        return nullptr;
    if (dc && wanted == width && tall == height)
        return dc;
    release();
    dc = CreateCompatibleDC(screen);
    // A 32-bit bitmap of our own rather than one in the screen's format:
    // GDI+ blends translucent fills into it with exact rounding.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = wanted;
    info.bmiHeader.biHeight = -tall;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = dc ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!bitmap) {
        release();
        return nullptr;
    }
    old = SelectObject(dc, bitmap);
    width = wanted;
    height = tall;
    return dc;
}

} // namespace platform::win32
