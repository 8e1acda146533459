// renderStereo in 256-frame blocks at 44100 Hz with 1, 8 and 32 sounding take
// players: a quarter of them at 48000 Hz, a quarter crossfading between two
// takes at every tick. Reports nanoseconds per output frame per take player,
// the real-time factor per take player, and the allocations made inside
// renderStereo per block, which must be none.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "benchmarks/BenchmarkSong.h"
#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "generator/model/TakeMixer.h"
#include "host/Host.h"
#include "tests/support/AllocationProbe.h"

namespace {

constexpr int hostRate = 44100;
constexpr int block = 256;
constexpr int patternTicks = 16;
constexpr int samplesPerTick = 5250; // 126 beats per minute, 4 ticks per beat

struct Song {
    explicit Song(int players) {
        placed = benchmarks::placeGenerator(host);
        machine = static_cast<spoolex::mi*>(placed->machine);
        std::mt19937 random(7);
        for (int i = 0; i < players; ++i) {
            host::HostPattern* pattern =
                host.createPattern(*placed, "P" + std::to_string(i), patternTicks);
            spoolex::Pattern& p = *machine->findPattern(pattern->handle());
            const int rate = i % 4 == 1 ? 48000 : hostRate;
            const size_t frames = static_cast<size_t>(patternTicks + 1) * samplesPerTick *
                                  static_cast<size_t>(rate) / hostRate;
            spoolex::Take& first = p.addTake();
            first.sampleRate = rate;
            benchmarks::fillNoise(first, frames, random);
            p.assignTake(0, patternTicks, &first);
            if (i % 4 == 3) {
                spoolex::Take& second = p.addTake();
                benchmarks::fillNoise(second, frames, random);
                for (int tick = 1; tick < patternTicks; tick += 2)
                    p.assignTake(tick, tick + 1, &second);
            }
            p.tidyActiveTakes();
            patterns.push_back(pattern);
            sequences.push_back(host.addSequence(*placed));
        }
        out.resize(2 * block);
    }

    void restart() {
        for (size_t i = 0; i < patterns.size(); ++i)
            machine->ex.onPatternPlay(patterns[i]->handle(), sequences[i]->handle(), 0);
        framesInPattern = 0;
    }

    // One block; returns the number of take players it mixed.
    size_t renderBlock() {
        if (framesInPattern + block > patternTicks * samplesPerTick)
            restart();
        testsupport::countAllocations = true;
        machine->renderStereo(nullptr, out.data(), block, 3);
        testsupport::countAllocations = false;
        framesInPattern += block;
        return machine->soundingTakePlayers().size();
    }

    host::Host host;
    host::HostMachine* placed;
    spoolex::mi* machine;
    std::vector<host::HostPattern*> patterns;
    std::vector<host::HostSequence*> sequences;
    std::vector<float> out;
    int framesInPattern = 0;
};

void report(benchmark::State& state, double frames, double playerFrames) {
    using benchmark::Counter;
    state.counters["players"] = Counter(playerFrames / frames);
    state.counters["time_per_frame_per_player"] =
        Counter(playerFrames, Counter::kIsRate | Counter::kInvert);
    state.counters["x_realtime_per_player"] = Counter(playerFrames / hostRate, Counter::kIsRate);
}

void renderStereoBlocks(benchmark::State& state) {
    Song song(static_cast<int>(state.range(0)));
    song.restart();
    for (int i = 0; i < 8; ++i)
        song.renderBlock();
    double frames = 0;
    double playerFrames = 0;
    testsupport::allocationsCounted = 0;
    for (auto _ : state) {
        size_t players = song.renderBlock();
        benchmark::DoNotOptimize(song.out.data());
        frames += block;
        playerFrames += static_cast<double>(block * players);
    }
    report(state, frames, playerFrames);
    state.counters["allocations_per_block"] =
        benchmark::Counter(static_cast<double>(testsupport::allocationsCounted) * block / frames);
}
BENCHMARK(renderStereoBlocks)->Arg(1)->Arg(8)->Arg(32);

// One take player's block through each path of the mixer.
template <bool checked> void mixTakeBlock(benchmark::State& state) {
    std::mt19937 random(3);
    spoolex::Take take;
    benchmarks::fillNoise(take, 200000, random);
    std::vector<float> out(2 * block);
    const double rate = state.range(0) == 0 ? 1.0 : 48000.0 / 44100.0;
    double p = 10.0;
    double frames = 0;
    for (auto _ : state) {
        if (checked)
            spoolex::mixTakeChecked(take, p, out.data(), block, 0.5f, 0.001f, rate);
        else
            spoolex::mixTake(take, p, out.data(), block, 0.5f, 0.001f, rate);
        benchmark::DoNotOptimize(out.data());
        p += block * rate;
        if (p > 190000)
            p = 10.0;
        frames += block;
    }
    report(state, frames, frames);
}
BENCHMARK_TEMPLATE(mixTakeBlock, true)->Arg(0)->Arg(1);
BENCHMARK_TEMPLATE(mixTakeBlock, false)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
