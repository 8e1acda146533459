#include <windows.h>

#include "platform/Window.h"

namespace platform {

namespace {

struct Binding {
    WindowProcedure procedure;
    void* context;
};

LRESULT CALLBACK dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (binding && message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete binding;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (binding && message == WM_COMMAND)
        return binding->procedure(binding->context, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// One class per module: each module brings its own procedure.
const wchar_t* windowClass() {
    static const wchar_t* name = [] {
        static wchar_t buffer[64];
        HMODULE module = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&dispatch), &module);
        wsprintfW(buffer, L"SpoolexWindow%p", static_cast<void*>(module));
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = dispatch;
        windowClass.hInstance = module;
        windowClass.lpszClassName = buffer;
        RegisterClassW(&windowClass);
        return buffer;
    }();
    return name;
}

} // namespace

WindowHandle createWindow(WindowHandle parent, WindowProcedure procedure, void* context) {
    auto* binding = new Binding{procedure, context};
    // Without a parent: a message-only window, which needs no display.
    HWND owner = parent ? static_cast<HWND>(parent) : HWND_MESSAGE;
    DWORD style = parent ? WS_CHILD | WS_VISIBLE : 0;
    HWND window = CreateWindowExW(0, windowClass(), L"", style, 0, 0, 0, 0, owner, nullptr,
                                  nullptr, binding);
    if (!window)
        delete binding;
    return window;
}

void destroyWindow(WindowHandle window) {
    if (window)
        DestroyWindow(static_cast<HWND>(window));
}

intptr_t sendMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    return SendMessageW(static_cast<HWND>(window), message, wParam, lParam);
}

} // namespace platform
