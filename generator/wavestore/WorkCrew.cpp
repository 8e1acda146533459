#include "generator/wavestore/WorkCrew.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <utility>

namespace spoolex {

namespace {

constexpr unsigned mostHelpers = 15;

std::atomic<int> chosenHelpers{-1};

} // namespace

unsigned WorkCrew::helperThreads() {
    const int chosen = chosenHelpers.load();
    if (chosen >= 0)
        return static_cast<unsigned>(chosen);
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? std::min(cores - 1, mostHelpers) : 0;
}

void WorkCrew::setHelperThreads(int helpers) {
    chosenHelpers = std::min(helpers, static_cast<int>(mostHelpers));
}

WorkCrew::WorkCrew() : WorkCrew(helperThreads()) {}

WorkCrew::WorkCrew(unsigned helperCount) : wanted(helperCount) {
    // Room for every helper now: starting one later never fails for it.
    helpers.reserve(wanted);
}

WorkCrew::~WorkCrew() {
    finish();
    {
        std::lock_guard<std::mutex> hold(lock);
        closing = true;
    }
    jobsWaiting.notify_all();
    for (std::thread& helper : helpers)
        helper.join();
}

void WorkCrew::add(std::function<void()> job) {
    std::unique_lock<std::mutex> hold(lock);
    queue.push_back(std::move(job));
    // A helper is started for each job that finds none free, up to the
    // count. Once queued, the job runs whatever happens here.
    if (helpers.size() < wanted && queue.size() + running > helpers.size()) {
        try {
            helpers.emplace_back([this] { helperLoop(); });
        } catch (const std::system_error&) {
            // No thread to be had: the jobs still run, on fewer threads.
            wanted = static_cast<unsigned>(helpers.size());
        }
    }
    hold.unlock();
    jobsWaiting.notify_one();
}

bool WorkCrew::runOne(std::unique_lock<std::mutex>& hold) {
    if (queue.empty())
        return false;
    std::function<void()> job = std::move(queue.front());
    queue.pop_front();
    ++running;
    hold.unlock();
    job();
    job = nullptr; // what the job held goes before the count says it is done
    hold.lock();
    --running;
    if (queue.empty() && running == 0)
        jobsDone.notify_all();
    return true;
}

void WorkCrew::finish() {
    std::unique_lock<std::mutex> hold(lock);
    while (runOne(hold)) {
    }
    jobsDone.wait(hold, [this] { return queue.empty() && running == 0; });
}

void WorkCrew::helperLoop() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        jobsWaiting.wait(hold, [this] { return closing || !queue.empty(); });
        if (!runOne(hold) && closing)
            return;
    }
}

} // namespace spoolex
