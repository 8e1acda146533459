// Runs in the background of a Wine test session so that Wine's own programs,
// the desktop among them, stay up between one test program and the next
// (they quit with the last program otherwise, and starting them again costs
// more than a second per test). Quits when the marker file is gone or was not
// touched for a minute. Creates the ready file once the desktop is up.
#include <windows.h>

namespace {

bool markerIsFresh(const char* path) {
    const ULONGLONG idleLimit = 60ull * 10000000ull; // file times count 100 ns
    WIN32_FILE_ATTRIBUTE_DATA marker;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &marker))
        return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER touched{}, current{};
    touched.LowPart = marker.ftLastWriteTime.dwLowDateTime;
    touched.HighPart = marker.ftLastWriteTime.dwHighDateTime;
    current.LowPart = now.dwLowDateTime;
    current.HighPart = now.dwHighDateTime;
    return current.QuadPart <= touched.QuadPart + idleLimit;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 1;
    // A hidden window keeps the desktop process alive.
    HWND window = CreateWindowA("STATIC", "spoolex wine keeper", 0, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE)
        CloseHandle(ready);
    DWORD lastCheck = GetTickCount();
    for (;;) {
        // Answer messages promptly: another program may broadcast to all
        // top-level windows and wait.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - lastCheck >= 1000) {
            lastCheck = GetTickCount();
            if (!markerIsFresh(argv[1]))
                break;
        }
    }
    if (window)
        DestroyWindow(window);
    return 0;
}
