#include "generator/editor/PatternEditorParent.h"

#include "generator/core/Machine.h"
#include "platform/Window.h"

namespace {
// Frame and view alike hand every command to the view's command table.
intptr_t onMessage(void* context, unsigned message, uintptr_t wParam, intptr_t) {
    if (message != platform::messageCommand)
        return 0;
    return static_cast<PatternEditor*>(context)->onCommand(static_cast<uint16_t>(wParam & 0xffff))
               ? 1
               : 0;
}
} // namespace

PatternEditorParent::PatternEditorParent() {
    view.frame = this;
}

void* PatternEditorParent::create(void* parentWindow) {
    if (window)
        return window;
    window = platform::createWindow(parentWindow, onMessage, &view);
    if (window)
        view.window = platform::createWindow(window, onMessage, &view);
    return window;
}

void PatternEditorParent::destroyWindow() {
    platform::destroyWindow(view.window);
    view.window = nullptr;
    platform::destroyWindow(window);
    // The frame's last act, as after its final window message: the machine
    // forgets its editor and the frame deletes itself with its members.
    if (spoolex::mi* machine = view.machine) {
        machine->editor = nullptr;
        machine->editorFrame = nullptr;
    }
    window = nullptr;
    delete this;
}
