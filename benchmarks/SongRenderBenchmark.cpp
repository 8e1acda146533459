// spoolex-host's render and record jobs on a long one-take song, through the
// plug-ins as the host loads them: a 10-minute input recorded into a
// 10-minute pattern, then the saved song rendered into a WAV file. Reports
// each as a multiple of real time; both must stay linear in the song's length.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "host/Commands.h"
#include "host/Host.h"
#include "host/PluginFiles.h"
#include "host/Recorder.h"
#include "platform/DurableFiles.h"
#include "platform/testing/ScriptedUi.h"

namespace {

constexpr int sampleRate = 44100;
constexpr int beatsPerMinute = 125;
constexpr int ticksPerBeat = 4;
constexpr int songTicks = 5000; // 10 minutes: 5292 samples per tick
constexpr double songSeconds = songTicks * 5292.0 / sampleRate;

const std::string gear = SPOOLEX_GEAR_DIR;

// The plug-ins keep copies of what they record: in a folder of the
// benchmark's own, never the user's.
const bool copiesAside = [] {
    platform::setEnvironmentVariable(
        "SPOOLEX_RECORDINGS",
        (std::filesystem::temp_directory_path() / "spoolex-benchmark-recordings").string());
    return true;
}();

class DiscardedOutput final : public host::MasterSink {
public:
    void write(const float*, int) override {}
};

// Never silent, never repeating within a tick, left and right apart.
const host::WavAudio& longInput() {
    static const host::WavAudio audio = [] {
        host::WavAudio made;
        made.sampleRate = sampleRate;
        made.channels = 2;
        const size_t frames = static_cast<size_t>(songSeconds * sampleRate) + 4096;
        made.frames.resize(2 * frames);
        for (size_t f = 0; f < frames; ++f) {
            made.frames[2 * f] = 1000.0f + static_cast<float>(f % 7919);
            made.frames[2 * f + 1] = -1000.0f - static_cast<float>(f % 6007);
        }
        return made;
    }();
    return audio;
}

host::SongDocument recordedSong;

void quiet(host::Host& host) {
    host.echoMessages = false;
    platform::testing::ScriptedUi::instance().setEcho(false);
}

void recordLongTake(benchmark::State& state) {
    const host::WavAudio& input = longInput();
    for (auto _ : state) {
        state.PauseTiming();
        host::Host host;
        quiet(host);
        host.setTiming(sampleRate, beatsPerMinute, ticksPerBeat);
        std::string error;
        host::PluginLibrary* generator = host.loadPlugin(host::generatorPluginFile(gear), error);
        host::PluginLibrary* inputPlugin = host.loadPlugin(host::inputPluginFile(gear), error);
        if (!generator || !inputPlugin) {
            state.SkipWithError(error.c_str());
            return;
        }
        host::HostMachine* spoolex = host.createMachine(*generator, "Spoolex");
        host.createMachine(*inputPlugin, "Mic");
        host.addSequence(*spoolex)->place(0, host.createPattern(*spoolex, "Take", songTicks));
        DiscardedOutput discarded;
        host.masterSink = &discarded;
        state.ResumeTiming();

        if (!host::recordSong(host, gear, input, host::RecordOptions{}, error)) {
            state.SkipWithError(error.c_str());
            return;
        }

        state.PauseTiming();
        recordedSong = host.saveSong();
        state.ResumeTiming();
    }
    state.counters["x_realtime"] = benchmark::Counter(
        songSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(recordLongTake)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void renderLongSong(benchmark::State& state) {
    if (recordedSong.machines.empty()) {
        state.SkipWithError("the recording benchmark made no song");
        return;
    }
    const std::string wav = "/tmp/spoolex-render-benchmark.wav";
    for (auto _ : state) {
        state.PauseTiming();
        host::Host host;
        quiet(host);
        std::string error;
        if (!host.loadSong(recordedSong, gear, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.ResumeTiming();
        uint64_t frames = 0;
        if (!host::renderToWav(host, host.songEndTick(), wav, frames, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    std::remove(wav.c_str());
    state.counters["x_realtime"] = benchmark::Counter(
        songSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(renderLongSong)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
