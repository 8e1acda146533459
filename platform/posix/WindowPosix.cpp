// Windows without a window system (see HeadlessWindow.h): messages are
// delivered by a direct call, as the system would on the same thread, and
// everything a real window would show is kept in its record.
#include <algorithm>
#include <cstdlib>

#include "platform/UiHook.h"
#include "platform/posix/HeadlessWindow.h"

namespace platform {

using headless::Window;
using headless::windowOf;

namespace {

Window* captured = nullptr;
Window* focused = nullptr;

// Where drawing goes when nobody asked to see it: the view's state (the
// selection's pixel edges) still follows its paint, as on the screen.
class NullSurface final : public Surface {
public:
    explicit NullSurface(PixelRect rect) : rect(rect) {}
    PixelRect paintRect() const override { return rect; }
    void fillRect(float, float, float, float, uint32_t) override {}
    void drawRect(float, float, float, float, float, uint32_t) override {}
    void drawEllipse(float, float, float, float, float, uint32_t) override {}
    void fillPattern(const PixelRect&, const uint8_t*, int32_t, int32_t, uint32_t,
                     uint32_t) override {}
    void paintMask(int32_t, int32_t, int32_t, int32_t, const uint8_t*, int32_t, int32_t, int32_t,
                   uint32_t) override {}

private:
    PixelRect rect;
};

// The system keeps a position within minimum .. maximum - page + 1; in 64
// bits, so a page larger than the range cannot wrap.
int32_t highestPosition(const ScrollState& state) {
    const int64_t page = state.page > 0 ? int64_t{state.page} - 1 : 0;
    return static_cast<int32_t>(std::max<int64_t>(state.minimum, int64_t{state.maximum} - page));
}

ScrollState& barOf(Window* window, ScrollBar bar) {
    return bar == ScrollBar::Horizontal ? window->horizontal : window->vertical;
}

} // namespace

WindowHandle createWindow(WindowHandle parent, const WindowOptions& options,
                          WindowProcedure procedure, void* context) {
    auto* window = new Window;
    window->parent = windowOf(parent);
    window->procedure = procedure;
    window->context = context;
    window->name = options.name ? options.name : "";
    window->controlId = options.controlId;
    window->visible = options.visible;
    window->tabStop = options.tabStop;
    window->rect = options.rect;
    window->hasHorizontalScrollBar = options.horizontalScrollBar;
    window->hasVerticalScrollBar = options.verticalScrollBar;
    if (window->parent)
        window->parent->children.push_back(window);
    return window;
}

void destroyWindow(WindowHandle handle) {
    Window* window = windowOf(handle);
    if (!window || window->destroyed)
        return;
    window->destroyed = true;
    sendMessage(window, messageDestroy, 0, 0);
    while (!window->children.empty())
        destroyWindow(window->children.back());
    if (Window* parent = window->parent) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    if (captured == window)
        captured = nullptr;
    if (focused == window)
        focused = nullptr;
    sendMessage(window, messageNcDestroy, 0, 0);
    delete window;
}

intptr_t sendMessage(WindowHandle handle, unsigned message, uintptr_t wParam, intptr_t lParam) {
    Window* window = windowOf(handle);
    if (!window)
        return 0;
    if (!window->procedure)
        return defaultHandling(handle, message, wParam, lParam);
    return window->procedure(window->context, handle, message, wParam, lParam);
}

intptr_t defaultHandling(WindowHandle handle, unsigned message, uintptr_t, intptr_t) {
    Window* window = windowOf(handle);
    if (window && message == messagePaint)
        window->invalid = false;
    return 0;
}

WindowHandle parentOf(WindowHandle window) {
    return windowOf(window) ? windowOf(window)->parent : nullptr;
}

WindowHandle topLevelOf(WindowHandle handle) {
    Window* window = windowOf(handle);
    while (window && window->parent)
        window = window->parent;
    return window;
}

PixelRect clientRect(WindowHandle handle) {
    Window* window = windowOf(handle);
    if (!window)
        return {};
    return {0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
}

void moveWindow(WindowHandle handle, const PixelRect& rect) {
    Window* window = windowOf(handle);
    if (!window)
        return;
    const PixelRect before = clientRect(handle);
    window->rect = rect;
    const PixelRect after = clientRect(handle);
    if (before.right != after.right || before.bottom != after.bottom)
        sendMessage(handle, messageSize, 0,
                    static_cast<intptr_t>((after.right & 0xFFFF) | (after.bottom & 0xFFFF) << 16));
}

void invalidate(WindowHandle handle, bool) {
    if (Window* window = windowOf(handle)) {
        window->invalid = true;
        ++window->invalidations;
    }
}

void invalidateWithChildren(WindowHandle handle) {
    Window* window = windowOf(handle);
    if (!window)
        return;
    invalidate(window);
    for (Window* child : window->children)
        invalidateWithChildren(child);
}

void updateNow(WindowHandle handle) {
    Window* window = windowOf(handle);
    if (window && window->invalid)
        sendMessage(handle, messagePaint, 0, 0);
}

void paint(WindowHandle handle, const std::function<void(Surface&)>& draw) {
    Window* window = windowOf(handle);
    if (!window)
        return;
    window->invalid = false;
    if (window->paintSurface) {
        draw(*window->paintSurface);
        return;
    }
    NullSurface nowhere(clientRect(handle));
    draw(nowhere);
}

PatternBrush::PatternBrush(const uint8_t rows[8]) {
    std::copy(rows, rows + 8, pattern);
}

PatternBrush::~PatternBrush() = default;

void fillPatternOnWindow(WindowHandle handle, const PatternBrush& brush, const PixelRect* rects,
                         size_t count, int32_t originX, int32_t originY, uint32_t setArgb,
                         uint32_t clearArgb) {
    Window* window = windowOf(handle);
    if (!window || !window->screenSurface || !isShowing(handle))
        return;
    for (size_t i = 0; i < count; ++i)
        window->screenSurface->fillPattern(rects[i], brush.rows(), originX, originY, setArgb,
                                           clearArgb);
}

bool isShowing(WindowHandle handle) {
    for (Window* window = windowOf(handle); window; window = window->parent)
        if (!window->visible)
            return false;
    return handle != nullptr;
}

// Here the system is our own code: an exception reaches the caller.
void setProcedureFailureHandler(ProcedureFailureHandler) {}

void drawOnDeviceContext(void* deviceContext, const std::function<void(Surface&)>& draw) {
    if (deviceContext)
        draw(*static_cast<Surface*>(deviceContext));
}

void setScrollRange(WindowHandle handle, ScrollBar bar, int32_t minimum, int32_t maximum,
                    uint32_t page) {
    Window* window = windowOf(handle);
    if (!window)
        return;
    ScrollState& state = barOf(window, bar);
    state.minimum = minimum;
    state.maximum = maximum;
    state.page = page;
    state.position = std::clamp(state.position, minimum, highestPosition(state));
}

int32_t setScrollPosition(WindowHandle handle, ScrollBar bar, int32_t position) {
    Window* window = windowOf(handle);
    if (!window)
        return 0;
    ScrollState& state = barOf(window, bar);
    state.position = std::clamp(position, state.minimum, highestPosition(state));
    return state.position;
}

ScrollState scrollState(WindowHandle handle, ScrollBar bar) {
    Window* window = windowOf(handle);
    return window ? barOf(window, bar) : ScrollState{};
}

void startTimer(WindowHandle handle, unsigned id, unsigned periodMs) {
    if (Window* window = windowOf(handle))
        window->timers[id] = periodMs;
}

void stopTimer(WindowHandle handle, unsigned id) {
    if (Window* window = windowOf(handle))
        window->timers.erase(id);
}

// As the system does: the window that loses the capture hears of it after
// the capture has moved.
void captureMouse(WindowHandle handle) {
    Window* previous = captured;
    if (previous == windowOf(handle))
        return;
    if (previous)
        previous->hasCapture = false;
    captured = windowOf(handle);
    if (captured)
        captured->hasCapture = true;
    if (previous)
        sendMessage(previous, messageCaptureChanged, 0, reinterpret_cast<intptr_t>(handle));
}

void releaseMouse() {
    captureMouse(nullptr);
}

void takeFocus(WindowHandle handle) {
    if (focused)
        focused->hasFocus = false;
    focused = windowOf(handle);
    if (focused)
        focused->hasFocus = true;
}

void setCursor(CursorShape shape) {
    if (SpoolexUiHook* hook = findUiHook(); hook && hook->cursorShape)
        hook->cursorShape(static_cast<int>(shape));
}

void cursorPosition(int& x, int& y) {
    x = 0;
    y = 0;
}

uint32_t heldModifiers() {
    SpoolexUiHook* hook = findUiHook();
    return hook && hook->heldModifiers ? hook->heldModifiers() : 0;
}

} // namespace platform
