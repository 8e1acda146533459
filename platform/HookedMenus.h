// Pop-up menus answered by the main program's UI hook (UiHook.h), on every
// platform: a program that scripts its user answers menus as it answers
// message boxes.
#pragma once

#include <vector>

#include "platform/Window.h"

namespace platform {

// Whether the main program answers pop-up menus.
bool hookAnswersMenus();
// The enabled leaf item the hook chose among items, or 0.
unsigned askHookForItem(WindowHandle owner, const std::vector<MenuItem>& items);

} // namespace platform
