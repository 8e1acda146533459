// Songs in and out of the stand-in host, and the machines' own editors.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/Host.h"
#include "host/MachineServices.h"
#include "host/PluginFiles.h"
#include "platform/Window.h"

namespace host {

namespace {

std::string pluginStem(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t suffix = name.size() - std::strlen(pluginSuffix);
    if (name.size() > std::strlen(pluginSuffix) &&
        name.compare(suffix, std::string::npos, pluginSuffix) == 0)
        name.erase(suffix);
    return name;
}

} // namespace

bool Host::loadSong(const SongDocument& song, const std::string& gearFolder, std::string& error) {
    setTiming(static_cast<int>(song.sampleRate), static_cast<int>(song.beatsPerMinute),
              static_cast<int>(song.ticksPerBeat));
    // Machines may read waves while they load.
    if (!wavetable.loadFrom(song, error))
        return false;
    std::vector<HostMachine*> loaded;
    for (const SongMachine& m : song.machines) {
        std::string folder = m.kind == MachineTypeEffect ? "/Effects/" : "/Generators/";
        PluginLibrary* plugin = loadPlugin(gearFolder + folder + m.plugin + pluginSuffix, error);
        if (!plugin)
            return false;
        HostMachine* machine =
            createMachine(*plugin, m.name, m.songData.empty() ? nullptr : &m.songData);
        if (!machine) {
            error = m.plugin + " could not create the machine " + m.name;
            return false;
        }
        for (size_t i = 0;
             i < m.attributes.size() && static_cast<int>(i) < machine->info().numAttributes; ++i)
            setAttribute(*machine, static_cast<int>(i), m.attributes[i]);
        loaded.push_back(machine);
    }
    std::vector<HostPattern*> songPatterns;
    for (const SongPattern& p : song.patterns)
        songPatterns.push_back(createPattern(*loaded[p.machine], p.name, p.length));
    for (const SongSequence& s : song.sequences) {
        HostSequence* sequence = addSequence(*loaded[s.machine]);
        for (const SongEvent& e : s.events)
            sequence->place(static_cast<int>(e.tick),
                            e.pattern < 0 ? nullptr : songPatterns[static_cast<size_t>(e.pattern)]);
    }
    return true;
}

SongDocument Host::saveSong() {
    SongDocument song;
    song.sampleRate = static_cast<uint32_t>(masterInfo.samplesPerSec);
    song.beatsPerMinute = static_cast<uint32_t>(masterInfo.beatsPerMin);
    song.ticksPerBeat = static_cast<uint32_t>(masterInfo.ticksPerBeat);
    wavetable.saveInto(song);
    std::map<const HostMachine*, uint32_t> machineIndex;
    for (const auto& placedMachine : placed) {
        HostMachine& machine = *placedMachine;
        SongMachine m;
        m.plugin = machine.plugin ? pluginStem(machine.plugin->path()) : machine.info().name;
        m.kind = static_cast<uint32_t>(machine.info().type);
        m.name = machine.name;
        for (int i = 0; i < machine.info().numAttributes; ++i) {
            int32_t value;
            std::memcpy(&value, static_cast<uint8_t*>(machine.machine->attributeValues) + 4 * i, 4);
            m.attributes.push_back(value);
        }
        m.songData = saveSongData(machine);
        machineIndex[&machine] = static_cast<uint32_t>(song.machines.size());
        song.machines.push_back(std::move(m));
    }
    std::map<const HostPattern*, int32_t> patternIndex;
    for (const auto& pattern : patterns) {
        patternIndex[pattern.get()] = static_cast<int32_t>(song.patterns.size());
        song.patterns.push_back({machineIndex[&pattern->machine], pattern->name, pattern->length});
    }
    for (const auto& sequence : sequences) {
        SongSequence s;
        s.machine = machineIndex[&sequence->machine];
        for (const auto& [tick, pattern] : sequence->starts)
            s.events.push_back({static_cast<uint32_t>(tick), pattern ? patternIndex[pattern] : -1});
        song.sequences.push_back(std::move(s));
    }
    return song;
}

int64_t Host::songFrames(uint32_t endTick) const {
    // The frame at which endTick begins, accumulated as the transport does.
    const auto ticks = static_cast<double>(singlePrecisionSamplesPerTick(masterInfo));
    double endFrame = 0.0;
    for (uint32_t t = 0; t < endTick; ++t)
        endFrame += ticks;
    return static_cast<int64_t>(std::ceil(endFrame));
}

void Host::renderSong(uint32_t endTick, const std::function<void(int tick)>& progress) {
    renderSongFrames(songFrames(endTick), progress);
}

void Host::renderSongFrames(int64_t frames, const std::function<void(int tick)>& progress) {
    play(0);
    constexpr int64_t chunk = 1 << 14;
    for (int64_t done = 0; done < frames; done += chunk) {
        render(static_cast<int>(std::min(chunk, frames - done)));
        if (progress)
            progress(currentTick());
    }
    stop();
    // Long enough for the longest crossfade to finish.
    render(songTailFrames);
}

uint32_t Host::songEndTick() const {
    int end = 0;
    for (const auto& sequence : sequences)
        for (const auto& [tick, pattern] : sequence->starts)
            if (pattern)
                end = std::max(end, tick + std::max(pattern->length, 0));
    return static_cast<uint32_t>(end);
}

void* Host::editorWindow(HostMachine& machine, void* parentWindow) {
    if (!machine.editorWindow && machine.extension && (machine.info().flags & 0x200) != 0)
        machine.editorWindow = machine.extension->createEditorWindow(parentWindow);
    return machine.editorWindow;
}

bool Host::sendEditorCommand(HostMachine& machine, HostPattern* pattern, int command) {
    void* window = editorWindow(machine);
    if (!window)
        return false;
    machine.extension->showPattern(pattern ? pattern->handle() : nullptr);
    platform::sendMessage(window, platform::messageCommand, static_cast<uintptr_t>(command), 0);
    return true;
}

} // namespace host
