#include "host/Commands.h"
#include "host/Pictures.h"

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "generator/editor/EditorCommandIds.h"
#include "host/Describe.h"
#include "host/FileChecks.h"
#include "host/Host.h"
#include "host/PluginFiles.h"
#include "host/Recorder.h"
#include "host/SongSummary.h"
#include "host/WavFile.h"
#include "platform/testing/ScriptedUi.h"

namespace host {

bool loadSong(Host& host, const std::string& songPath, const std::string& gear) {
    SongDocument song;
    std::string error;
    if (!loadSongFile(songPath, song, error) || !host.loadSong(song, gear, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool renderToWav(Host& host, uint32_t endTick, const std::string& wavPath, uint64_t& frames,
                 std::string& error, const std::function<void(int tick)>& progress) {
    MasterWavFile wav;
    if (!wav.open(wavPath, host.timing().samplesPerSec, error))
        return false;
    host.masterSink = &wav;
    host.renderSong(endTick, progress);
    host.masterSink = nullptr;
    frames = wav.frames();
    return wav.finish(error);
}

HostPattern* editorPattern(Host& host, const std::string& name) {
    constexpr int flagEditor = 0x200;
    for (HostPattern* pattern : host.patternsInOrder())
        if ((pattern->machine.info().flags & flagEditor) && (name.empty() || pattern->name == name))
            return pattern;
    return nullptr;
}

int describeCommand(const std::string& gear, std::FILE* out) {
    Host host;
    std::string error;
    auto plugins = host.loadGear(gear, error);
    if (plugins.empty()) {
        std::fprintf(stderr, "spoolex-host: no plug-ins in %s%s%s\n", gear.c_str(),
                     error.empty() ? "" : ": ", error.c_str());
        return 1;
    }
    for (PluginLibrary* plugin : plugins)
        std::fprintf(out, "%s\n", describePlugin(host, *plugin).c_str());
    return 0;
}

int renderCommand(const std::string& songPath, const std::string& wavPath, const std::string& gear,
                  std::FILE* out) {
    Host host;
    SongDocument song;
    std::string error;
    if (!checkOutput(wavPath, {songPath}, error) || !loadSongFile(songPath, song, error) ||
        !host.loadSong(song, gear, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    uint32_t end = song.endTick();
    bool terminal = isatty(fileno(stderr));
    uint64_t frames = 0;
    bool rendered = renderToWav(host, end, wavPath, frames, error, [&](int tick) {
        if (terminal)
            std::fprintf(stderr, "\rrendering: tick %d of %u", tick, end);
    });
    if (terminal)
        std::fprintf(stderr, "\r\033[K");
    if (!rendered) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(out, "%s: %u ticks, %llu frames at %u Hz\n", wavPath.c_str(), end,
                 static_cast<unsigned long long>(frames), song.sampleRate);
    return 0;
}

int infoCommand(const std::string& songPath, const std::string& gear, std::FILE* out) {
    Host host;
    if (!loadSong(host, songPath, gear))
        return 1;
    std::fputs(songSummary(host).c_str(), out);
    return 0;
}

namespace {

// The master output of a recording: nobody listens to it.
class DiscardedOutput final : public MasterSink {
public:
    void write(const float*, int) override {}
};

} // namespace

namespace {

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

// Takes per pattern, by machine and name.
std::map<std::pair<HostMachine*, std::string>, size_t> takeCounts(Host& host) {
    std::map<std::pair<HostMachine*, std::string>, size_t> counts;
    for (const MachinePatterns& machine : savedPatterns(host))
        for (const SavedPattern& pattern : machine.patterns)
            counts[{machine.machine, pattern.name}] = pattern.takes.size();
    return counts;
}

} // namespace

int recordCommand(const std::string& songPath, const std::string& inputPath,
                  const RecordOptions& options, const std::string& gear, std::FILE* out) {
    Host host;
    std::string error;
    WavAudio input;
    if (!checkReadable(inputPath, error) || !readWav(inputPath, input, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    if (!loadSong(host, songPath, gear))
        return 1;
    platform::testing::ScriptedUi::instance().setEcho(false);
    const auto before = takeCounts(host);
    DiscardedOutput discarded;
    host.masterSink = &discarded;
    RecordOutcome ran;
    if (!recordSong(host, gear, input, options, error, &ran) ||
        !saveSongFile(songPath, host.saveSong(), error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    host.masterSink = nullptr;
    const double rate = host.timing().samplesPerSec;
    std::fprintf(out, "%s: recorded %s over %s\n", songPath.c_str(), inputPath.c_str(),
                 secondsText(static_cast<double>(ran.played) / rate).c_str());
    if (ran.inputFrames > ran.songFrames)
        std::fprintf(
            out, "the input (%s) is longer than the song (%s): its last %s were cut\n",
            secondsText(static_cast<double>(ran.inputFrames) / rate).c_str(),
            secondsText(static_cast<double>(ran.songFrames) / rate).c_str(),
            secondsText(static_cast<double>(ran.inputFrames - ran.songFrames) / rate).c_str());
    else if (ran.inputFrames < ran.songFrames)
        std::fprintf(out, "the input ended before the song (%s): the song stopped there\n",
                     secondsText(static_cast<double>(ran.songFrames) / rate).c_str());
    bool any = false;
    for (const MachinePatterns& machine : savedPatterns(host))
        for (const SavedPattern& pattern : machine.patterns) {
            const auto earlier = before.find({machine.machine, pattern.name});
            const size_t had = earlier == before.end() ? 0 : earlier->second;
            if (pattern.takes.size() <= had)
                continue;
            any = true;
            std::fputs(patternText(host, *machine.machine, pattern, had).c_str(), out);
        }
    if (!any)
        std::fputs("no pattern played, so nothing was recorded\n", out);
    return 0;
}

namespace {

// Two passes over one 16-tick pattern, played like music: the first loud in
// its first half, the second in its second half, each a phrase of four
// plucked notes (a sharp attack, then a decay that stays above the demo's
// punch threshold until the next note), quiet but not silent elsewhere.
// Each loud half ends on its tick with a short fade, so a comp of the quiet
// halves hears none of it.
WavAudio demoInput(int sampleRate, double samplesPerTick) {
    WavAudio audio;
    audio.sampleRate = sampleRate;
    audio.channels = 2;
    auto frames = static_cast<size_t>(32 * samplesPerTick);
    audio.frames.resize(2 * frames);
    const double pi = 3.14159265358979323846;
    // Hz of each note, left and right: a phrase, then its answer.
    const double phrases[2][4][2] = {{{440, 554}, {494, 587}, {554, 659}, {659, 831}},
                                     {{587, 740}, {554, 659}, {494, 622}, {330, 415}}};
    constexpr double noteTicks = 2.0;
    constexpr double attack = 0.004, decay = 0.2, fade = 0.01; // seconds
    for (size_t f = 0; f < frames; ++f) {
        const double tick = static_cast<double>(f) / samplesPerTick;
        const double t = static_cast<double>(f) / sampleRate;
        double left = 30.0 * std::sin(2 * pi * 97 * t);
        double right = left;
        const int pass = tick < 8 ? 0 : (tick >= 24 ? 1 : -1);
        if (pass >= 0) {
            const double inHalf = pass == 0 ? tick : tick - 24;
            const int note = static_cast<int>(inHalf / noteTicks);
            const double since = (inHalf - note * noteTicks) * samplesPerTick / sampleRate;
            const double untilEnd = (8 - inHalf) * samplesPerTick / sampleRate;
            const double envelope =
                std::min({1.0, since / attack, untilEnd / fade}) * std::exp(-since / decay);
            const double* hz = phrases[pass][note];
            auto voice = [&](double frequency) {
                return std::sin(2 * pi * frequency * t) +
                       0.3 * std::sin(2 * pi * 2 * frequency * t);
            };
            left = 11000.0 * envelope * voice(hz[0]);
            right = 8000.0 * envelope * voice(hz[1]);
        }
        audio.frames[2 * f] = static_cast<float>(left);
        audio.frames[2 * f + 1] = static_cast<float>(right);
    }
    return audio;
}

std::vector<float> normalised(const std::vector<float>& hostScale) {
    std::vector<float> out(hostScale.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = hostScale[i] / hostSampleScale;
    return out;
}

} // namespace

int demoCommand(const std::string& folder, const std::string& gear, std::FILE* out) {
    std::string error;
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    const std::string song = folder + "/demo.sxs";
    {
        Host host;
        PluginLibrary* generator = host.loadPlugin(generatorPluginFile(gear), error);
        PluginLibrary* input = generator ? host.loadPlugin(inputPluginFile(gear), error) : nullptr;
        if (!generator || !input) {
            std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
            return 1;
        }
        HostMachine* spoolex = host.createMachine(*generator, "Spoolex");
        host.createMachine(*input, "Mic");
        HostPattern* pattern = host.createPattern(*spoolex, "Demo", 16);
        HostSequence* sequence = host.addSequence(*spoolex);
        sequence->place(0, pattern);
        sequence->place(16, pattern);

        const CMasterInfo& timing = host.timing();
        const auto samplesPerTick = static_cast<double>(singlePrecisionSamplesPerTick(timing));
        WavAudio audio = demoInput(timing.samplesPerSec, samplesPerTick);
        writeFloatWav(folder + "/demo-input.wav", audio.sampleRate, normalised(audio.frames),
                      error);

        RecordOptions options;
        options.autoPunch = true;
        options.threshold = 2048; // (1/2)^3.5 of full scale, about -21 dB
        options.release = 50;
        if (!recordSong(host, gear, audio, options, error) ||
            !saveSongFile(song, host.saveSong(), error)) {
            std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
            return 1;
        }
        std::fprintf(out, "Recorded two passes over the pattern \"Demo\" with auto punch: %s\n",
                     song.c_str());
    }
    Host fresh;
    if (!loadSong(fresh, song, gear))
        return 1;
    const std::string wav = folder + "/demo.wav";
    uint64_t frames = 0;
    if (!renderToWav(fresh, fresh.songEndTick(), wav, frames, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(out, "Loaded it again and rendered the comp of both passes: %s\n\n%s", wav.c_str(),
                 songSummary(fresh).c_str());
#ifdef SPOOLEX_HOST_PICTURES
    // What the editor and the sequence view show of it.
    SnapshotOptions editor;
    editor.width = 960;
    editor.height = 420;
    editor.rowHeight = 200.0f;
    editor.selStart = 4.0;
    editor.selEnd = 8.0;
    editor.take = 0;
    if (snapshotCommand(song, folder + "/demo-editor.png", editor, gear, out) != 0 ||
        sequenceCommand(song, folder + "/demo-sequence.png", 0.125f, gear, out) != 0)
        return 1;
#endif
    return 0;
}

} // namespace host
