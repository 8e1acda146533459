// The user as a program: a hook (see UiHook.h) that a test program or the
// stand-in host exports, so that every message box and picker shown by any
// loaded plug-in is recorded and answered from a script instead of waiting
// for a click. Unscripted questions get the first answer (OK, Yes) and
// pickers cancel, which is what a script that expects nothing wants.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace platform::testing {

struct ShownMessage {
    WindowHandle owner;
    std::string text;
    bool hasCaption;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
    // How the script answered it.
    MessageAnswer answer = MessageAnswer::Ok;
};

struct ShownMenu {
    WindowHandle owner;
    std::vector<unsigned> ids;
    std::vector<std::string> texts;
    std::vector<bool> enabled;
};

struct ShownPicker {
    std::string title;
    std::string initialSelection;
};

class ScriptedUi {
public:
    static ScriptedUi& instance();

    void answerNextMessage(MessageAnswer answer);
    void chooseFolder(const std::string& path);
    void chooseFolderWithoutPath();
    void cancelNextFolder();
    void chooseFile(const std::string& path);
    void cancelNextFile();

    // The next pop-up menu: the item with that id (0 chooses nothing).
    void chooseMenuItem(unsigned id);
    // Shift and Ctrl as the keyboard reports them from now on.
    void holdModifiers(uint32_t modifiers);
    uint32_t heldModifiers() const;
    // The cursor shape last set (a platform::CursorShape value), -1 for none.
    int cursorShape() const;

    std::vector<ShownMessage> messages() const;
    std::vector<ShownMenu> menus() const;
    std::vector<ShownPicker> folderPickers() const;
    std::vector<std::string> messageTexts() const;
    void clear();

    // Whether shown messages are also echoed to standard error.
    void setEcho(bool echo);
    // A person answers from now on: the program stops answering for the
    // user, and the system shows its own boxes, pickers and menus.
    void setLive(bool live);
    bool isLive() const;

    MessageAnswer showMessage(const ShownMessage& message);
    FolderPick showFolderPicker(const ShownPicker& picker, std::string& path);
    bool showOpenFile(std::string& path);
    unsigned showMenu(const ShownMenu& menu);
    void setCursorShape(int shape);

private:
    struct FolderAnswer {
        FolderPick pick;
        std::string path;
    };
    struct FileAnswer {
        bool chosen;
        std::string path;
    };

    mutable std::mutex mutex;
    bool echo = true;
    std::deque<MessageAnswer> messageAnswers;
    std::deque<FolderAnswer> folderAnswers;
    std::deque<FileAnswer> fileAnswers;
    std::vector<ShownMessage> shown;
    std::vector<ShownPicker> pickers;
    std::deque<unsigned> menuAnswers;
    std::vector<ShownMenu> shownMenus;
    uint32_t modifiers = 0;
    int cursor = -1;
    bool live = false;
};

} // namespace platform::testing
