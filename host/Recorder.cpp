#include "host/Recorder.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

#include "host/Host.h"
#include "host/PluginFiles.h"

namespace host {

namespace {

const char* const inputMachineName = "Korvane Spoolex Input";

constexpr int parameterLatency = 0, parameterAutoPunch = 1, parameterThreshold = 2,
              parameterRelease = 3, parameterPunch = 5;

std::string unchecked(const std::string& item) {
    return !item.empty() && item[0] == '*' ? item.substr(1) : item;
}

// After each stretch the host renders: waits until real time has caught up
// with the frames played, and says how far it got.
std::function<void(int)> pace(Host& host, const RecordOptions& options) {
    if (!options.realtime)
        return {};
    const auto began = std::chrono::steady_clock::now();
    const double rate = host.timing().samplesPerSec;
    const double ticks = singlePrecisionSamplesPerTick(host.timing());
    std::FILE* progress = options.progress;
    return [=](int tick) {
        // The tick reached has begun, not necessarily ended: count only the
        // ticks before it.
        const double frames = std::max(tick - 1, 0) * ticks;
        std::this_thread::sleep_until(began + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                  std::chrono::duration<double>(frames / rate)));
        if (progress) {
            std::fprintf(progress, "played %.0f frames\n", frames);
            std::fflush(progress);
        }
    };
}

} // namespace

bool recordSong(Host& host, const std::string& gear, const WavAudio& input,
                const RecordOptions& options, std::string& error, RecordOutcome* outcome) {
    HostMachine* generator = nullptr;
    HostMachine* source = nullptr;
    for (const auto& machine : host.machines()) {
        if (!generator && machine->info().type == MachineTypeGenerator)
            generator = machine.get();
        if (!source && std::strcmp(machine->info().name, inputMachineName) == 0)
            source = machine.get();
    }
    if (!generator) {
        error = "the song has no generator to record into (spoolex-host new makes a song with one)";
        return false;
    }
    if (input.sampleRate != host.timing().samplesPerSec) {
        error = "the input runs at " + std::to_string(input.sampleRate) + " Hz, the song at " +
                std::to_string(host.timing().samplesPerSec) + " Hz";
        return false;
    }
    if (!source) {
        PluginLibrary* plugin = host.loadPlugin(inputPluginFile(gear), error);
        if (!plugin || !(source = host.createMachine(*plugin, "Input"))) {
            error = "cannot place an input machine: " + error;
            return false;
        }
    }
    host.setParameter(*source, parameterLatency, options.latency);
    host.setParameter(*source, parameterAutoPunch, options.autoPunch ? 1 : 0);
    host.setParameter(*source, parameterThreshold, options.threshold);
    host.setParameter(*source, parameterRelease, options.release);
    // The input machine starts punched in. By hand that is what the user
    // wants, throughout; with auto punch the level alone decides, so the
    // song starts punched out: otherwise the first release time of every
    // recording would be punched in however quiet the input.
    host.setParameter(*source, parameterPunch, options.autoPunch ? 0 : 1);
    // A tick of their own, so that they are in force before the song's first
    // tick starts a pattern (and a recording with the input's latency).
    host.tick();

    // Choose the source and arm through the generator's menu, as a user would.
    std::vector<std::string> sources = host.subMenu(*generator, 0);
    size_t item = 0;
    while (item < sources.size() && unchecked(sources[item]) != source->name)
        ++item;
    if (item == sources.size()) {
        error = "the generator does not offer " + source->name + " as a record source";
        return false;
    }
    host.runCommand(*generator, (1 << 8) | static_cast<int>(item));
    std::vector<std::string> arm = host.subMenu(*generator, 1);
    if (arm.empty() || arm[0] != "*Arm")
        host.runCommand(*generator, 2 << 8);

    host.renderOrder.clear();
    for (const auto& machine : host.machines())
        if (machine.get() != source)
            host.renderOrder.push_back(machine.get());
    host.renderOrder.insert(options.inputAfter ? host.renderOrder.end() : host.renderOrder.begin(),
                            source);

    size_t position = 0;
    host.effectInput = [&](HostMachine& effect, float* buffer, int frames) {
        if (&effect != source)
            return;
        for (int f = 0; f < frames; ++f, ++position)
            if (position < input.frameCount()) {
                buffer[2 * f] = input.frames[2 * position];
                buffer[2 * f + 1] = input.frames[2 * position + 1];
            }
    };
    RecordOutcome ran;
    ran.songFrames = host.songFrames(host.songEndTick());
    ran.inputFrames = static_cast<int64_t>(input.frameCount());
    ran.played = std::min(ran.songFrames, ran.inputFrames);
    if (outcome)
        *outcome = ran;
    host.stateFlags |= HostStateRecording;
    host.renderSongFrames(ran.played, pace(host, options));
    host.stateFlags &= ~HostStateRecording;
    host.effectInput = nullptr;
    host.renderOrder.clear();
    return true;
}

} // namespace host
