// The recovery copies' cost: 32 generators record at once at 48 kHz, their
// blocks rendered at the pace of real time on this thread as a host's audio
// thread would, while each machine's writer copies its take to disk.
// Reports the processor time of everything but this thread (the writers) as
// a share of one core, and the bytes each machine's writer keeps.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>
#include <vector>

#include "benchmarks/BenchmarkSong.h"
#include "generator/editor/PlatformRecoveryStorage.h"
#include "generator/machine/InputRegistry.h"
#include "generator/machine/ProcessState.h"
#include "platform/DurableFiles.h"
#include "tests/support/FakeInputMachine.h"

namespace {

constexpr int machines = 32;
constexpr int rate = 48000;
constexpr int block = 256;
constexpr int patternTicks = 160; // 20 seconds: 6000 samples per tick

double processorSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double processSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void recordingMachines(benchmark::State& state) {
    const double recordSeconds = static_cast<double>(state.range(0));
    const auto folder = std::filesystem::temp_directory_path() / "spoolex-recovery-benchmark";
    std::filesystem::remove_all(folder);
    platform::setEnvironmentVariable("SPOOLEX_RECORDINGS", folder.string());
    spoolex::projectFolder().clear();
    spoolex::installPlatformRecoveryStorage();
    for (auto _ : state) {
        host::Host host;
        host.echoMessages = false;
        spoolex::installPlatformUserInterface();
        host.setTiming(rate, 120, 4);
        host.stateFlags = HostStateRecording;
        std::vector<spoolex::mi*> generators;
        std::vector<InputMachine::Fields*> inputs;
        std::vector<std::pair<host::HostPattern*, host::HostSequence*>> starts;
        for (int m = 0; m < machines; ++m) {
            host::HostMachine* placed = host.createMachine(
                spoolex::machineDescription(),
                [] { return static_cast<CMachineInterface*>(new spoolex::mi); },
                "Spoolex " + std::to_string(m));
            auto* machine = static_cast<spoolex::mi*>(placed->machine);
            InputMachine::Fields* input =
                testsupport::placeFakeInput(host, "Mic " + std::to_string(m));
            spoolex::inputRegistry().push_back(input);
            input->blockFrames = block;
            input->punchState = 1;
            for (int f = 0; f < block; ++f) {
                input->blockBuffer[2 * f] = 1000.0f + static_cast<float>(f + m);
                input->blockBuffer[2 * f + 1] = -1000.0f - static_cast<float>(f + m);
            }
            host::HostPattern* pattern = host.createPattern(*placed, "P", patternTicks);
            machine->chooseRecordSource(input);
            machine->toggleArmed();
            starts.push_back({pattern, host.addSequence(*placed)});
            generators.push_back(machine);
        }
        for (int m = 0; m < machines; ++m)
            generators[m]->ex.onPatternPlay(starts[m].first->handle(), starts[m].second->handle(),
                                            0);
        std::vector<float> out(2 * block);
        const double processBefore = processSeconds();
        const double audioBefore = processorSeconds(CLOCK_THREAD_CPUTIME_ID);
        const auto began = std::chrono::steady_clock::now();
        const auto blocks = static_cast<int64_t>(recordSeconds * rate / block);
        for (int64_t b = 0; b < blocks; ++b) {
            std::this_thread::sleep_until(began +
                                          std::chrono::microseconds(b * block * 1000000 / rate));
            for (spoolex::mi* machine : generators)
                machine->renderStereo(nullptr, out.data(), block, 3);
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const double audio = processorSeconds(CLOCK_THREAD_CPUTIME_ID) - audioBefore;
        const double writers = processSeconds() - processBefore - audio;
        state.counters["writers_cpu_percent_of_one_core"] = 100.0 * writers / wall;
        state.counters["audio_thread_cpu_percent"] = 100.0 * audio / wall;
        state.SetIterationTime(wall);
        spoolex::inputRegistry().clear();
    }
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(recordingMachines)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
