// The machine core's user interface, served by the platform layer.
#include "generator/editor/PlatformUserInterface.h"

#include <cstdio>

#include "generator/machine/SlotGuard.h"
#include "generator/transfers/DlgExportWT.h"
#include "generator/transfers/TransferUserInterface.h"
#include "platform/Choosers.h"
#include "platform/Dialogs.h"
#include "platform/Programs.h"
#include "platform/Window.h"

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

    bool askYesNo(const std::string& text, const char* caption) override {
        return platform::messageBox(nullptr, text, caption, platform::MessageIcon::Question,
                                    platform::MessageButtons::YesNo) ==
               platform::MessageAnswer::Yes;
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

class PlatformTransferUserInterface final : public TransferUserInterface {
public:
    bool askOkCancel(void* owner, const std::string& text) override {
        return platform::messageBox(owner, text, nullptr, platform::MessageIcon::Information,
                                    platform::MessageButtons::OkCancel) ==
               platform::MessageAnswer::Ok;
    }

    bool chooseFileToOpen(void* owner, const std::string& filter, std::string& path) override {
        // The platform spells the pieces' ends as '|'.
        std::string pieces = filter;
        for (char& c : pieces)
            if (c == '\0')
                c = '|';
        return platform::openFileDialog(owner, pieces, path);
    }

    int choosePopupItem(void* owner, const std::vector<PopupItem>& items) override {
        std::vector<platform::MenuItem> menu;
        for (const PopupItem& item : items) {
            platform::MenuItem entry;
            entry.id = static_cast<unsigned>(item.id);
            entry.text = item.text;
            menu.push_back(entry);
        }
        return static_cast<int>(platform::choosePopupItem(owner, menu));
    }

    bool runExportDialog(void* owner, DlgExportWT& dialog) override {
        int wave = dialog.selectedWave(), format = dialog.selectedFormat();
        if (!platform::exportWavetableDialog(owner, dialog.waveEntries(), dialog.selectedWave(),
                                             dialog.formatEntries(), dialog.helpText(), wave,
                                             format))
            return false;
        dialog.onOk(wave, format);
        return true;
    }

    bool reserveTemporaryFile(const std::string& prefix, const std::string& extension,
                              std::string& path) override {
        // Only the reserved name is wanted: that file goes, and the name with
        // the extension is created in its place.
        std::string reserved;
        if (!platform::reserveTemporaryFile(prefix, reserved))
            return false;
        const bool created = platform::createPrivateFile(reserved + extension);
        std::remove(reserved.c_str());
        if (created)
            path = reserved + extension;
        return created;
    }

    bool launchProgram(const std::string& program, const std::string& parameters) override {
        return platform::launchProgram(program, parameters);
    }
};

PlatformUserInterface platformUi;
PlatformTransferUserInterface platformTransfers;

// A window message of the editor failed (out of memory). The user hears of
// it when it was an act of theirs; a paint or a timer that fails comes back
// by itself, and a box at each would never end.
void reportProcedureFailure(platform::WindowHandle, unsigned message) {
    switch (message) {
    case platform::messageCommand:
    case platform::messageKeyDown:
    case platform::messageChar:
    case platform::messageLeftButtonDown:
    case platform::messageMiddleButtonDown:
        platform::messageBox(nullptr, outOfMemory, nullptr, platform::MessageIcon::Error);
        break;
    default:
        break;
    }
}
} // namespace

void installPlatformUserInterface() {
    setUserInterface(&platformUi);
    setTransferUserInterface(&platformTransfers);
    platform::setProcedureFailureHandler(reportProcedureFailure);
}

} // namespace spoolex
