#include "generator/machine/UserInterface.h"

#include <atomic>

namespace spoolex {

namespace {
// Until a real one is installed, messages go nowhere, questions are
// answered No and pickers cancel: the machine keeps working either way.
class SilentUserInterface final : public UserInterface {
public:
    void showMessage(void*, const std::string&, const char*, MessageIcon) override {}
    bool askYesNo(const std::string&, const char*) override { return false; }
    FolderChoice chooseFolder(const std::string&, const std::string&, std::string&) override {
        return FolderChoice::Cancelled;
    }
};

SilentUserInterface silent;
// Read by the machines' writer threads too (a failing disk is told from there).
std::atomic<UserInterface*> current{&silent};
} // namespace

UserInterface& userInterface() {
    return *current.load();
}

void setUserInterface(UserInterface* ui) {
    current = ui ? ui : &silent;
}

} // namespace spoolex
