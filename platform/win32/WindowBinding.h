// What ties a system window to the procedure of ours that handles it; shared
// by plain windows and dialogs.
#pragma once

#include <windows.h>

#include "platform/Window.h"
#include "platform/win32/BackBuffer.h"

namespace platform::win32 {

struct Binding {
    Binding(WindowProcedure procedure, void* context) : procedure(procedure), context(context) {}

    WindowProcedure procedure;
    void* context;
    // Set once the creating call has returned the window to its owner.
    bool created = false;
    // The window's paints draw here first; freed with the window.
    BackBuffer backBuffer;
};

// The module whose code this is: the plug-in, or a program linking the
// editor itself. Its resources hold the editor's templates.
HMODULE ownModule();

// Hands a message to the procedure of ours. Nothing thrown passes: the
// system's frames between our procedure and the host's message loop cannot
// unwind it (see setProcedureFailureHandler).
intptr_t deliver(Binding* binding, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dialogs made by createDialog, and the handling they get when their
// procedure leaves a message to the system.
bool isDialog(HWND window);
intptr_t dialogDefault(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform::win32
