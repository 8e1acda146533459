#include "tests/support/ChildProcess.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testsupport {

#if defined(_WIN32)

namespace {
std::string quoted(const std::string& word) {
    std::string text = "\"";
    for (char c : word)
        text += c == '"' ? std::string("\\\"") : std::string(1, c);
    return text + "\"";
}
} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::string command = quoted(program);
    for (const std::string& argument : arguments)
        command += " " + quoted(argument);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    running = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &startup, &info);
    CloseHandle(writeEnd);
    if (!running) {
        CloseHandle(readEnd);
        return;
    }
    CloseHandle(info.hThread);
    process = reinterpret_cast<intptr_t>(info.hProcess);
    output = reinterpret_cast<intptr_t>(readEnd);
}

ChildProcess::~ChildProcess() {
    if (running) {
        kill();
        wait();
    }
    if (output != -1)
        CloseHandle(reinterpret_cast<HANDLE>(output));
}

bool ChildProcess::readLine(std::string& line) {
    for (;;) {
        size_t end = buffered.find('\n');
        if (end != std::string::npos) {
            line = buffered.substr(0, end);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            buffered.erase(0, end + 1);
            return true;
        }
        char piece[256];
        DWORD n = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(output), piece, sizeof piece, &n, nullptr) || n == 0)
            return false;
        buffered.append(piece, n);
    }
}

void ChildProcess::kill() {
    TerminateProcess(reinterpret_cast<HANDLE>(process), 137);
}

int ChildProcess::wait() {
    if (!running)
        return -1;
    HANDLE h = reinterpret_cast<HANDLE>(process);
    WaitForSingleObject(h, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(h, &status);
    CloseHandle(h);
    running = false;
    return static_cast<int>(status);
}

#else

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeEnds[1], 1);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    if (pid < 0) {
        ::close(pipeEnds[0]);
        return;
    }
    running = true;
    process = pid;
    output = pipeEnds[0];
}

ChildProcess::~ChildProcess() {
    if (running) {
        kill();
        wait();
    }
    if (output >= 0)
        ::close(static_cast<int>(output));
}

bool ChildProcess::readLine(std::string& line) {
    for (;;) {
        size_t end = buffered.find('\n');
        if (end != std::string::npos) {
            line = buffered.substr(0, end);
            buffered.erase(0, end + 1);
            return true;
        }
        char piece[256];
        ssize_t n = ::read(static_cast<int>(output), piece, sizeof piece);
        if (n <= 0)
            return false;
        buffered.append(piece, static_cast<size_t>(n));
    }
}

void ChildProcess::kill() {
    ::kill(static_cast<pid_t>(process), SIGKILL);
}

int ChildProcess::wait() {
    if (!running)
        return -1;
    int status = 0;
    ::waitpid(static_cast<pid_t>(process), &status, 0);
    running = false;
    return status;
}

#endif

} // namespace testsupport
