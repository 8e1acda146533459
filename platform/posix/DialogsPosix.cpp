// Without a window system the user can only read what we say: every message
// goes to standard error and takes its first answer, and pickers cancel.
#include <cstdio>

#include "platform/NativeDialogs.h"

namespace platform::native {

MessageAnswer messageBox(WindowHandle, const std::string& text, const char* caption, MessageIcon,
                         MessageButtons buttons) {
    std::fprintf(stderr, "[%s] %s\n", caption ? caption : "Error", text.c_str());
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
               ? MessageAnswer::Yes
               : MessageAnswer::Ok;
}

FolderPick pickFolder(WindowHandle, const std::string&, const std::string&, std::string&) {
    return FolderPick::Cancelled;
}

bool openFileDialog(WindowHandle, const std::string&, std::string&) {
    return false;
}

} // namespace platform::native

namespace platform {
WindowHandle foregroundWindow() {
    return nullptr;
}
} // namespace platform
