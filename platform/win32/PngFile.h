// Pictures of what was drawn, as PNG files through GDI+: for tests and the
// stand-in host's screenshots. The program must have started GDI+.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

// bitmap must not be selected into a device context.
bool saveBitmapPng(HBITMAP bitmap, const std::string& path);

// What the window's client area shows now.
bool saveWindowPng(HWND window, const std::string& path);

} // namespace platform::win32
