// The machine core's user interface, served by the platform layer.
#include "generator/PlatformUserInterface.h"

#include "platform/Dialogs.h"

namespace spoolex {

namespace {
class PlatformUserInterface final : public UserInterface {
public:
    void showMessage(void* owner, const std::string& text, const char* caption,
                     MessageIcon icon) override {
        platform::MessageIcon platformIcon = platform::MessageIcon::None;
        if (icon == MessageIcon::Error)
            platformIcon = platform::MessageIcon::Error;
        else if (icon == MessageIcon::Information)
            platformIcon = platform::MessageIcon::Information;
        platform::messageBox(owner, text, caption, platformIcon);
    }

    FolderChoice chooseFolder(const std::string& title, const std::string& initialSelection,
                              std::string& path) override {
        switch (platform::pickFolder(platform::foregroundWindow(), title, initialSelection, path)) {
        case platform::FolderPick::Chosen:
            return FolderChoice::Chosen;
        case platform::FolderPick::NoFileSystemPath:
            return FolderChoice::NoFileSystemPath;
        case platform::FolderPick::Cancelled:
            break;
        }
        return FolderChoice::Cancelled;
    }
};

PlatformUserInterface platformUi;
} // namespace

void installPlatformUserInterface() {
    setUserInterface(&platformUi);
}

} // namespace spoolex
