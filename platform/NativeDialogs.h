// The platform's own implementations behind Dialogs.h, used when the main
// program supplies no hook.
#pragma once

#include "platform/Dialogs.h"

namespace platform::native {
MessageAnswer messageBox(WindowHandle owner, const std::string& text, const char* caption,
                         MessageIcon icon, MessageButtons buttons);
FolderPick pickFolder(WindowHandle owner, const std::string& title,
                      const std::string& initialSelection, std::string& chosenPath);
bool openFileDialog(WindowHandle owner, const std::string& filter, std::string& chosenPath);
} // namespace platform::native
