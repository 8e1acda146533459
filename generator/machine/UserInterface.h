// What the machine core needs from the user's side of the screen. The core
// never includes platform headers; the plug-in installs an implementation
// (PlatformUserInterface) before it creates machines, and tests may install
// their own.
#pragma once

#include <string>

namespace spoolex {

enum class MessageIcon { None, Error, Information };

enum class FolderChoice { Chosen, NoFileSystemPath, Cancelled };

class UserInterface {
public:
    // caption null: the system's default caption.
    virtual void showMessage(void* owner, const std::string& text, const char* caption,
                             MessageIcon icon) = 0;
    // A question with Yes and No buttons and a question icon, no owner:
    // true for Yes.
    virtual bool askYesNo(const std::string& text, const char* caption) = 0;
    virtual FolderChoice chooseFolder(const std::string& title, const std::string& initialSelection,
                                      std::string& path) = 0;

protected:
    ~UserInterface() = default;
};

// The process-wide implementation; never null once the plug-in is loaded.
UserInterface& userInterface();
void setUserInterface(UserInterface* ui);

} // namespace spoolex
