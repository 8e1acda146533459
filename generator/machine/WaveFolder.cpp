#include "generator/machine/WaveFolder.h"

#include "generator/machine/ProcessState.h"
#include "generator/machine/UserInterface.h"

namespace spoolex {

bool chooseWaveFolder(bool allowCancel) {
    for (;;) {
        const std::string& initial =
            !projectFolder().empty() ? projectFolder() : defaultProjectFolder();
        std::string path;
        switch (userInterface().chooseFolder("Where should Spoolex save this song's wave data?",
                                             initial, path)) {
        case FolderChoice::Chosen:
            projectFolder() = path;
            return true;
        case FolderChoice::NoFileSystemPath:
            userInterface().showMessage(nullptr,
                                        "This folder cannot be used, please try selecting a "
                                        "different folder.\nError: SHGetPathFromIDList returned "
                                        "FALSE.",
                                        "", MessageIcon::Error);
            break;
        case FolderChoice::Cancelled:
            if (allowCancel)
                return false;
            userInterface().showMessage(nullptr,
                                        "You must select a folder. Cancelling is not permitted.",
                                        "", MessageIcon::Error);
            break;
        }
    }
}

} // namespace spoolex
