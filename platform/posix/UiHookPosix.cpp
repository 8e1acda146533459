#include <dlfcn.h>

#include "platform/UiHook.h"

namespace platform {

SpoolexUiHook* findUiHook() {
    // RTLD_DEFAULT searches the program and what it loaded globally: the
    // program's exported hook, never a plug-in's private symbols.
    auto function = reinterpret_cast<SpoolexUiHookFunction>(dlsym(RTLD_DEFAULT, "spoolexUiHook"));
    return function ? function() : nullptr;
}

} // namespace platform
