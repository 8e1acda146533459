// Temporary files and launching on POSIX systems.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/Choosers.h"
#include "platform/CommandLineWords.h"
#include "platform/Programs.h"

extern char** environ;

namespace platform {

bool reserveTemporaryFile(const std::string& prefix, std::string& path) {
    const char* folder = std::getenv("TMPDIR");
    std::string name = (folder && *folder ? folder : "/tmp");
    name += "/" + prefix.substr(0, 3) + "XXXXXX.tmp";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back(0);
    int fd = mkstemps(buffer.data(), 4);
    if (fd < 0)
        return false;
    close(fd);
    path = buffer.data();
    return true;
}

bool createPrivateFile(const std::string& path) {
    // In a folder every user writes to, another user's link or file must
    // never become ours to write through.
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

namespace native {

namespace {
// Children nobody waits for, reaped once they have ended so they do not
// linger as zombies.
std::mutex unwaitedLock;
std::vector<pid_t> unwaited;

void reapEnded() {
    std::lock_guard<std::mutex> hold(unwaitedLock);
    unwaited.erase(std::remove_if(unwaited.begin(), unwaited.end(),
                                  [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; }),
                   unwaited.end());
}
} // namespace

bool launchProgram(const std::string& program, const std::string& parameters, long long& process) {
    reapEnded();
    std::vector<std::string> words;
    if (!splitCommandLine(parameters, words))
        return false;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (failed != 0)
        return false;
    process = pid;
    return true;
}

void releaseProcess(long long process) {
    if (process <= 0)
        return;
    std::lock_guard<std::mutex> hold(unwaitedLock);
    unwaited.push_back(static_cast<pid_t>(process));
}

// Without a window system there is no dialog to fill in: it ends as if
// cancelled.
bool exportWavetableDialog(WindowHandle, const std::vector<std::string>&, int,
                           const std::vector<std::string>&, const std::string&, int&, int&) {
    return false;
}

} // namespace native

} // namespace platform
