// How long the editor's edits of a one-hour take keep the audio thread
// waiting. An audio thread renders 256-frame blocks (one sounding take
// player) while the user-interface thread pastes, deletes and sets the
// active take on a take of 3600 s at 44100 Hz; each benchmark reports the
// longest block seen during its edits (its wait for the machine's lock
// included) next to the longest block while nothing is edited.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include <time.h>

#include "benchmarks/BenchmarkSong.h"
#include "generator/editor/AudioClipboard.h"
#include "generator/editor/EditorCommandIds.h"
#include "generator/editor/PatternEditorParent.h"
#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "host/Host.h"
#include "platform/testing/Headless.h"

namespace {

namespace cmd = editorcommand;
using Clock = std::chrono::steady_clock;

constexpr int hostRate = 44100;
constexpr int hourTicks = 30240; // 5250 samples per tick
constexpr size_t hourFrames = size_t{hourTicks} * 5250;
constexpr size_t tenSecondFrames = size_t{10} * hostRate;

class HourSession {
public:
    HourSession() {
        installPatternEditor();
        placed = benchmarks::placeGenerator(host);
        machine = static_cast<spoolex::mi*>(placed->machine);
        hostPattern = host.createPattern(*placed, "Hour", hourTicks);
        spoolex::Pattern& pattern = *machine->findPattern(hostPattern->handle());
        {
            auto hold = machine->lockAudio();
            spoolex::Take& take = pattern.addTake();
            take.changeSamples().assign(2 * hourFrames, 1000.0f);
            pattern.assignTake(0, hourTicks, &take);
            pattern.tidyActiveTakes();
        }
        frame = host.editorWindow(*placed);
        platform::headless::resize(frame, 1600, 622);
        placed->extension->showPattern(hostPattern->handle());
        view = editorViewOf(*machine);
        // Click the take's row: it becomes the current take.
        const auto at = platform::mousePosition(10, 100);
        platform::sendMessage(view->windowHandle(), platform::messageLeftButtonDown, 0, at);
        platform::sendMessage(view->windowHandle(), platform::messageLeftButtonUp, 0, at);
        host::HostSequence* sequence = host.addSequence(*placed);
        placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);
        audio = std::thread([this] { renderLoop(); });
    }

    ~HourSession() {
        stop = true;
        audio.join();
    }

    void command(unsigned id) { platform::sendMessage(frame, platform::messageCommand, id, 0); }
    void select(double from, double to) {
        view->selStart = from;
        view->selEnd = to;
    }
    // The longest block, and the longest wait for the lock alone, since the
    // last call, in microseconds.
    double takeLongestBlock() { return static_cast<double>(longestNs.exchange(0)) / 1000.0; }
    double takeLongestWait() { return static_cast<double>(longestWaitNs.exchange(0)) / 1000.0; }
    double takeLongestCpu() { return static_cast<double>(longestCpuNs.exchange(0)) / 1000.0; }

    PatternEditor* view = nullptr;

private:
    void renderLoop() {
        std::vector<float> out(2 * 256);
        while (!stop.load()) {
            const auto start = Clock::now();
            // The lock alone first: how long an edit holds it shows here.
            { auto hold = machine->lockAudio(); }
            const auto locked = Clock::now();
            const int64_t cpuBefore = threadCpuNs();
            machine->renderStereo(nullptr, out.data(), 256, 0);
            keepLongest(longestCpuNs, std::chrono::nanoseconds(threadCpuNs() - cpuBefore));
            keepLongest(longestWaitNs, locked - start);
            keepLongest(longestNs, Clock::now() - locked);
            // About the pace of a real audio callback, leaving the second core
            // to the edits.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    // This thread's processor time: a block that takes long on the clock but
    // not here was waiting (for the lock, the system's memory map, or a core).
    static int64_t threadCpuNs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
    }

    static void keepLongest(std::atomic<int64_t>& longest, Clock::duration took) {
        const int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(took).count();
        int64_t seen = longest.load();
        while (ns > seen && !longest.compare_exchange_weak(seen, ns)) {
        }
    }

    host::Host host;
    host::HostMachine* placed = nullptr;
    host::HostPattern* hostPattern = nullptr;
    spoolex::mi* machine = nullptr;
    platform::WindowHandle frame = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<int64_t> longestNs{0};
    std::atomic<int64_t> longestWaitNs{0};
    std::atomic<int64_t> longestCpuNs{0};
    std::thread audio;
};

HourSession& session() {
    static HourSession hour;
    return hour;
}

void report(benchmark::State& state, HourSession& hour) {
    state.counters["longest_block_us"] = hour.takeLongestBlock();
    state.counters["longest_lock_wait_us"] = hour.takeLongestWait();
    state.counters["longest_block_cpu_us"] = hour.takeLongestCpu();
}

void startMeasuring(HourSession& hour) {
    hour.takeLongestBlock();
    hour.takeLongestWait();
    hour.takeLongestCpu();
}

void BM_NoEdit(benchmark::State& state) {
    HourSession& hour = session();
    startMeasuring(hour);
    for (auto _ : state)
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    report(state, hour);
}

// Ten seconds pasted in the middle of the hour, then deleted again.
void BM_PasteThenDeleteTenSeconds(benchmark::State& state) {
    HourSession& hour = session();
    audioClipboard().assign(2 * tenSecondFrames, 500.0f);
    const double middle = hourTicks / 2.0;
    const double tenSecondTicks = static_cast<double>(tenSecondFrames) / 5250.0;
    startMeasuring(hour);
    for (auto _ : state) {
        hour.select(middle, middle);
        hour.command(cmd::paste);
        hour.select(middle, middle + tenSecondTicks);
        hour.command(cmd::deleteSelection);
    }
    report(state, hour);
}

void BM_CopyTenMinutes(benchmark::State& state) {
    HourSession& hour = session();
    startMeasuring(hour);
    for (auto _ : state) {
        hour.select(1000.0, 1000.0 + 600.0 * hostRate / 5250.0);
        hour.command(cmd::copy);
    }
    report(state, hour);
}

void BM_SetActiveStretch(benchmark::State& state) {
    HourSession& hour = session();
    startMeasuring(hour);
    for (auto _ : state) {
        hour.select(100.0, 20000.0);
        hour.command(cmd::clearActive);
        hour.command(cmd::setActive);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    report(state, hour);
}

BENCHMARK(BM_NoEdit)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PasteThenDeleteTenSeconds)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CopyTenMinutes)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SetActiveStretch)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

BENCHMARK_MAIN();
