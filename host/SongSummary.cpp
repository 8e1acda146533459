#include "host/SongSummary.h"

#include <cstdint>
#include <cstdio>

#include "generator/editor/EditorCommandIds.h"
#include "host/Commands.h"
#include "host/Host.h"
#include "host/MachineServices.h"
#include "platform/testing/ScriptedUi.h"

namespace host {

namespace {

constexpr int flagEditor = 0x200;

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", value);
    return text;
}

// What the machine's Info command shows for the pattern, then a blank line.
std::string reportOf(Host& host, HostMachine& machine, const std::string& patternName) {
    HostPattern* pattern = nullptr;
    for (HostPattern* candidate : host.patternsInOrder())
        if (&candidate->machine == &machine && candidate->name == patternName)
            pattern = candidate;
    auto& ui = platform::testing::ScriptedUi::instance();
    const size_t before = ui.messages().size();
    if (!pattern || !host.sendEditorCommand(machine, pattern, editorcommand::info))
        return "";
    const auto shown = ui.messages();
    if (shown.size() == before)
        return "";
    return shown.back().text + "\n";
}

} // namespace

double tickSeconds(Host& host, double ticks) {
    const CMasterInfo& timing = host.timing();
    return ticks * static_cast<double>(singlePrecisionSamplesPerTick(timing)) /
           timing.samplesPerSec;
}

std::string timingText(Host& host) {
    const CMasterInfo& timing = host.timing();
    const uint32_t end = host.songEndTick();
    return std::to_string(timing.samplesPerSec) + " Hz, " + std::to_string(timing.beatsPerMin) +
           " bpm, " + std::to_string(timing.ticksPerBeat) + " ticks per beat; " +
           std::to_string(end) + " ticks, " + seconds(tickSeconds(host, end));
}

std::vector<MachinePatterns> savedPatterns(Host& host) {
    std::vector<MachinePatterns> found;
    for (const auto& placed : host.machines()) {
        HostMachine& machine = *placed;
        if (!(machine.info().flags & flagEditor) || !machine.services)
            continue;
        std::string error;
        std::vector<SavedPattern> saved;
        if (!readSavedPatterns(host.saveSongData(machine), *machine.services, saved, error))
            continue;
        MachinePatterns ordered{&machine, {}};
        for (HostPattern* pattern : host.patternsInOrder())
            for (SavedPattern& candidate : saved)
                if (&pattern->machine == &machine && candidate.name == pattern->name) {
                    ordered.patterns.push_back(std::move(candidate));
                    candidate.name.clear(); // a name the host gives one pattern only
                    break;
                }
        found.push_back(std::move(ordered));
    }
    return found;
}

std::string patternText(Host& host, HostMachine& machine, const SavedPattern& pattern,
                        size_t firstNew) {
    std::string text = machine.name + " / " + pattern.name + ": " + std::to_string(pattern.length) +
                       " ticks, " + seconds(tickSeconds(host, pattern.length)) + "\n";
    if (pattern.takes.empty())
        text += "  no takes\n";
    for (size_t t = 0; t < pattern.takes.size(); ++t) {
        const spoolex::TakeStream& take = pattern.takes[t];
        const int32_t rate = take.sampleRate > 0 ? take.sampleRate : host.timing().samplesPerSec;
        text += "  take " + std::to_string(t) + ": " +
                seconds(static_cast<double>(take.frames) / rate) + " at " + std::to_string(rate) +
                " Hz" + (t >= firstNew ? " (new)" : "") + "\n";
    }
    return text + reportOf(host, machine, pattern.name);
}

std::string songSummary(Host& host) {
    platform::testing::ScriptedUi::instance().setEcho(false);
    std::string text = "song: " + timingText(host) + "\n";
    const auto machines = savedPatterns(host);
    if (machines.empty())
        return text + "no machine of the song has takes: it has no Korvane Spoolex generator\n";
    for (const MachinePatterns& found : machines) {
        if (found.patterns.empty())
            text += found.machine->name + ": no patterns\n";
        for (const SavedPattern& pattern : found.patterns)
            text += patternText(host, *found.machine, pattern);
    }
    return text;
}

} // namespace host
