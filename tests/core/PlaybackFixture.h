// A generator in the stand-in host with helpers to fill takes and render.
#pragma once

#include <vector>

#include "generator/core/Machine.h"
#include "tests/core/GeneratorFixture.h"

class PlaybackTest : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        placed = placeGenerator();
        sequence = host.addSequence(*placed);
    }

    spoolex::mi& machine() { return generatorOf(placed); }

    host::HostPattern* createPattern(const std::string& name, int length) {
        return host.createPattern(*placed, name, length);
    }

    spoolex::Pattern& patternOf(host::HostPattern* pattern) {
        return *machine().findPattern(pattern->handle());
    }

    // Frame f reads left = f, right = -f: any offset error shows in the value.
    static spoolex::Take& staircaseTake(spoolex::Pattern& pattern, size_t frames,
                                        int32_t sampleRate = 44100) {
        spoolex::Take& take = pattern.addTake();
        take.sampleRate = sampleRate;
        take.samples.resize(2 * frames);
        for (size_t f = 0; f < frames; ++f) {
            take.samples[2 * f] = static_cast<float>(f);
            take.samples[2 * f + 1] = -static_cast<float>(f);
        }
        return take;
    }

    static spoolex::Take& constantTake(spoolex::Pattern& pattern, size_t frames, float left,
                                       float right) {
        spoolex::Take& take = pattern.addTake();
        take.samples.resize(2 * frames);
        for (size_t f = 0; f < frames; ++f) {
            take.samples[2 * f] = left;
            take.samples[2 * f + 1] = right;
        }
        return take;
    }

    // Makes take active over [t0, t1) as an edit does.
    void assign(spoolex::Pattern& pattern, double t0, double t1, spoolex::Take* take) {
        auto hold = machine().lockAudio();
        pattern.assignTake(t0, t1, take);
        pattern.tidyActiveTakes();
        machine().resyncPlayers(pattern);
        pattern.invalidateOverview();
    }

    // Renders frames straight from the machine, in blocks of at most 256.
    std::vector<float> render(int frames, std::vector<bool>* sounding = nullptr) {
        std::vector<float> out(2 * static_cast<size_t>(frames));
        std::vector<float> in(512);
        for (int done = 0; done < frames; done += 256) {
            int block = std::min(256, frames - done);
            bool loud = machine().renderStereo(in.data(), out.data() + 2 * done, block, 3);
            if (sounding)
                sounding->push_back(loud);
        }
        return out;
    }

    void play(host::HostPattern* pattern, int offset = 0) {
        machine().ex.onPatternPlay(pattern ? pattern->handle() : nullptr, sequence->handle(),
                                   offset);
    }

    // 44100 Hz, 126 beats per minute, 4 ticks per beat.
    static constexpr int samplesPerTick = 5250;

    host::HostMachine* placed = nullptr;
    host::HostSequence* sequence = nullptr;
};
