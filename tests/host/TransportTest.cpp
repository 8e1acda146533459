#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "host/Host.h"
#include "host/WavFile.h"

namespace {

struct Call {
    std::string what;
    std::string name; // pattern name, as the host tells it
    int value;        // length, offset or rank
    int64_t frame;    // rendered frames before the call
};

class SongProbe;

class SongProbeEx final : public CMachineInterfaceEx {
public:
    void onPatternCreated(CPattern* p, int length) override;
    void onPatternCopied(CPattern* p, const CPattern* source) override;
    void onPatternDeleted(CPattern* p) override;
    void onPatternLengthChanged(CPattern* p, int length) override;
    void onPatternPlay(CPattern* p, CSequence* sequence, int offset) override;
    SongProbe* owner = nullptr;
};

// A generator that logs what the host tells it and plays a constant.
class SongProbe final : public CMachineInterface {
public:
    SongProbe() { ex.owner = this; }
    void* destroy(unsigned flags) override {
        if (flags & 1)
            delete this;
        return this;
    }
    void initFromSong(CMachineDataInput*) override { callbacks->registerExtension(&ex); }
    void onTick() override { ticks.push_back(frames); }
    bool renderStereo(float*, float* out, int n, int) override {
        blocks.push_back(n);
        order.push_back(this);
        for (int i = 0; i < 2 * n; ++i)
            out[i] = level;
        frames += n;
        return level != 0.0f;
    }
    void onStop() override { calls.push_back({"stop", "", 0, frames}); }
    void log(const char* what, CPattern* p, int value) {
        const char* name = p ? callbacks->patternNameOf(p) : "";
        calls.push_back({what, name ? name : "?", value, frames});
    }

    SongProbeEx ex;
    float level = 0.0f;
    int64_t frames = 0;
    std::vector<int64_t> ticks;
    std::vector<int> blocks;
    std::vector<Call> calls;
    static std::vector<SongProbe*> order;
};
std::vector<SongProbe*> SongProbe::order;

void SongProbeEx::onPatternCreated(CPattern* p, int length) {
    owner->log("created", p, length);
}
void SongProbeEx::onPatternCopied(CPattern* p, const CPattern* source) {
    owner->log("copied", p, 0);
    owner->calls.back().name +=
        std::string("<") + owner->callbacks->patternNameOf(const_cast<CPattern*>(source));
}
void SongProbeEx::onPatternDeleted(CPattern* p) {
    owner->log("deleted", p, 0);
}
void SongProbeEx::onPatternLengthChanged(CPattern* p, int length) {
    owner->log("length", p, length);
}
void SongProbeEx::onPatternPlay(CPattern* p, CSequence* sequence, int offset) {
    owner->log("play", p, offset);
    owner->calls.back().name += "@" + std::to_string(owner->callbacks->sequenceRank(sequence));
}

// An effect that logs the input it is given and writes over it.
class EffectProbe final : public CMachineInterface {
public:
    void* destroy(unsigned flags) override {
        if (flags & 1)
            delete this;
        return this;
    }
    bool renderMono(float* samples, int n, int mode) override {
        modes.push_back(mode);
        firstInput.push_back(samples[0]);
        std::fill(samples, samples + 2 * n, 999.0f);
        return true;
    }
    std::vector<int> modes;
    std::vector<float> firstInput;
};

const CMachineInfo effectInfo = {
    MachineTypeEffect, 65,      0x2000, 0,      0, 0, 0, nullptr, 0, nullptr, "EffectProbe",
    "EffectProbe",     "tests", "",     nullptr};

const CMachineInfo probeInfo = {
    MachineTypeGenerator, 65,          0,       0,  0,      0, 0, nullptr, 0, nullptr,
    "SongProbe",          "SongProbe", "tests", "", nullptr};

class Transport : public ::testing::Test {
protected:
    void SetUp() override {
        host.echoMessages = false;
        SongProbe::order.clear();
    }
    host::HostMachine* place(const std::string& name) {
        return host.createMachine(
            probeInfo, [] { return static_cast<CMachineInterface*>(new SongProbe); }, name);
    }
    static SongProbe& probe(host::HostMachine* placed) {
        return *static_cast<SongProbe*>(placed->machine);
    }
    host::Host host;
};

TEST_F(Transport, PatternChangesAreAnnouncedWithTheirNames) {
    host::HostMachine* placed = place("g");
    host::HostPattern* a = host.createPattern(*placed, "Intro", 16);
    host::HostPattern* b = host.copyPattern(*a, "Intro 2");
    host.resizePattern(*b, 8);
    host.deletePattern(a);
    const auto& calls = probe(placed).calls;
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].what + calls[0].name + std::to_string(calls[0].value), "createdIntro16");
    EXPECT_EQ(calls[1].what + calls[1].name, "copiedIntro 2<Intro");
    EXPECT_EQ(calls[2].what + calls[2].name + std::to_string(calls[2].value), "lengthIntro 28");
    EXPECT_EQ(calls[3].what + calls[3].name, "deletedIntro");
    EXPECT_EQ(host.findPattern("Intro"), nullptr);
    EXPECT_EQ(b->length, 8);
}

TEST_F(Transport, SequencesStartPatternsAtTheirTicks) {
    host::HostMachine* placed = place("g");
    host::HostPattern* p = host.createPattern(*placed, "P", 4);
    host::HostPattern* q = host.createPattern(*placed, "Q", 4);
    host.addSequence(*placed);
    host::HostSequence* second = host.addSequence(*placed);
    second->place(0, p);
    second->place(4, q);
    second->place(8, p);
    second->place(11, nullptr);
    SongProbe& g = probe(placed);
    g.calls.clear();
    host.play(0);
    host.render(12 * 5250 + 100);
    host.stop();
    const auto& calls = g.calls;
    ASSERT_EQ(calls.size(), 5u);
    const std::pair<std::string, int64_t> expected[] = {
        {"playP@1", 0}, {"playQ@1", 21000}, {"playP@1", 42000}, {"play@1", 57750}, {"stop", 63100}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(calls[i].what + calls[i].name, expected[i].first);
        EXPECT_EQ(calls[i].frame, expected[i].second);
    }
    ASSERT_EQ(g.ticks.size(), 13u);
    for (size_t k = 0; k < g.ticks.size(); ++k)
        EXPECT_EQ(g.ticks[k], static_cast<int64_t>(5250 * k));
    for (int block : g.blocks)
        EXPECT_LE(block, 256);
    EXPECT_EQ(host.sequenceRank(second->handle()), 1);
    EXPECT_EQ(host.sequenceRank(nullptr), -1);
}

TEST_F(Transport, PlayingFromTheMiddleJoinsPatternsAtTheirOffset) {
    host::HostMachine* placed = place("g");
    host::HostPattern* p = host.createPattern(*placed, "P", 8);
    host::HostSequence* sequence = host.addSequence(*placed);
    sequence->place(2, p);
    sequence->place(20, p);
    SongProbe& g = probe(placed);
    g.calls.clear();
    host.play(7);
    host.render(100);
    host.play(12); // past P's end: nothing joins
    host.render(100);
    ASSERT_EQ(g.calls.size(), 1u);
    EXPECT_EQ(g.calls[0].what + g.calls[0].name, "playP@0");
    EXPECT_EQ(g.calls[0].value, 5);
}

TEST_F(Transport, TicksKeepTimeWithFractionalSamplesPerTick) {
    host.setTiming(44100, 127, 4);
    host::HostMachine* placed = place("g");
    host.play(0);
    host.render(400 * 5209);
    const auto& ticks = probe(placed).ticks;
    ASSERT_GE(ticks.size(), 400u);
    const double samplesPerTick = static_cast<double>(2646000.0f / 508.0f);
    for (size_t k = 0; k < ticks.size(); ++k)
        ASSERT_NEAR(static_cast<double>(ticks[k]), std::ceil(k * samplesPerTick), 1.0) << k;
}

TEST_F(Transport, StoppedMachinesStillRenderAndOrderIsConfigurable) {
    host::HostMachine* first = place("a");
    host::HostMachine* second = place("b");
    host.renderOrder = {second, first};
    host.render(300);
    ASSERT_EQ(SongProbe::order.size(), 4u);
    EXPECT_EQ(SongProbe::order[0], &probe(second));
    EXPECT_EQ(SongProbe::order[1], &probe(first));
    EXPECT_EQ(probe(first).blocks, (std::vector<int>{256, 44}));
    EXPECT_TRUE(probe(first).ticks.empty());
}

TEST_F(Transport, EffectsGetTheirFeedInPlaceAndStayOutOfTheMix) {
    host::HostMachine* effect = host.createMachine(
        effectInfo, [] { return static_cast<CMachineInterface*>(new EffectProbe); }, "fx");
    auto& probed = *static_cast<EffectProbe*>(effect->machine);
    host.render(10);
    host.effectInput = [&](host::HostMachine& machine, float* input, int frames) {
        EXPECT_EQ(&machine, effect);
        std::fill(input, input + 2 * frames, 0.25f);
    };
    host.render(10);
    EXPECT_EQ(probed.modes, (std::vector<int>{2, 3}));
    EXPECT_EQ(probed.firstInput, (std::vector<float>{0.0f, 0.25f}));
    EXPECT_EQ(host.masterOutput, std::vector<float>(40, 0.0f));
}

TEST_F(Transport, TheMasterMixIsWrittenAsFloatWav) {
    host::HostMachine* a = place("a");
    host::HostMachine* b = place("b");
    probe(a).level = 8192.0f;
    probe(b).level = 8192.0f;
    place("silent");
    host.render(3);
    ASSERT_EQ(host.masterOutput, std::vector<float>(6, 16384.0f));
    const std::string path = ::testing::TempDir() + "master.wav";
    std::string error;
    ASSERT_TRUE(host.writeMasterWav(path, error)) << error;
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 58u + 24u);
    auto u32 = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    auto u16 = [&](size_t at) {
        uint16_t v;
        std::memcpy(&v, bytes.data() + at, 2);
        return v;
    };
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(u32(4), 74u);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32(16), 18u);
    EXPECT_EQ(u16(20), 3u); // IEEE float
    EXPECT_EQ(u16(22), 2u);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 44100u * 8);
    EXPECT_EQ(u16(32), 8u);
    EXPECT_EQ(u16(34), 32u);
    EXPECT_EQ(u16(36), 0u);
    EXPECT_EQ(bytes.substr(38, 4), "fact");
    EXPECT_EQ(u32(42), 4u);
    EXPECT_EQ(u32(46), 3u);
    EXPECT_EQ(bytes.substr(50, 4), "data");
    EXPECT_EQ(u32(54), 24u);
    for (size_t i = 0; i < 6; ++i) {
        float v;
        std::memcpy(&v, bytes.data() + 58 + 4 * i, 4);
        EXPECT_EQ(v, 0.5f);
    }
    std::remove(path.c_str());
    EXPECT_FALSE(host.writeMasterWav("/nonexistent-folder/x.wav", error));
    EXPECT_NE(error.find("/nonexistent-folder/x.wav"), std::string::npos);
}

TEST_F(Transport, AStreamedWavHoldsWhatTheCollectedMixWouldAndNothingIsKept) {
    probe(place("a")).level = 8192.0f;
    auto readFile = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    };
    const std::string streamed = ::testing::TempDir() + "streamed.wav";
    const std::string collected = ::testing::TempDir() + "collected.wav";
    std::string error;
    host::MasterWavFile wav;
    ASSERT_TRUE(wav.open(streamed, 44100, error)) << error;
    host.masterSink = &wav;
    host.render(3);
    host.render(700); // several blocks
    host.masterSink = nullptr;
    EXPECT_TRUE(host.masterOutput.empty());
    EXPECT_EQ(wav.frames(), 703u);
    ASSERT_TRUE(wav.finish(error)) << error;

    host.render(703);
    ASSERT_TRUE(host.writeMasterWav(collected, error)) << error;
    EXPECT_EQ(readFile(streamed), readFile(collected));
    std::remove(streamed.c_str());
    std::remove(collected.c_str());
}

} // namespace
