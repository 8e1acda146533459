#include "host/ExportTake.h"

#include <cerrno>

#include "generator/model/TimeUnits.h"
#include "generator/wavestore/Exporter.h"
#include "host/Commands.h"
#include "host/FileChecks.h"
#include "host/Host.h"
#include "host/MachineServices.h"
#include "host/SongSummary.h"

namespace host {

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "spoolex-host: %s\n", why.c_str());
    return 1;
}

std::string tickText(double tick) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", tick);
    return text;
}

const char* formatName(spoolex::WavSampleFormat format) {
    switch (format) {
    case spoolex::WavSampleFormat::Int16:
        return "16-bit";
    case spoolex::WavSampleFormat::Int24:
        return "24-bit";
    case spoolex::WavSampleFormat::Int32:
        return "32-bit";
    case spoolex::WavSampleFormat::Float32:
        return "32-bit float";
    }
    return "?";
}

} // namespace

int exportCommand(const std::string& songPath, const std::string& wavPath,
                  const ExportOptions& options, const std::string& gear, std::FILE* out) {
    std::string error;
    if (!checkOutput(wavPath, {songPath}, error))
        return fail(error);
    Host host;
    if (!loadSong(host, songPath, gear))
        return 1;
    const SavedPattern* pattern = nullptr;
    const std::vector<MachinePatterns> machines = savedPatterns(host);
    HostMachine* owner = nullptr;
    for (const MachinePatterns& machine : machines)
        for (const SavedPattern& candidate : machine.patterns)
            if (!pattern && candidate.name == options.pattern) {
                pattern = &candidate;
                owner = machine.machine;
            }
    if (!pattern) {
        std::string names;
        for (const MachinePatterns& machine : machines)
            for (const SavedPattern& candidate : machine.patterns)
                names += (names.empty() ? "" : ", ") + candidate.name;
        return fail("no pattern \"" + options.pattern + "\" of a generator in " + songPath +
                    (names.empty() ? std::string(", which has none") : "; it has " + names));
    }
    const size_t takes = pattern->takes.size();
    if (static_cast<size_t>(options.take) >= takes)
        return fail("the pattern \"" + options.pattern + "\" has " +
                    (takes == 0 ? std::string("no takes")
                                : std::to_string(takes) + " take" + (takes == 1 ? "" : "s") +
                                      " (0 to " + std::to_string(takes - 1) + ")") +
                    ", not take " + std::to_string(options.take));
    spoolex::Take take;
    take.sampleRate = host.timing().samplesPerSec;
    // A damaged take is written as far as it decodes, as the machine plays it.
    if (!decodeSavedTake(pattern->takes[static_cast<size_t>(options.take)], take, *owner->services))
        std::fprintf(stderr, "spoolex-host: take %d of %s is damaged: what decodes is written\n",
                     options.take, options.pattern.c_str());
    uint32_t first = 0;
    auto end = static_cast<uint32_t>(take.frameCount());
    if (options.selected) {
        if (options.to > pattern->length)
            return fail("--select ends at tick " + tickText(options.to) + ", past the end of the " +
                        std::to_string(pattern->length) + "-tick pattern");
        const CMasterInfo& timing = host.timing();
        // As the editor's export: the frame under the end is the first left out.
        const double f =
            spoolex::framesPerTick(spoolex::rateRatio(take.sampleRate, timing.samplesPerSec),
                                   spoolex::samplesPerTick(timing));
        first = static_cast<uint32_t>(spoolex::sampleCount(f * options.from));
        end = std::min(end, static_cast<uint32_t>(spoolex::sampleCount(f * options.to)));
        if (first >= end)
            return fail("take " + std::to_string(options.take) + " holds nothing from tick " +
                        tickText(options.from) + " on");
    }
    spoolex::WavExporter exporter(options.format);
    errno = 0;
    if (!exporter.exportRange(take, wavPath, first, end))
        return fail("cannot write " + wavPath + (errno ? ": " + systemReason() : std::string()));
    std::fprintf(out, "%s: take %d of %s, %u frames at %d Hz (%.3f s), %s\n", wavPath.c_str(),
                 options.take, options.pattern.c_str(), end - first, take.sampleRate,
                 static_cast<double>(end - first) / take.sampleRate, formatName(options.format));
    return 0;
}

} // namespace host
