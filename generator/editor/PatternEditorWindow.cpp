// The view's window and how its messages reach the handlers.
#include "generator/editor/PatternEditor.h"
#include "generator/editor/SnapshotSettings.h"

namespace {

constexpr unsigned timerMarchingFrame = 2;
constexpr unsigned timerRecordingRefresh = 3;

intptr_t viewProcedure(void* context, platform::WindowHandle, unsigned message, uintptr_t wParam,
                       intptr_t lParam) {
    return static_cast<PatternEditor*>(context)->onMessage(message, wParam, lParam);
}

} // namespace

bool PatternEditor::createWindow(platform::WindowHandle parent) {
    if (window)
        return true;
    platform::WindowOptions options;
    options.name = "pated";
    options.horizontalScrollBar = true;
    options.verticalScrollBar = true;
    options.tabStop = true;
    window = platform::createWindow(parent, options, viewProcedure, this);
    if (!window)
        return false;
    marchingFrame.owner = window;
    platform::startTimer(window, timerMarchingFrame, 50);
    platform::startTimer(window, timerRecordingRefresh, 500);
    return true;
}

void PatternEditor::destroyWindow() {
    if (window)
        platform::destroyWindow(window);
}

intptr_t PatternEditor::onMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    using namespace platform;
    const int x = mouseX(lParam);
    const int y = mouseY(lParam);
    switch (message) {
    case messagePaint:
        platform::paint(window, [this](Surface& surface) {
            const PixelRect client = clientRect(window);
            paint(surface, client.right, client.bottom);
        });
        return 0;
    case messageEraseBackground:
        return 0;
    case messageSize: {
        intptr_t result = defaultHandling(window, message, wParam, lParam);
        updateScrollBars();
        return result;
    }
    case messageHorizontalScroll:
        onScroll(ScrollBar::Horizontal, static_cast<unsigned>(wParam & 0xFFFF));
        return 0;
    case messageVerticalScroll:
        onScroll(ScrollBar::Vertical, static_cast<unsigned>(wParam & 0xFFFF));
        return 0;
    case messageLeftButtonDown:
        onLeftButtonDown(x, y, wParam);
        return 0;
    case messageMiddleButtonDown:
        onMiddleButtonDown(x, y);
        return 0;
    case messageLeftButtonUp:
    case messageMiddleButtonUp:
        onButtonUp();
        return 0;
    case messageMouseMove:
        onMouseMove(x, y, wParam);
        return 0;
    case messageCaptureChanged:
        onCaptureLost(reinterpret_cast<WindowHandle>(lParam));
        return 0;
    case messageRightButtonDown:
        takeFocus(window);
        return 0;
    case messageMouseWheel:
        onMouseWheel(wheelDelta(wParam), wParam);
        return 1;
    case messageKeyDown:
    case messageChar: {
        // A bound command's box may let the host delete this view.
        const WindowHandle self = window;
        const std::weak_ptr<const char> alive = lifetime;
        if (message == messageKeyDown)
            onKeyDown(static_cast<uint32_t>(wParam));
        else
            onCharacter(static_cast<uint32_t>(wParam));
        return alive.expired() ? 0 : defaultHandling(self, message, wParam, lParam);
    }
    case messageTimer:
        onTimer(static_cast<unsigned>(wParam));
        return 0;
    case messageCommand:
        return onCommand(static_cast<uint16_t>(wParam & 0xFFFF)) ? 1 : 0;
    case messageSnapshotSetting:
        return applySnapshotSetting(wParam, lParam) ? 1 : 0;
    case messageNcDestroy:
        window = nullptr;
        marchingFrame.owner = nullptr;
        return 0;
    }
    return defaultHandling(window, message, wParam, lParam);
}
