// A program run as a child process whose output is read line by line, and
// which can be killed outright, as a crash would end it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
public:
    // Starts program with arguments; its standard output comes to readLine.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return running; }
    // The next line of its output, without the line break; false at its end.
    bool readLine(std::string& line);
    // Ends it at once, with no chance to clean up (SIGKILL, TerminateProcess).
    void kill();
    // Waits for its end; its exit status.
    int wait();

private:
    bool running = false;
    intptr_t process = 0;
    intptr_t output = -1;
    std::string buffered;
};

} // namespace testsupport
