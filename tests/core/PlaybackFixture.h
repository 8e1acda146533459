// A generator in the stand-in host with helpers to fill takes and render.
#pragma once

#include <vector>

#include "generator/machine/Machine.h"
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
        take.changeSamples().resize(2 * frames);
        for (size_t f = 0; f < frames; ++f) {
            take.changeSamples()[2 * f] = static_cast<float>(f);
            take.changeSamples()[2 * f + 1] = -static_cast<float>(f);
        }
        return take;
    }

    static spoolex::Take& constantTake(spoolex::Pattern& pattern, size_t frames, float left,
                                       float right) {
        spoolex::Take& take = pattern.addTake();
        take.changeSamples().resize(2 * frames);
        for (size_t f = 0; f < frames; ++f) {
            take.changeSamples()[2 * f] = left;
            take.changeSamples()[2 * f + 1] = right;
        }
        return take;
    }

    // A 16-tick pattern with two full-length takes: T sounds only on the
    // left at 1000, U only on the right, so each channel shows one gain.
    struct LeftRight {
        host::HostPattern* hostPattern;
        spoolex::Pattern* pattern;
        spoolex::Take* left;
        spoolex::Take* right;
    };
    LeftRight leftRightPattern(const std::string& name) {
        host::HostPattern* hostPattern = createPattern(name, 16);
        spoolex::Pattern& pattern = patternOf(hostPattern);
        spoolex::Take& left = constantTake(pattern, 16 * samplesPerTick, 1000, 0);
        spoolex::Take& right = constantTake(pattern, 16 * samplesPerTick, 0, 1000);
        return {hostPattern, &pattern, &left, &right};
    }

    // A take of constant 1000 fading out over the default 100 samples from
    // sample from of out's left channel.
    static void expectFadeOut(const std::vector<float>& out, int from) {
        EXPECT_EQ(out[2 * from], 1000.0f);
        EXPECT_NEAR(out[2 * (from + 50)], 500.0f, 1e-2f);
        EXPECT_EQ(out[2 * (from + 100)], 0.0f);
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
