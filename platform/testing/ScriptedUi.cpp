#include "platform/testing/ScriptedUi.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/UiHook.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/types.h>
#include <sys/wait.h>
#endif

namespace platform::testing {

ScriptedUi& ScriptedUi::instance() {
    static ScriptedUi ui;
    return ui;
}

void ScriptedUi::answerNextMessage(MessageAnswer answer) {
    std::lock_guard<std::mutex> lock(mutex);
    messageAnswers.push_back({answer, false});
}

void ScriptedUi::answerNextMessageAfterLaunchedProgram(MessageAnswer answer) {
    std::lock_guard<std::mutex> lock(mutex);
    messageAnswers.push_back({answer, true});
}

void ScriptedUi::answerExportDialog(int wave, int format) {
    std::lock_guard<std::mutex> lock(mutex);
    dialogAnswers.push_back({true, wave, format});
}

void ScriptedUi::cancelNextExportDialog() {
    std::lock_guard<std::mutex> lock(mutex);
    dialogAnswers.push_back({false, 0, 0});
}

std::vector<ShownExportDialog> ScriptedUi::exportDialogs() const {
    std::lock_guard<std::mutex> lock(mutex);
    return shownDialogs;
}

std::vector<LaunchedProgram> ScriptedUi::launches() const {
    std::lock_guard<std::mutex> lock(mutex);
    return launched;
}

bool ScriptedUi::showExportDialog(const ShownExportDialog& dialog, int& wave, int& format) {
    std::lock_guard<std::mutex> lock(mutex);
    shownDialogs.push_back(dialog);
    if (dialogAnswers.empty())
        return false;
    DialogAnswer answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    wave = answer.wave < 0 ? dialog.preselectedWave : answer.wave;
    format = answer.format;
    return answer.ok;
}

void ScriptedUi::programLaunched(const LaunchedProgram& launch, long long process) {
    std::lock_guard<std::mutex> lock(mutex);
    launched.push_back(launch);
    if (process)
        runningProcesses.push_back(process);
}

bool ScriptedUi::waitForLastLaunchedProgram() {
    long long process = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (runningProcesses.empty())
            return false;
        process = runningProcesses.back();
        runningProcesses.pop_back();
    }
#if defined(_WIN32)
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(process));
    WaitForSingleObject(handle, INFINITE);
    CloseHandle(handle);
#else
    while (waitpid(static_cast<pid_t>(process), nullptr, 0) < 0 && errno == EINTR) {
    }
#endif
    return true;
}

void ScriptedUi::chooseFolder(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex);
    folderAnswers.push_back({FolderPick::Chosen, path});
}

void ScriptedUi::chooseFolderWithoutPath() {
    std::lock_guard<std::mutex> lock(mutex);
    folderAnswers.push_back({FolderPick::NoFileSystemPath, {}});
}

void ScriptedUi::cancelNextFolder() {
    std::lock_guard<std::mutex> lock(mutex);
    folderAnswers.push_back({FolderPick::Cancelled, {}});
}

void ScriptedUi::chooseFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex);
    fileAnswers.push_back({true, path});
}

void ScriptedUi::cancelNextFile() {
    std::lock_guard<std::mutex> lock(mutex);
    fileAnswers.push_back({false, {}});
}

std::vector<ShownMessage> ScriptedUi::messages() const {
    std::lock_guard<std::mutex> lock(mutex);
    return shown;
}

std::vector<std::string> ScriptedUi::messageTexts() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::string> texts;
    for (const ShownMessage& message : shown)
        texts.push_back(message.text);
    return texts;
}

std::vector<ShownPicker> ScriptedUi::folderPickers() const {
    std::lock_guard<std::mutex> lock(mutex);
    return pickers;
}

void ScriptedUi::whileNextBoxIsUp(std::function<void()> act) {
    std::lock_guard<std::mutex> lock(mutex);
    meanwhile.push_back(std::move(act));
}

void ScriptedUi::boxIsUp() {
    std::function<void()> act;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (meanwhile.empty())
            return;
        act = std::move(meanwhile.front());
        meanwhile.pop_front();
    }
    act();
}

void ScriptedUi::clear() {
    std::lock_guard<std::mutex> lock(mutex);
    meanwhile.clear();
    messageAnswers.clear();
    folderAnswers.clear();
    fileAnswers.clear();
    shown.clear();
    pickers.clear();
    menuAnswers.clear();
    dialogAnswers.clear();
    shownMenus.clear();
    shownDialogs.clear();
    launched.clear();
    waitForLaunches = false;
    modifiers = 0;
    cautious = false;
    cursor = -1;
    live = false;
}

void ScriptedUi::setEcho(bool on) {
    std::lock_guard<std::mutex> lock(mutex);
    echo = on;
}

void ScriptedUi::setLive(bool on) {
    std::lock_guard<std::mutex> lock(mutex);
    live = on;
}

bool ScriptedUi::isLive() const {
    std::lock_guard<std::mutex> lock(mutex);
    return live;
}

MessageAnswer ScriptedUi::showMessage(const ShownMessage& message) {
    std::unique_lock<std::mutex> lock(mutex);
    if (echo)
        std::fprintf(stderr, "[%s] %s\n", message.hasCaption ? message.caption.c_str() : "Error",
                     message.text.c_str());
    bool yesNo =
        message.buttons == MessageButtons::YesNo || message.buttons == MessageButtons::YesNoCancel;
    MessageScript script{yesNo ? MessageAnswer::Yes : MessageAnswer::Ok, false};
    if (cautious && message.buttons != MessageButtons::Ok)
        script.answer =
            message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    const bool scripted = !messageAnswers.empty();
    if (scripted) {
        script = messageAnswers.front();
        messageAnswers.pop_front();
    }
    shown.push_back(message);
    shown.back().answer = script.answer;
    shown.back().scripted = scripted;
    if (script.afterLaunchedProgram || (waitForLaunches && !runningProcesses.empty())) {
        lock.unlock();
        waitForLastLaunchedProgram();
    }
    return script.answer;
}

FolderPick ScriptedUi::showFolderPicker(const ShownPicker& picker, std::string& path) {
    std::lock_guard<std::mutex> lock(mutex);
    pickers.push_back(picker);
    if (folderAnswers.empty())
        return FolderPick::Cancelled;
    FolderAnswer answer = folderAnswers.front();
    folderAnswers.pop_front();
    path = answer.path;
    return answer.pick;
}

void ScriptedUi::setCautious(bool answerNothing) {
    std::lock_guard<std::mutex> lock(mutex);
    cautious = answerNothing;
}

PendingAnswers ScriptedUi::pendingAnswers() const {
    std::lock_guard<std::mutex> lock(mutex);
    return {messageAnswers.size(), fileAnswers.size(), menuAnswers.size()};
}

bool ScriptedUi::showOpenFile(std::string& path) {
    std::lock_guard<std::mutex> lock(mutex);
    if (fileAnswers.empty())
        return false;
    FileAnswer answer = fileAnswers.front();
    fileAnswers.pop_front();
    path = answer.path;
    return answer.chosen;
}

void ScriptedUi::chooseMenuItem(unsigned id) {
    std::lock_guard<std::mutex> lock(mutex);
    menuAnswers.push_back({id, {}});
}

void ScriptedUi::chooseMenuItem(const std::string& item) {
    std::lock_guard<std::mutex> lock(mutex);
    menuAnswers.push_back({0, item});
}

void ScriptedUi::setWaitForLaunchedPrograms(bool wait) {
    std::lock_guard<std::mutex> lock(mutex);
    waitForLaunches = wait;
}

namespace {
// What the user reads on an item: no '&' marks, no shortcut after a tab.
std::string shownText(const std::string& text) {
    std::string shown;
    for (char c : text.substr(0, text.find('\t')))
        if (c != '&')
            shown += c;
    return shown;
}

unsigned resolveMenuItem(const ShownMenu& menu, const std::string& item) {
    for (size_t i = 0; i < menu.ids.size(); ++i)
        if (menu.texts[i] == item || shownText(menu.texts[i]) == item)
            return menu.ids[i];
    char* end = nullptr;
    const unsigned long number = std::strtoul(item.c_str(), &end, 10);
    if (item.empty() || *end != '\0' || item[0] == '-')
        return 0;
    for (unsigned id : menu.ids)
        if (id == number)
            return id;
    return number >= 1 && number <= menu.ids.size() ? menu.ids[number - 1] : 0;
}
} // namespace

void ScriptedUi::holdModifiers(uint32_t held) {
    std::lock_guard<std::mutex> lock(mutex);
    modifiers = held;
}

uint32_t ScriptedUi::heldModifiers() const {
    std::lock_guard<std::mutex> lock(mutex);
    return modifiers;
}

int ScriptedUi::cursorShape() const {
    std::lock_guard<std::mutex> lock(mutex);
    return cursor;
}

std::vector<ShownMenu> ScriptedUi::menus() const {
    std::lock_guard<std::mutex> lock(mutex);
    return shownMenus;
}

unsigned ScriptedUi::showMenu(const ShownMenu& menu) {
    std::lock_guard<std::mutex> lock(mutex);
    shownMenus.push_back(menu);
    if (menuAnswers.empty())
        return 0;
    MenuAnswer answer = menuAnswers.front();
    menuAnswers.pop_front();
    return answer.item.empty() ? answer.id : resolveMenuItem(menu, answer.item);
}

void ScriptedUi::setCursorShape(int shape) {
    std::lock_guard<std::mutex> lock(mutex);
    cursor = shape;
}

} // namespace platform::testing

namespace {

using platform::testing::ScriptedUi;

void copyOut(const std::string& text, char* out, int size) {
    if (size <= 0)
        return;
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

int hookMessageBox(void* owner, const char* text, const char* caption, int icon, int buttons) {
    platform::testing::ShownMessage message{owner,
                                            text ? text : "",
                                            caption != nullptr,
                                            caption ? caption : "",
                                            static_cast<platform::MessageIcon>(icon),
                                            static_cast<platform::MessageButtons>(buttons)};
    ScriptedUi::instance().boxIsUp();
    return static_cast<int>(ScriptedUi::instance().showMessage(message));
}

int hookPickFolder(void*, const char* title, const char* initial, char* path, int pathSize) {
    std::string chosen;
    auto pick = ScriptedUi::instance().showFolderPicker(
        {title ? title : "", initial ? initial : ""}, chosen);
    copyOut(chosen, path, pathSize);
    return static_cast<int>(pick);
}

int hookOpenFile(void*, const char*, char* path, int pathSize) {
    std::string chosen;
    ScriptedUi::instance().boxIsUp();
    bool ok = ScriptedUi::instance().showOpenFile(chosen);
    copyOut(chosen, path, pathSize);
    return ok ? 1 : 0;
}

unsigned hookPopupMenu(void* owner, const unsigned* ids, const char* const* texts,
                       const int* enabled, int count) {
    platform::testing::ShownMenu menu{owner, {}, {}, {}};
    for (int i = 0; i < count; ++i) {
        menu.ids.push_back(ids[i]);
        menu.texts.push_back(texts[i] ? texts[i] : "");
        menu.enabled.push_back(enabled[i] != 0);
    }
    ScriptedUi::instance().boxIsUp();
    return ScriptedUi::instance().showMenu(menu);
}

unsigned hookHeldModifiers() {
    return ScriptedUi::instance().heldModifiers();
}

void hookCursorShape(int shape) {
    ScriptedUi::instance().setCursorShape(shape);
}

int hookExportWavetable(void*, const char* const* waves, int waveCount, int preselected,
                        const char* const* formats, int formatCount, int* chosenWave,
                        int* chosenFormat) {
    platform::testing::ShownExportDialog dialog{{}, preselected, {}};
    for (int i = 0; i < waveCount; ++i)
        dialog.waves.push_back(waves[i] ? waves[i] : "");
    for (int i = 0; i < formatCount; ++i)
        dialog.formats.push_back(formats[i] ? formats[i] : "");
    int wave = preselected, format = 0;
    ScriptedUi::instance().boxIsUp();
    bool ok = ScriptedUi::instance().showExportDialog(dialog, wave, format);
    *chosenWave = wave;
    *chosenFormat = format;
    return ok ? 1 : 0;
}

int hookProgramLaunched(const char* program, const char* parameters, long long process) {
    ScriptedUi::instance().programLaunched(
        {program ? program : "", parameters ? parameters : "", process != 0}, process);
    return 1;
}

SpoolexUiHook scriptedHook{hookMessageBox,      hookPickFolder,     hookOpenFile,
                           hookPopupMenu,       hookHeldModifiers,  hookCursorShape,
                           hookExportWavetable, hookProgramLaunched};

} // namespace

#if defined(_WIN32)
extern "C" __declspec(dllexport) SpoolexUiHook* spoolexUiHook() {
    return ScriptedUi::instance().isLive() ? nullptr : &scriptedHook;
}
#else
extern "C" __attribute__((visibility("default"))) SpoolexUiHook* spoolexUiHook() {
    return ScriptedUi::instance().isLive() ? nullptr : &scriptedHook;
}
#endif
