#include <windows.h>

#include "platform/UiHook.h"

namespace platform {

SpoolexUiHook* findUiHook() {
    // The main program's export only: plug-ins never answer for the user.
    auto function = reinterpret_cast<SpoolexUiHookFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), "spoolexUiHook")));
    return function ? function() : nullptr;
}

} // namespace platform
