// Temporary files, launching through the shell, and the pop-up menu.
#include <windows.h>

#include <shellapi.h>

#include "platform/Choosers.h"
#include "platform/Programs.h"
#include "platform/win32/ExportWavetableDialog.h"

namespace platform {

bool reserveTemporaryFile(const std::string& prefix, std::string& path) {
    char folder[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH)
        return false;
    char name[MAX_PATH] = {};
    // The system takes the prefix's first three characters and adds a unique
    // hexadecimal number and ".tmp", creating the empty file.
    if (GetTempFileNameA(folder, prefix.c_str(), 0, name) == 0)
        return false;
    path = name;
    return true;
}

bool createPrivateFile(const std::string& path) {
    // The user's temporary folder is the user's own; CREATE_NEW still
    // refuses a name that is already taken.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

namespace native {

bool launchProgram(const std::string& program, const std::string& parameters, long long& process) {
    // The shell's default action, no working folder, a normal window; the
    // process handle (when there is one) lets a caller wait for it.
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = nullptr;
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info))
        return false;
    process = reinterpret_cast<intptr_t>(info.hProcess);
    return true;
}

void releaseProcess(long long process) {
    if (process)
        CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(process)));
}

// The dialog is the generator's template 1008; its Format list carries the
// template's own items, which are the ones formats names.
bool exportWavetableDialog(WindowHandle owner, const std::vector<std::string>& waves,
                           int preselectedWave, const std::vector<std::string>&,
                           const std::string& helpText, int& chosenWave, int& chosenFormat) {
    return win32::runExportWavetableDialog(owner, waves, preselectedWave, helpText, chosenWave,
                                           chosenFormat);
}

} // namespace native

} // namespace platform
