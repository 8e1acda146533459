#include "platform/win32/PngFile.h"

#include <gdiplus.h>

namespace platform::win32 {

namespace {

// The system's PNG encoder.
constexpr CLSID pngEncoder = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

std::wstring widePath(const std::string& path) {
    int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

} // namespace

bool saveBitmapPng(HBITMAP bitmap, const std::string& path) {
    using namespace Gdiplus::DllExports;
    std::wstring wide = widePath(path);
    Gdiplus::GpBitmap* image = nullptr;
    if (wide.empty() || GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Gdiplus::Ok)
        return false;
    bool saved = GdipSaveImageToFile(image, wide.c_str(), &pngEncoder, nullptr) == Gdiplus::Ok;
    GdipDisposeImage(image);
    return saved;
}

bool saveWindowPng(HWND window, const std::string& path) {
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    HDC windowDc = GetDC(window);
    if (!windowDc)
        return false;
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    bool saved = false;
    if (memoryDc && bitmap) {
        HGDIOBJ old = SelectObject(memoryDc, bitmap);
        BitBlt(memoryDc, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
        SelectObject(memoryDc, old);
        saved = saveBitmapPng(bitmap, path);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memoryDc)
        DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return saved;
}

} // namespace platform::win32
