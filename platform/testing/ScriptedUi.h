// The user as a program: a hook (see UiHook.h) that a test program or the
// stand-in host exports, so that every message box and picker shown by any
// loaded plug-in is recorded and answered from a script instead of waiting
// for a click. Unscripted questions get the first answer (OK, Yes) and
// pickers cancel, which is what a script that expects nothing wants.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Choosers.h"
#include "platform/Dialogs.h"

namespace platform::testing {

struct ShownMessage {
    WindowHandle owner;
    std::string text;
    bool hasCaption;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
    // How the script answered it, and whether an answer the script gave
    // did (rather than the one for unscripted questions).
    MessageAnswer answer = MessageAnswer::Ok;
    bool scripted = false;
};

// Answers given that nothing has asked for yet.
struct PendingAnswers {
    size_t messages = 0;
    size_t files = 0;
    size_t menus = 0;
};

struct ShownMenu {
    WindowHandle owner;
    std::vector<unsigned> ids;
    std::vector<std::string> texts;
    std::vector<bool> enabled;
};

struct ShownExportDialog {
    std::vector<std::string> waves;
    int preselectedWave;
    std::vector<std::string> formats;
};

struct LaunchedProgram {
    std::string program;
    std::string parameters;
    bool started;
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
    // The next message is answered only after the last launched program has
    // ended, as a user answers a "click OK when done" box.
    void answerNextMessageAfterLaunchedProgram(MessageAnswer answer);
    // The export dialog: OK with a wave position (-1 keeps the preselected
    // one) and a format position; unscripted dialogs are cancelled.
    void answerExportDialog(int wave, int format);
    void cancelNextExportDialog();

    // The next pop-up menu: the item with that id; unscripted menus are
    // dismissed (0 chooses nothing).
    void chooseMenuItem(unsigned id);
    // What the host does while the next box, chooser, menu or dialog is up
    // (its loop runs the host's messages): act runs before it is answered.
    void whileNextBoxIsUp(std::function<void()> act);
    // Runs the act waiting for the box being shown, if any.
    void boxIsUp();
    // The next pop-up menu's item whose text (without '&' and shortcut) is
    // item, else the item whose id or, from 1, position it is; nothing when
    // none is.
    void chooseMenuItem(const std::string& item);
    // Every message shown while a launched program runs is answered only
    // after that program has ended.
    void setWaitForLaunchedPrograms(bool wait);
    // Shift and Ctrl as the keyboard reports them from now on.
    void holdModifiers(uint32_t modifiers);
    uint32_t heldModifiers() const;
    // The cursor shape last set (a platform::CursorShape value), -1 for none.
    int cursorShape() const;

    std::vector<ShownMessage> messages() const;
    std::vector<ShownPicker> folderPickers() const;
    std::vector<std::string> messageTexts() const;
    std::vector<ShownMenu> menus() const;
    std::vector<ShownExportDialog> exportDialogs() const;
    std::vector<LaunchedProgram> launches() const;
    // Waits until the last program launched through the platform layer has
    // ended. False when there is none left to wait for.
    bool waitForLastLaunchedProgram();
    void clear();

    // Unscripted questions get the answer that changes nothing (No, Cancel)
    // instead of the first one: for a user who must say yes to be asked.
    void setCautious(bool cautious);
    PendingAnswers pendingAnswers() const;

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
    bool showExportDialog(const ShownExportDialog& dialog, int& wave, int& format);
    // Keeps the process (see UiHook.h) to wait for it later.
    void programLaunched(const LaunchedProgram& launch, long long process);

private:
    struct FolderAnswer {
        FolderPick pick;
        std::string path;
    };
    struct MessageScript {
        MessageAnswer answer;
        bool afterLaunchedProgram;
    };
    struct DialogAnswer {
        bool ok;
        int wave;
        int format;
    };
    struct FileAnswer {
        bool chosen;
        std::string path;
    };

    mutable std::mutex mutex;
    bool echo = true;
    bool cautious = false;
    std::deque<MessageScript> messageAnswers;
    std::deque<FolderAnswer> folderAnswers;
    std::deque<FileAnswer> fileAnswers;
    std::vector<ShownMessage> shown;
    std::vector<ShownPicker> pickers;
    std::deque<std::function<void()>> meanwhile;
    struct MenuAnswer {
        unsigned id;
        std::string item; // when not empty, resolved against the menu
    };
    std::deque<MenuAnswer> menuAnswers;
    bool waitForLaunches = false;
    std::deque<DialogAnswer> dialogAnswers;
    std::vector<ShownMenu> shownMenus;
    std::vector<ShownExportDialog> shownDialogs;
    std::vector<LaunchedProgram> launched;
    std::vector<long long> runningProcesses; // kept, not yet waited for
    uint32_t modifiers = 0;
    int cursor = -1;
    bool live = false;
};

} // namespace platform::testing
