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
    bits = nullptr;
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
    // the surface writes fills and blends into its pixels itself.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = wanted;
    info.bmiHeader.biHeight = -tall;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    bitmap = dc ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &memory, nullptr, 0) : nullptr;
    if (!bitmap || !memory) {
        release();
        return nullptr;
    }
    old = SelectObject(dc, bitmap);
    bits = static_cast<uint32_t*>(memory);
    width = wanted;
    height = tall;
    return dc;
}

} // namespace platform::win32
