#include "platform/Dialogs.h"

#include <vector>

#include "platform/NativeDialogs.h"
#include "platform/UiHook.h"

namespace platform {

namespace {
constexpr int pathBufferSize = 4096;
}

MessageAnswer messageBox(WindowHandle owner, const std::string& text, const char* caption,
                         MessageIcon icon, MessageButtons buttons) {
    if (SpoolexUiHook* hook = findUiHook(); hook && hook->messageBox)
        return static_cast<MessageAnswer>(hook->messageBox(
            owner, text.c_str(), caption, static_cast<int>(icon), static_cast<int>(buttons)));
    return native::messageBox(owner, text, caption, icon, buttons);
}

FolderPick pickFolder(WindowHandle owner, const std::string& title,
                      const std::string& initialSelection, std::string& chosenPath) {
    if (SpoolexUiHook* hook = findUiHook(); hook && hook->pickFolder) {
        std::vector<char> buffer(pathBufferSize, 0);
        auto result = static_cast<FolderPick>(hook->pickFolder(
            owner, title.c_str(), initialSelection.c_str(), buffer.data(), pathBufferSize));
        buffer.back() = 0;
        if (result == FolderPick::Chosen)
            chosenPath = buffer.data();
        return result;
    }
    return native::pickFolder(owner, title, initialSelection, chosenPath);
}

bool openFileDialog(WindowHandle owner, const std::string& filter, std::string& chosenPath) {
    if (SpoolexUiHook* hook = findUiHook(); hook && hook->openFile) {
        std::vector<char> buffer(pathBufferSize, 0);
        bool chosen = hook->openFile(owner, filter.c_str(), buffer.data(), pathBufferSize) != 0;
        buffer.back() = 0;
        if (chosen)
            chosenPath = buffer.data();
        return chosen;
    }
    return native::openFileDialog(owner, filter, chosenPath);
}

} // namespace platform
