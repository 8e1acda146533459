// Real windows behind Window.h: one window class per module whose procedure
// hands every message to the procedure of ours bound to the window.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "platform/UiHook.h"
#include "platform/Window.h"
#include "platform/win32/GdiPlusSurface.h"
#include "platform/win32/WindowBinding.h"

namespace platform {

namespace win32 {

HMODULE ownModule() {
    static HMODULE module = [] {
        HMODULE found = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&ownModule), &found);
        return found;
    }();
    return module;
}

namespace {
ProcedureFailureHandler failureHandler = nullptr;
} // namespace

intptr_t deliver(Binding* binding, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return binding->procedure(binding->context, window, message, wParam, lParam);
    } catch (...) {
        try {
            if (failureHandler)
                failureHandler(window, message);
        } catch (...) {
        }
        return 0;
    }
}

} // namespace win32

void setProcedureFailureHandler(ProcedureFailureHandler handler) {
    win32::failureHandler = handler;
}

namespace {

using win32::Binding;

LRESULT CALLBACK dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Until creation returns, the owner does not know its window yet: the
    // system handles what comes before.
    if (!binding || !binding->created)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        std::unique_ptr<Binding> last(binding);
        // The owner's last message; it may delete itself, and it calls the
        // default handling itself when it wants it.
        return win32::deliver(binding, window, message, wParam, lParam);
    }
    return win32::deliver(binding, window, message, wParam, lParam);
}

const wchar_t* windowClass() {
    static const wchar_t* name = [] {
        static wchar_t buffer[64];
        HMODULE module = win32::ownModule();
        wsprintfW(buffer, L"SpoolexWindow%p", static_cast<void*>(module));
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = dispatch;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = buffer;
        RegisterClassW(&windowClass);
        return buffer;
    }();
    return name;
}

HWND hwnd(WindowHandle window) {
    return static_cast<HWND>(window);
}

int barOf(ScrollBar bar) {
    return bar == ScrollBar::Horizontal ? SB_HORZ : SB_VERT;
}

// BeginPaint and EndPaint as a pair, also when the drawing throws: a paint
// that never ends leaves the window invalid, and the system sends paint
// after paint.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window(window) { screen = BeginPaint(window, &info); }
    ~PaintScope() { EndPaint(window, &info); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC context() const { return screen; }
    const RECT& needed() const { return info.rcPaint; }

private:
    HWND window;
    PAINTSTRUCT info{};
    HDC screen = nullptr;
};

Binding* bindingOf(HWND window) {
    // Only windows of our class keep a binding there.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != dispatch)
        return nullptr;
    auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return binding && binding->created ? binding : nullptr;
}

} // namespace

WindowHandle createWindow(WindowHandle parent, const WindowOptions& options,
                          WindowProcedure procedure, void* context) {
    auto* binding = new Binding{procedure, context};
    // Without a parent: a message-only window, which needs no display.
    HWND owner = parent ? hwnd(parent) : HWND_MESSAGE;
    DWORD style = 0;
    if (parent) {
        style = WS_CHILD;
        if (options.visible)
            style |= WS_VISIBLE;
        if (options.horizontalScrollBar)
            style |= WS_HSCROLL;
        if (options.verticalScrollBar)
            style |= WS_VSCROLL;
        if (options.tabStop)
            style |= WS_TABSTOP;
    }
    std::wstring name;
    for (const char* c = options.name ? options.name : ""; *c; ++c)
        name.push_back(static_cast<unsigned char>(*c));
    const PixelRect& r = options.rect;
    HWND window = CreateWindowExW(
        0, windowClass(), name.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
        owner, parent ? reinterpret_cast<HMENU>(static_cast<intptr_t>(options.controlId)) : nullptr,
        win32::ownModule(), binding);
    if (!window) {
        delete binding;
        return nullptr;
    }
    binding->created = true;
    return window;
}

void destroyWindow(WindowHandle window) {
    if (window)
        DestroyWindow(hwnd(window));
}

intptr_t sendMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    return SendMessageW(hwnd(window), message, wParam, lParam);
}

intptr_t defaultHandling(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (win32::isDialog(hwnd(window)))
        return win32::dialogDefault(hwnd(window), message, wParam, lParam);
    return DefWindowProcW(hwnd(window), message, wParam, lParam);
}

WindowHandle parentOf(WindowHandle window) {
    if (!window || !(GetWindowLongW(hwnd(window), GWL_STYLE) & WS_CHILD))
        return nullptr;
    return GetParent(hwnd(window));
}

WindowHandle topLevelOf(WindowHandle window) {
    return window ? GetAncestor(hwnd(window), GA_ROOT) : nullptr;
}

PixelRect clientRect(WindowHandle window) {
    RECT client{};
    if (window)
        GetClientRect(hwnd(window), &client);
    return {client.left, client.top, client.right, client.bottom};
}

void moveWindow(WindowHandle window, const PixelRect& rect) {
    if (window)
        MoveWindow(hwnd(window), rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, TRUE);
}

void invalidate(WindowHandle window, bool erase) {
    if (window)
        InvalidateRect(hwnd(window), nullptr, erase ? TRUE : FALSE);
}

void invalidateWithChildren(WindowHandle window) {
    if (window)
        RedrawWindow(hwnd(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void updateNow(WindowHandle window) {
    if (window)
        UpdateWindow(hwnd(window));
}

void paint(WindowHandle window, const std::function<void(Surface&)>& draw) {
    PaintScope scope(hwnd(window));
    HDC screen = scope.context();
    if (!screen)
        return;
    RECT box{};
    const RECT& r = scope.needed();
    const PixelRect needed{r.left, r.top, r.right, r.bottom};
    if (GetClipBox(screen, &box) == NULLREGION || box.right <= box.left || box.bottom <= box.top)
        return;
    const PixelRect client = clientRect(window);
    Binding* binding = bindingOf(hwnd(window));
    win32::BackBuffer* buffer =
        binding && !binding->backBuffer.inUse() ? &binding->backBuffer : nullptr;
    HDC memory = buffer ? buffer->prepare(screen, client.right, client.bottom) : nullptr;
    if (!memory) {
        // No memory for the bitmap, or a paint inside a paint: draw straight
        // on the screen.
        win32::GdiPlusSurface surface(screen, 0, 0, needed);
        draw(surface);
        return;
    }
    // Inside the clip box the picture starts from the screen's background
    // colour; only the clip box reaches the screen, and the surface writes
    // no pixel outside the paint rectangle around it.
    SetDCBrushColor(memory, GetBkColor(screen));
    FillRect(memory, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    {
        win32::BackBuffer::Drawing drawing(*buffer);
        win32::GdiPlusSurface surface(memory, buffer->pixels(), needed);
        draw(surface);
    }
    BitBlt(screen, box.left, box.top, box.right - box.left, box.bottom - box.top, memory, box.left,
           box.top, SRCCOPY);
}

PatternBrush::PatternBrush(const uint8_t rows[8]) {
    std::copy(rows, rows + 8, pattern);
    // One-bit bitmaps have rows of whole 16-bit words.
    uint8_t bits[16] = {};
    for (int row = 0; row < 8; ++row)
        bits[2 * row] = rows[row];
    HBITMAP made = CreateBitmap(8, 8, 1, 1, bits);
    bitmap = made;
    brush = made ? CreatePatternBrush(made) : nullptr;
}

PatternBrush::~PatternBrush() {
    if (brush)
        DeleteObject(static_cast<HBRUSH>(brush));
    if (bitmap)
        DeleteObject(static_cast<HBITMAP>(bitmap));
}

void fillPatternOnWindow(WindowHandle window, const PatternBrush& brush, const PixelRect* rects,
                         size_t count, int32_t originX, int32_t originY, uint32_t setArgb,
                         uint32_t clearArgb) {
    if (!window || !brush.native() || !isShowing(window))
        return;
    HDC dc = GetDC(hwnd(window));
    if (!dc)
        return;
    POINT oldOrigin{};
    SetBrushOrgEx(dc, ((originX % 8) + 8) % 8, ((originY % 8) + 8) % 8, &oldOrigin);
    const int oldMode = SetBkMode(dc, OPAQUE);
    // A one-bit brush paints its 0 bits in the text colour and its 1 bits in
    // the background colour.
    const COLORREF oldText = SetTextColor(dc, win32::colourRef(clearArgb));
    const COLORREF oldBackground = SetBkColor(dc, win32::colourRef(setArgb));
    for (size_t i = 0; i < count; ++i) {
        const PixelRect& p = rects[i];
        if (p.right <= p.left || p.bottom <= p.top)
            continue;
        RECT area{p.left, p.top, p.right, p.bottom};
        FillRect(dc, &area, static_cast<HBRUSH>(brush.native()));
    }
    SetBkColor(dc, oldBackground);
    SetTextColor(dc, oldText);
    SetBkMode(dc, oldMode);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    ReleaseDC(hwnd(window), dc);
}

bool isShowing(WindowHandle window) {
    if (!window || !IsWindowVisible(hwnd(window)))
        return false;
    // A minimised top-level window shows nothing of its children.
    return !IsIconic(GetAncestor(hwnd(window), GA_ROOT));
}

void drawOnDeviceContext(void* deviceContext, const std::function<void(Surface&)>& draw) {
    auto dc = static_cast<HDC>(deviceContext);
    RECT box{};
    if (!dc || GetClipBox(dc, &box) == ERROR)
        return;
    win32::GdiPlusSurface surface(dc, 0, 0, {box.left, box.top, box.right, box.bottom});
    draw(surface);
}

void setScrollRange(WindowHandle window, ScrollBar bar, int32_t minimum, int32_t maximum,
                    uint32_t page) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = page;
    SetScrollInfo(hwnd(window), barOf(bar), &info, TRUE);
}

int32_t setScrollPosition(WindowHandle window, ScrollBar bar, int32_t position) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(hwnd(window), barOf(bar), &info, TRUE);
    // The system clamps it into the range less the page.
    GetScrollInfo(hwnd(window), barOf(bar), &info);
    return info.nPos;
}

ScrollState scrollState(WindowHandle window, ScrollBar bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!window || !GetScrollInfo(hwnd(window), barOf(bar), &info))
        return {};
    return {info.nMin, info.nMax, info.nPage, info.nPos, info.nTrackPos};
}

void startTimer(WindowHandle window, unsigned id, unsigned periodMs) {
    SetTimer(hwnd(window), id, periodMs, nullptr);
}

void stopTimer(WindowHandle window, unsigned id) {
    KillTimer(hwnd(window), id);
}

void captureMouse(WindowHandle window) {
    SetCapture(hwnd(window));
}

void releaseMouse() {
    ReleaseCapture();
}

void takeFocus(WindowHandle window) {
    SetFocus(hwnd(window));
}

void setCursor(CursorShape shape) {
    LPCSTR system = IDC_ARROW;
    switch (shape) {
    case CursorShape::SizeWestEast:
        system = IDC_SIZEWE;
        break;
    case CursorShape::SizeAll:
        system = IDC_SIZEALL;
        break;
    case CursorShape::SizeNorthSouth:
        system = IDC_SIZENS;
        break;
    case CursorShape::Arrow:
        break;
    }
    SetCursor(LoadCursorA(nullptr, system));
    if (SpoolexUiHook* hook = findUiHook(); hook && hook->cursorShape)
        hook->cursorShape(static_cast<int>(shape));
}

void cursorPosition(int& x, int& y) {
    POINT point{};
    GetCursorPos(&point);
    x = point.x;
    y = point.y;
}

uint32_t heldModifiers() {
    uint32_t held = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        held |= modifierShift;
    if (GetKeyState(VK_CONTROL) < 0)
        held |= modifierCtrl;
    // A program that scripts its user may hold keys of its own.
    if (SpoolexUiHook* hook = findUiHook(); hook && hook->heldModifiers)
        held |= hook->heldModifiers();
    return held;
}

} // namespace platform
