// Without a window system a window is its procedure and context: messages
// are delivered by a direct call, as the system would on the same thread.
#include "platform/Window.h"

namespace platform {

namespace {
struct PosixWindow {
    WindowHandle parent;
    WindowProcedure procedure;
    void* context;
};
} // namespace

WindowHandle createWindow(WindowHandle parent, WindowProcedure procedure, void* context) {
    return new PosixWindow{parent, procedure, context};
}

void destroyWindow(WindowHandle window) { delete static_cast<PosixWindow*>(window); }

intptr_t sendMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    auto* target = static_cast<PosixWindow*>(window);
    return target ? target->procedure(target->context, message, wParam, lParam) : 0;
}

} // namespace platform
