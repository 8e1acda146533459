// What moving audio between takes and the outside world needs from the
// user's side and the system: choosers, the export dialog, the wait box,
// temporary files and launching another program. The plug-in serves it from
// the platform layer (PlatformUserInterface); until then everything is
// cancelled, so a transfer without a user changes nothing.
#pragma once

#include <string>
#include <vector>

namespace spoolex {

class DlgExportWT;

struct PopupItem {
    int id;
    std::string text;
};

class TransferUserInterface {
public:
    // True when the user answered OK.
    virtual bool askOkCancel(void* owner, const std::string& text) = 0;
    // filter: (label, pattern) pairs, each ended by a zero character.
    virtual bool chooseFileToOpen(void* owner, const std::string& filter, std::string& path) = 0;
    // At the mouse cursor; the chosen item's id, or 0 when dismissed.
    virtual int choosePopupItem(void* owner, const std::vector<PopupItem>& items) = 0;
    // Shows the initialised dialog modally; true when it ended with OK.
    virtual bool runExportDialog(void* owner, DlgExportWT& dialog) = 0;
    // A unique empty file in the user's temporary folder: the system's
    // temporary name (its first three characters those of prefix) with
    // extension appended, created afresh and readable by its owner only.
    virtual bool reserveTemporaryFile(const std::string& prefix, const std::string& extension,
                                      std::string& path) = 0;
    // Starts program with parameters (quoted as on a command line); false
    // when it could not be started.
    virtual bool launchProgram(const std::string& program, const std::string& parameters) = 0;

protected:
    ~TransferUserInterface() = default;
};

// Never null.
TransferUserInterface& transferUserInterface();
void setTransferUserInterface(TransferUserInterface* ui);

} // namespace spoolex
