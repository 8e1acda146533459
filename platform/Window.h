// Native windows, as little of them as the machines need: a window that
// hands its messages to a procedure of ours, and sending it a message.
#pragma once

#include <cstdint>

namespace platform {

using WindowHandle = void*;

// The system's command message; wParam's low 16 bits carry the command.
constexpr unsigned messageCommand = 0x0111;

using WindowProcedure = intptr_t (*)(void* context, unsigned message, uintptr_t wParam,
                                     intptr_t lParam);

// A child of parent, or a window of its own without a parent. Null when the
// system refuses one.
WindowHandle createWindow(WindowHandle parent, WindowProcedure procedure, void* context);
void destroyWindow(WindowHandle window);
intptr_t sendMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);

} // namespace platform
