#include "generator/machine/UserInterface.h"

namespace spoolex {

namespace {
// Until a real one is installed, messages go nowhere and pickers cancel:
// the machine keeps working either way.
class SilentUserInterface final : public UserInterface {
public:
    void showMessage(void*, const std::string&, const char*, MessageIcon) override {}
    FolderChoice chooseFolder(const std::string&, const std::string&, std::string&) override {
        return FolderChoice::Cancelled;
    }
};

SilentUserInterface silent;
UserInterface* current = &silent;
} // namespace

UserInterface& userInterface() {
    return *current;
}

void setUserInterface(UserInterface* ui) {
    current = ui ? ui : &silent;
}

} // namespace spoolex
