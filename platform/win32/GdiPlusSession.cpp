#include "platform/win32/GdiPlusSession.h"

#include <windows.h>

#include <gdiplus.h>

namespace platform::win32 {

GdiPlusSession::GdiPlusSession() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR started = 0;
    if (Gdiplus::GdiplusStartup(&started, &input, nullptr) == Gdiplus::Ok)
        token = started;
}

GdiPlusSession::~GdiPlusSession() {
    if (token)
        Gdiplus::GdiplusShutdown(token);
}

} // namespace platform::win32
