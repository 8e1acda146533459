#include "generator/editor/PatternEditorParent.h"

#include "generator/machine/Machine.h"

namespace {

intptr_t frameProcedure(void* context, platform::WindowHandle, unsigned message, uintptr_t wParam,
                        intptr_t lParam) {
    return static_cast<PatternEditorParent*>(context)->onMessage(message, wParam, lParam);
}

} // namespace

PatternEditorParent::PatternEditorParent() {
    view.frame = this;
    bar.frame = this;
}

void PatternEditorParent::attach(spoolex::mi& machine) {
    view.machine = &machine;
    view.hostServices = machine.callbacks;
}

void* PatternEditorParent::createWindow(void* hostWindow) {
    if (window)
        return window;
    platform::WindowOptions frameOptions;
    frameOptions.name = "patedparent";
    frameOptions.tabStop = true;
    window = platform::createWindow(hostWindow, frameOptions, frameProcedure, this);
    if (!window)
        return nullptr;
    view.createWindow(window);
    bar.create(window);
    bar.showGrid();
    bar.updateViewLabels();
    creating = false;
    layout();
    return window;
}

void PatternEditorParent::layout() {
    if (creating || !window)
        return;
    platform::PixelRect client = platform::clientRect(window);
    int32_t barHeight = 0;
    if (bar.hasWindow()) {
        platform::PixelRect barRect = platform::clientRect(bar.windowHandle());
        barHeight = barRect.bottom - barRect.top;
        platform::moveWindow(bar.windowHandle(), {0, 0, client.right, barHeight});
    }
    if (view.hasWindow()) {
        platform::moveWindow(view.windowHandle(), {0, barHeight, client.right, client.bottom});
        platform::invalidate(view.windowHandle());
    }
}

intptr_t PatternEditorParent::onMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case platform::messageSize: {
        intptr_t result = platform::defaultHandling(window, message, wParam, lParam);
        layout();
        return result;
    }
    case platform::messageKeyDown:
        view.onKeyDown(static_cast<uint32_t>(wParam));
        return platform::defaultHandling(window, message, wParam, lParam);
    case platform::messageMouseWheel:
        view.onMouseWheel(platform::wheelDelta(wParam), wParam);
        return 0;
    case platform::messageCommand:
        return view.onCommand(static_cast<uint16_t>(wParam & 0xFFFF)) ? 1 : 0;
    case platform::messageNcDestroy:
        platform::defaultHandling(window, message, wParam, lParam);
        finalMessage();
        return 0;
    }
    return platform::defaultHandling(window, message, wParam, lParam);
}

void PatternEditorParent::destroy() {
    if (window) {
        // Destroying the frame destroys its children; its final message
        // deletes the frame.
        platform::destroyWindow(window);
        return;
    }
    finalMessage();
}

void PatternEditorParent::finalMessage() {
    window = nullptr;
    if (spoolex::mi* machine = view.machine)
        machine->editorGone(this);
    delete this;
}

void PatternEditorParent::showPattern(spoolex::Pattern* pattern) {
    view.showPattern(pattern);
}

void PatternEditorParent::patternChanged(spoolex::Pattern& pattern) {
    view.patternChanged(pattern);
}

void PatternEditorParent::patternLengthChanged(spoolex::Pattern& pattern) {
    view.patternLengthChanged(pattern);
}

void PatternEditorParent::patternDeleted(spoolex::Pattern& pattern) {
    if (view.shownPattern() == &pattern)
        view.showPattern(nullptr);
}

PatternEditor* editorViewOf(spoolex::mi& machine) {
    auto* frame = static_cast<PatternEditorParent*>(machine.editor());
    return frame ? &frame->view : nullptr;
}

void installPatternEditor() {
    spoolex::setEditorFactory([]() -> spoolex::MachineEditor* { return new PatternEditorParent; });
    // The pattern box paints through the same surfaces as the view.
    installPatternBoxSurface();
}
