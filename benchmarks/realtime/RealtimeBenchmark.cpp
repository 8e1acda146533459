// What the host's audio thread goes through in a recording session.
//
//   realtime_benchmark starts [rounds]
//     Starting a recording of a 1-, 10- and 60-minute pattern: extension
//     slot 15 and the first 256-frame block after it, on one long-lived
//     audio thread that renders blocks before each start, clock and
//     processor time of each round.
//   realtime_benchmark session [seconds]
//     (not on Windows: the editor paints through the headless window layer)
//     The audio thread renders 256-frame blocks at the pace of 44.1 kHz for
//     two generators: one plays 16 takes (its patterns restarted by slot 15
//     as a host loops them), the other, armed, starts a recording of a
//     10-minute pattern every second; both tick. Meanwhile the user-interface
//     thread paints the armed one's one-hour take, pastes ten seconds into
//     it and deletes them again, deletes the recorded takes, and runs the
//     editor's timers between commands as a message loop would. Reports the
//     longest block and the 99.9th percentile (clock and processor time) and
//     how often the audio thread allocated and freed over the whole run.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <time.h>
#endif

#include "generator/editor/PatternEditorParent.h"
#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "generator/machine/ProcessState.h"
#include "host/Host.h"
#include "tests/support/AllocationProbe.h"
#include "tests/support/FakeInputMachine.h"

#if !defined(_WIN32)
#include "generator/editor/AudioClipboard.h"
#include "generator/editor/EditorCommandIds.h"
#include "generator/editor/TakeEditing.h"
#include "platform/posix/SurfaceCairo.h"
#include "platform/testing/Headless.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr int hostRate = 44100;
constexpr int blockFrames = 256;
// 125 beats per minute, 4 ticks per beat: 5292 samples per tick, so 5000
// ticks are ten minutes.
constexpr int samplesPerTick = 5292;
constexpr int minuteTicks = 500;

int64_t threadCpuNs() {
#if defined(_WIN32)
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) {
        return (int64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) * 100;
    };
    return value(kernel) + value(user);
#else
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
#endif
}

int64_t elapsedNs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - since).count();
}

double ms(int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

// A generator armed with a record source, the host recording.
struct Studio {
    Studio() {
        spoolex::installPlatformUserInterface();
        installPatternEditor();
        host.echoMessages = false;
        host.setTiming(hostRate, 125, 4);
        placed = host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex");
        machine = static_cast<spoolex::mi*>(placed->machine);
        input = testsupport::placeFakeInput(host, "Mic");
        spoolex::inputRegistry().push_back(input);
        machine->chooseRecordSource(input);
        machine->toggleArmed();
        host.stateFlags = HostStateRecording;
        input->blockFrames = blockFrames;
        input->latencySamples = 0;
        input->punchState = 1;
        for (int f = 0; f < blockFrames; ++f) {
            const float v = 8000.0f * std::sin(0.05f * static_cast<float>(f));
            input->blockBuffer[2 * f] = v;
            input->blockBuffer[2 * f + 1] = -v;
        }
    }

    spoolex::Pattern& patternOf(host::HostPattern* hostPattern) {
        return *machine->findPattern(hostPattern->handle());
    }

    host::Host host;
    host::HostMachine* placed = nullptr;
    spoolex::mi* machine = nullptr;
    InputMachine::Fields* input = nullptr;
};

// ---- starts ----

// The host's audio thread lives as long as the host and renders blocks
// before anything starts: one thread for every round, its stack and code
// warm, not a fresh thread per start.
class AudioThread {
public:
    AudioThread() : thread([this] { loop(); }) {}
    ~AudioThread() {
        {
            std::lock_guard<std::mutex> hold(lock);
            quitting = true;
        }
        wake.notify_all();
        thread.join();
    }
    // Runs work on the audio thread and waits for it.
    void run(std::function<void()> work) {
        std::unique_lock<std::mutex> hold(lock);
        job = std::move(work);
        wake.notify_all();
        wake.wait(hold, [this] { return !job; });
    }

private:
    void loop() {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            wake.wait(hold, [this] { return quitting || job; });
            if (quitting)
                return;
            job();
            job = nullptr;
            wake.notify_all();
        }
    }
    std::mutex lock;
    std::condition_variable wake;
    std::function<void()> job;
    bool quitting = false;
    std::thread thread;
};

int runStarts(int rounds) {
    Studio studio;
    host::HostSequence* sequence = studio.host.addSequence(*studio.placed);
    std::vector<float> out(2 * blockFrames);
    AudioThread audio;
    std::printf("recording start: slot 15 + first block, %d rounds each\n", rounds);
    std::printf("%-8s %12s %12s %12s %12s\n", "pattern", "max ms", "median ms", "max cpu ms",
                "median cpu");
    // Last, for reference, the same slot 15 and block on a 60-minute pattern
    // with the machine disarmed: a pattern play that records nothing.
    for (int minutes : {1, 10, 60, 0}) {
        const bool records = minutes > 0;
        if (!records)
            studio.machine->setArmed(false);
        host::HostPattern* hostPattern =
            studio.host.createPattern(*studio.placed, "Rec " + std::to_string(minutes),
                                      (records ? minutes : 60) * minuteTicks);
        spoolex::Pattern& pattern = studio.patternOf(hostPattern);
        std::vector<int64_t> clock, cpu;
        for (int round = 0; round < rounds; ++round) {
            // The host's audio thread: blocks before, slot 15, the block.
            audio.run([&] {
                for (int b = 0; b < 8; ++b)
                    studio.machine->renderStereo(nullptr, out.data(), blockFrames, 0);
                const auto start = Clock::now();
                const int64_t cpuStart = threadCpuNs();
                studio.placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(),
                                                        0);
                studio.machine->renderStereo(nullptr, out.data(), blockFrames, 0);
                cpu.push_back(threadCpuNs() - cpuStart);
                clock.push_back(elapsedNs(start));
                // A few more blocks, as a recording goes on.
                for (int b = 0; b < 8; ++b)
                    studio.machine->renderStereo(nullptr, out.data(), blockFrames, 0);
            });
            // The user-interface side: stop, arm again, let the take go.
            studio.machine->onStop();
            studio.machine->renderStereo(nullptr, out.data(), blockFrames, 0);
            if (!records)
                continue;
            studio.machine->toggleArmed();
            std::shared_ptr<spoolex::Take> removed;
            {
                auto hold = studio.machine->lockAudio();
                if (!pattern.takes.empty())
                    removed = pattern.removeTake(*pattern.takes.back());
            }
            if (!removed)
                std::printf("  (no take was made: the start failed)\n");
        }
        std::vector<int64_t> sortedClock = clock, sortedCpu = cpu;
        std::sort(sortedClock.begin(), sortedClock.end());
        std::sort(sortedCpu.begin(), sortedCpu.end());
        std::printf("%-8s %12.3f %12.3f %12.3f %12.3f   rounds:",
                    records ? (std::to_string(minutes) + " min").c_str() : "no rec",
                    ms(sortedClock.back()), ms(sortedClock[sortedClock.size() / 2]),
                    ms(sortedCpu.back()), ms(sortedCpu[sortedCpu.size() / 2]));
        for (int64_t ns : clock)
            std::printf(" %.3f", ms(ns));
        std::printf("\n");
    }
    return 0;
}

// ---- session ----

#if !defined(_WIN32)

int64_t minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

int runSession(int seconds) {
    Studio studio;
    spoolex::mi& machine = *studio.machine;
    host::Host& host = studio.host;
    // The player: not armed, so its pattern starts record nothing.
    host::HostMachine* player = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Player");
    spoolex::mi& playerMachine = *static_cast<spoolex::mi*>(player->machine);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-8000.0f, 8000.0f);

    // Sixteen patterns of 64 ticks, each with one take of noise, active
    // throughout: sixteen sounding take players.
    constexpr int playTicks = 64;
    struct Loop {
        host::HostPattern* pattern;
        host::HostSequence* sequence;
        int64_t nextStartBlock;
    };
    std::vector<Loop> loops;
    for (int i = 0; i < 16; ++i) {
        host::HostPattern* p = host.createPattern(*player, "Play " + std::to_string(i), playTicks);
        spoolex::Pattern& pattern = *playerMachine.findPattern(p->handle());
        auto hold = playerMachine.lockAudio();
        spoolex::Take& take = pattern.addTake();
        spoolex::Samples& samples = take.changeSamples();
        samples.resize(size_t{2} * playTicks * samplesPerTick);
        for (float& v : samples)
            v = noise(random);
        pattern.assignTake(0, playTicks, &take);
        pattern.tidyActiveTakes();
        loops.push_back({p, host.addSequence(*player), i * 10});
    }
    host::HostPattern* rec = host.createPattern(*studio.placed, "Rec", 10 * minuteTicks);
    host::HostSequence* recSequence = host.addSequence(*studio.placed);

    // The one-hour take the user edits, shown in the editor.
    constexpr int hourTicks = 60 * minuteTicks;
    const size_t hourFrames = size_t{hourTicks} * samplesPerTick;
    host::HostPattern* hour = host.createPattern(*studio.placed, "Hour", hourTicks);
    {
        spoolex::Pattern& pattern = studio.patternOf(hour);
        auto hold = machine.lockAudio();
        spoolex::Take& take = pattern.addTake();
        take.changeSamples().assign(2 * hourFrames, 1000.0f);
        pattern.assignTake(0, hourTicks, &take);
        pattern.tidyActiveTakes();
    }
    void* frame = host.editorWindow(*studio.placed);
    platform::headless::resize(frame, 1600, 622);
    studio.placed->extension->showPattern(hour->handle());
    PatternEditor* view = editorViewOf(machine);
    platform::WindowHandle viewWindow = view->windowHandle();
    {
        const auto at = platform::mousePosition(10, 100);
        platform::sendMessage(viewWindow, platform::messageLeftButtonDown, 0, at);
        platform::sendMessage(viewWindow, platform::messageLeftButtonUp, 0, at);
    }
    audioClipboard().assign(size_t{2} * 10 * hostRate, 500.0f);

    const int64_t blocks = int64_t{seconds} * hostRate / blockFrames;
    std::vector<int64_t> clock(static_cast<size_t>(blocks)), cpu(static_cast<size_t>(blocks));
    std::atomic<bool> done{false};
    int64_t starts = 0, plays = 0, allocations = 0, frees = 0, faults = 0;

    std::thread audio([&] {
        std::vector<float> out(2 * blockFrames);
        const auto period = std::chrono::nanoseconds(int64_t{1000000000} * blockFrames / hostRate);
        const int64_t startEvery = hostRate / blockFrames; // about a second
        const int64_t loopBlocks = int64_t{playTicks} * samplesPerTick / blockFrames;
        int64_t tickSamples = 0;
        const int64_t faultsBefore = minorFaults();
        testsupport::allocationsCounted = 0;
        testsupport::freesCounted = 0;
        testsupport::countAllocations = true;
        auto due = Clock::now();
        for (int64_t b = 0; b < blocks; ++b) {
            std::this_thread::sleep_until(due);
            due += period;
            const auto start = Clock::now();
            const int64_t cpuStart = threadCpuNs();
            if (tickSamples <= 0) {
                playerMachine.onTick();
                machine.onTick();
                tickSamples += samplesPerTick;
            }
            tickSamples -= blockFrames;
            for (Loop& loop : loops)
                if (b == loop.nextStartBlock) {
                    player->extension->onPatternPlay(loop.pattern->handle(),
                                                     loop.sequence->handle(), 0);
                    loop.nextStartBlock += loopBlocks;
                    ++plays;
                }
            if (b % startEvery == 0) {
                studio.placed->extension->onPatternPlay(rec->handle(), recSequence->handle(), 0);
                ++starts;
                ++plays;
            }
            playerMachine.renderStereo(nullptr, out.data(), blockFrames, 0);
            machine.renderStereo(nullptr, out.data(), blockFrames, 0);
            cpu[static_cast<size_t>(b)] = threadCpuNs() - cpuStart;
            clock[static_cast<size_t>(b)] = elapsedNs(start);
        }
        testsupport::countAllocations = false;
        allocations = static_cast<int64_t>(testsupport::allocationsCounted);
        frees = static_cast<int64_t>(testsupport::freesCounted);
        faults = minorFaults() - faultsBefore;
        done = true;
    });

    // The user-interface thread.
    platform::SurfaceCairo picture(1600, 600);
    spoolex::Pattern& recPattern = studio.patternOf(rec);
    const double middle = hourTicks / 2.0;
    const double tenSecondTicks = 10.0 * hostRate / samplesPerTick;
    int paints = 0, edits = 0, deleted = 0;
    // Between two commands the message loop runs the editor's timers: the
    // marching frame (50 ms) and the recording refresh (500 ms).
    auto timers = [&] {
        platform::headless::fireTimer(viewWindow, 2);
        platform::headless::fireTimer(viewWindow, 3);
    };
    while (!done) {
        timers();
        platform::headless::paintOnto(viewWindow, picture);
        ++paints;
        view->selStart = view->selEnd = middle;
        platform::sendMessage(frame, platform::messageCommand, editorcommand::paste, 0);
        view->selStart = middle;
        view->selEnd = middle + tenSecondTicks;
        platform::sendMessage(frame, platform::messageCommand, editorcommand::deleteSelection, 0);
        ++edits;
        timers();
        platform::headless::paintOnto(viewWindow, picture);
        ++paints;
        // Every recorded take but the newest goes, as the editor's Delete
        // Take does it.
        std::vector<std::shared_ptr<spoolex::Take>> gone;
        {
            spoolex::Released released;
            auto hold = machine.lockAudio();
            while (recPattern.takes.size() > 1) {
                spoolex::Take& take = *recPattern.takes.front();
                machine.stopRecordingInto(take, released);
                gone.push_back(recPattern.removeTake(take));
                ++deleted;
            }
        }
        gone.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    audio.join();

    std::vector<int64_t> sortedClock = clock, sortedCpu = cpu;
    std::sort(sortedClock.begin(), sortedClock.end());
    std::sort(sortedCpu.begin(), sortedCpu.end());
    auto percentile = [](const std::vector<int64_t>& sorted, double p) {
        const auto at = static_cast<size_t>(std::ceil(p * static_cast<double>(sorted.size()))) - 1;
        return sorted[std::min(at, sorted.size() - 1)];
    };
    std::printf("session: %d s, %lld blocks of %d frames at %d Hz\n", seconds,
                static_cast<long long>(blocks), blockFrames, hostRate);
    std::printf("  audio thread: %lld recording starts, %lld pattern plays (slot 15)\n",
                static_cast<long long>(starts), static_cast<long long>(plays));
    std::printf("  user-interface thread: %d paints, %d paste+delete edits, %d takes deleted\n",
                paints, edits, deleted);
    std::printf("  longest block      clock %8.3f ms   cpu %8.3f ms\n", ms(sortedClock.back()),
                ms(sortedCpu.back()));
    std::printf("  99.9th percentile  clock %8.3f ms   cpu %8.3f ms\n",
                ms(percentile(sortedClock, 0.999)), ms(percentile(sortedCpu, 0.999)));
    std::printf("  median             clock %8.3f ms   cpu %8.3f ms\n",
                ms(percentile(sortedClock, 0.5)), ms(percentile(sortedCpu, 0.5)));
    std::printf("  allocations on the audio thread: %lld\n", static_cast<long long>(allocations));
    std::printf("  frees on the audio thread: %lld\n", static_cast<long long>(frees));
    std::printf("  page faults on the audio thread: %lld\n", static_cast<long long>(faults));
    return 0;
}

#endif

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    const int amount = argc > 2 ? std::atoi(argv[2]) : 0;
    if (what == "starts")
        return runStarts(amount > 0 ? amount : 5);
#if !defined(_WIN32)
    if (what == "session")
        return runSession(amount > 0 ? amount : 20);
    std::fprintf(stderr, "usage: realtime_benchmark starts [rounds] | session [seconds]\n");
#else
    std::fprintf(stderr, "usage: realtime_benchmark starts [rounds]\n");
#endif
    return 2;
}
