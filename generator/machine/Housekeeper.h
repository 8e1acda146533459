// The machine's housekeeping off the audio thread.
//
// Whatever the audio thread lets go of (a take whose last player faded out
// after the user deleted it, a recording's take that was deleted meanwhile)
// may be the last reference to a buffer of a gigabyte, and freeing that
// hands hundreds of thousands of pages back to the system: far longer than
// a block. So the audio thread only moves what it drops into the machine's
// retired list, and this thread frees it, a few times a second, along with
// readying take objects for the recordings to come. It runs whether or not
// the editor is open, lives exactly as long as its machine (no thread may
// outlive the plug-in's library) and takes the machine's lock only briefly.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace spoolex {

class mi;

class Housekeeper {
public:
    explicit Housekeeper(mi& machine);
    // Stops the thread; what is still retired goes with the machine.
    ~Housekeeper();
    Housekeeper(const Housekeeper&) = delete;
    Housekeeper& operator=(const Housekeeper&) = delete;

    static constexpr std::chrono::milliseconds interval{100};

private:
    void run();

    mi& machine;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

} // namespace spoolex
