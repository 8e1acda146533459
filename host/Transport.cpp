// The stand-in host's song: patterns, sequences and the transport that plays
// them.
#include <algorithm>
#include <cmath>

#include "host/Host.h"
#include "host/WavFile.h"

namespace host {

namespace {
// Mode bits the host passes with a block: input present, output wanted.
constexpr int modeWrite = 2;
constexpr int modeReadWrite = 3;

void announce(HostMachine& machine, const std::function<void(CMachineInterfaceEx&)>& call) {
    if (machine.extension)
        call(*machine.extension);
}
} // namespace

HostPattern* Host::createPattern(HostMachine& machine, const std::string& name, int length) {
    patterns.push_back(std::make_unique<HostPattern>(machine, name, length));
    HostPattern* pattern = patterns.back().get();
    announce(machine,
             [&](CMachineInterfaceEx& ex) { ex.onPatternCreated(pattern->handle(), length); });
    return pattern;
}

HostPattern* Host::copyPattern(HostPattern& source, const std::string& name) {
    patterns.push_back(std::make_unique<HostPattern>(source.machine, name, source.length));
    HostPattern* copy = patterns.back().get();
    announce(copy->machine,
             [&](CMachineInterfaceEx& ex) { ex.onPatternCopied(copy->handle(), source.handle()); });
    return copy;
}

void Host::deletePattern(HostPattern* pattern) {
    auto it = std::find_if(patterns.begin(), patterns.end(),
                           [&](const auto& p) { return p.get() == pattern; });
    if (it == patterns.end())
        return;
    for (auto& sequence : sequences)
        for (auto start = sequence->starts.begin(); start != sequence->starts.end();)
            start = start->second == pattern ? sequence->starts.erase(start) : std::next(start);
    announce(pattern->machine,
             [&](CMachineInterfaceEx& ex) { ex.onPatternDeleted(pattern->handle()); });
    patterns.erase(it);
}

void Host::resizePattern(HostPattern& pattern, int length) {
    pattern.length = length;
    announce(pattern.machine,
             [&](CMachineInterfaceEx& ex) { ex.onPatternLengthChanged(pattern.handle(), length); });
}

HostPattern* Host::findPattern(const std::string& name) const {
    for (const auto& pattern : patterns)
        if (pattern->name == name)
            return pattern.get();
    return nullptr;
}

std::vector<HostPattern*> Host::patternsInOrder() const {
    std::vector<HostPattern*> all;
    for (const auto& pattern : patterns)
        all.push_back(pattern.get());
    return all;
}

const char* Host::patternName(const CPattern* pattern) const {
    for (const auto& p : patterns)
        if (p->handle() == pattern)
            return p->name.c_str();
    return nullptr;
}

HostSequence* Host::addSequence(HostMachine& machine) {
    sequences.push_back(std::make_unique<HostSequence>(machine));
    return sequences.back().get();
}

int Host::sequenceRank(const CSequence* sequence) const {
    for (size_t i = 0; i < sequences.size(); ++i)
        if (sequences[i]->handle() == sequence)
            return static_cast<int>(i);
    return -1;
}

void Host::play(int fromTick) {
    playing = true;
    firstTick = true;
    tickNow = fromTick;
    framesPlayed = 0;
    nextTickFrame = 0.0;
    masterInfo.posInTick = 0;
}

void Host::stop() {
    playing = false;
    for (auto& machine : placed)
        machine->machine->onStop();
}

// Sequences reaching a pattern start it; on the first tick of playback,
// patterns that began earlier join at their offset.
void Host::startTick(bool first) {
    for (auto& sequence : sequences) {
        HostMachine& machine = sequence->machine;
        auto start = sequence->starts.upper_bound(tickNow);
        if (start == sequence->starts.begin() || !machine.extension)
            continue;
        --start;
        HostPattern* pattern = start->second;
        int offset = tickNow - start->first;
        if (offset == 0)
            machine.extension->onPatternPlay(pattern ? pattern->handle() : nullptr,
                                             sequence->handle(), 0);
        else if (first && pattern && offset < pattern->length)
            machine.extension->onPatternPlay(pattern->handle(), sequence->handle(), offset);
    }
    tick();
}

void Host::render(int frames) {
    while (frames > 0) {
        int block = std::min(frames, maxBlockFrames);
        if (playing) {
            if (static_cast<double>(framesPlayed) >= nextTickFrame) {
                startTick(firstTick);
                firstTick = false;
                ++tickNow;
                // Fractional samples per tick accumulate, so long songs keep
                // time with the machines' own conversion.
                nextTickFrame += static_cast<double>(singlePrecisionSamplesPerTick(masterInfo));
                masterInfo.posInTick = 0;
            }
            auto untilTick = static_cast<int64_t>(std::ceil(nextTickFrame)) - framesPlayed;
            block = static_cast<int>(std::clamp<int64_t>(untilTick, 1, block));
        }
        renderBlock(block);
        frames -= block;
        framesPlayed += block;
        masterInfo.posInTick += block;
    }
}

void Host::renderBlock(int frames) {
    const size_t values = 2 * static_cast<size_t>(frames);
    machineInput.assign(values, 0.0f);
    machineOutput.assign(values, 0.0f);
    masterBlock.assign(values, 0.0f);
    const size_t count = renderOrder.empty() ? placed.size() : renderOrder.size();
    for (size_t m = 0; m < count; ++m) {
        HostMachine* machine = renderOrder.empty() ? placed[m].get() : renderOrder[m];
        std::fill(machineOutput.begin(), machineOutput.end(), 0.0f);
        if (machine->info().type == MachineTypeGenerator) {
            std::fill(machineInput.begin(), machineInput.end(), 0.0f);
            // A generator that reports silence adds nothing to the mix.
            if (machine->machine->renderStereo(machineInput.data(), machineOutput.data(), frames,
                                               modeReadWrite))
                for (size_t i = 0; i < values; ++i)
                    masterBlock[i] += machineOutput[i];
        } else {
            // Effects work in place on stereo input (none here without a
            // feed); they add nothing to the master mix.
            std::fill(machineInput.begin(), machineInput.end(), 0.0f);
            int mode = modeWrite;
            if (effectInput) {
                effectInput(*machine, machineInput.data(), frames);
                mode = modeReadWrite;
            }
            machine->machine->renderMono(machineInput.data(), frames, mode);
        }
    }
    if (masterSink)
        masterSink->write(masterBlock.data(), frames);
    else
        masterOutput.insert(masterOutput.end(), masterBlock.begin(), masterBlock.end());
}

bool Host::writeMasterWav(const std::string& path, std::string& error) const {
    std::vector<float> normalised(masterOutput.size());
    for (size_t i = 0; i < masterOutput.size(); ++i)
        normalised[i] = masterOutput[i] / hostSampleScale;
    return writeFloatWav(path, masterInfo.samplesPerSec, normalised, error);
}

} // namespace host
