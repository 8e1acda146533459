// A few threads that share out independent jobs, for the long work of
// loading and saving a song (decoding and encoding takes) on every core.
//
// The crew lives for one such piece of work: helpers start with the first
// jobs and end with the crew, so nothing runs while the song is idle and no
// thread outlives the work (a plug-in's library may be unloaded after it).
// The thread that waits in finish() takes jobs too. Never used on the audio
// thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace spoolex {

class WorkCrew {
public:
    // helperThreads() helpers, or as many as given (0: every job runs on the
    // thread that calls finish()).
    WorkCrew();
    explicit WorkCrew(unsigned helpers);
    WorkCrew(const WorkCrew&) = delete;
    WorkCrew& operator=(const WorkCrew&) = delete;
    // Finishes the jobs still queued.
    ~WorkCrew();

    // Queues job; a helper may start it at once. Jobs must not throw.
    void add(std::function<void()> job);
    // Runs queued jobs on this thread too, and returns when every job added
    // so far has finished.
    void finish();

    // Helpers a crew gets: one fewer than the machine's cores, at most 15.
    static unsigned helperThreads();
    // Sets the helpers of crews made from now on (tests and benchmarks
    // compare one thread with many); negative restores the machine's count.
    static void setHelperThreads(int helpers);

private:
    // Takes and runs one job; false when none is queued. Lock held on entry
    // and on return.
    bool runOne(std::unique_lock<std::mutex>& hold);
    void helperLoop();

    unsigned wanted;
    std::mutex lock;
    std::condition_variable jobsWaiting; // helpers wait here for jobs
    std::condition_variable jobsDone;    // finish() waits here
    std::deque<std::function<void()>> queue;
    size_t running = 0;
    bool closing = false;
    std::vector<std::thread> helpers;
};

} // namespace spoolex
