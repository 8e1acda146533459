#include "generator/transfers/TransferUserInterface.h"

namespace spoolex {

namespace {
class NoUser final : public TransferUserInterface {
public:
    bool askOkCancel(void*, const std::string&) override { return false; }
    bool chooseFileToOpen(void*, const std::string&, std::string&) override { return false; }
    int choosePopupItem(void*, const std::vector<PopupItem>&) override { return 0; }
    bool runExportDialog(void*, DlgExportWT&) override { return false; }
    bool reserveTemporaryFile(const std::string&, const std::string&, std::string&) override {
        return false;
    }
    bool launchProgram(const std::string&, const std::string&) override { return false; }
};

NoUser noUser;
TransferUserInterface* current = &noUser;
} // namespace

TransferUserInterface& transferUserInterface() {
    return *current;
}

void setTransferUserInterface(TransferUserInterface* ui) {
    current = ui ? ui : &noUser;
}

} // namespace spoolex
