#include <cmath>
#include <memory>

#include "generator/model/TimeUnits.h"
#include "tests/core/PlaybackFixture.h"
#include "tests/support/Freed.h"

namespace {

using spoolex::Pattern;
using spoolex::Take;

class Playback : public PlaybackTest {
protected:
    static int firstNonZero(const std::vector<float>& out, int channel, int from) {
        for (size_t i = 2 * static_cast<size_t>(from) + channel; i < out.size(); i += 2)
            if (out[i] != 0.0f)
                return static_cast<int>(i / 2);
        return -1;
    }
    static int firstZero(const std::vector<float>& out, int channel, int from) {
        for (size_t i = 2 * static_cast<size_t>(from) + channel; i < out.size(); i += 2)
            if (out[i] == 0.0f)
                return static_cast<int>(i / 2);
        return -1;
    }

    // A pattern whose whole length plays take made by make.
    template <typename Make> std::pair<host::HostPattern*, Take*> patternWith(Make make) {
        host::HostPattern* hostPattern = createPattern("P" + std::to_string(++patterns), 16);
        Pattern& pattern = patternOf(hostPattern);
        Take& take = make(pattern);
        assign(pattern, 0, 16, &take);
        return {hostPattern, &take};
    }
    // Plays a constant 1000 on both channels over all its 16 ticks.
    std::pair<host::HostPattern*, Take*> loudPattern() {
        return patternWith(
            [](Pattern& p) -> Take& { return constantTake(p, 16 * samplesPerTick, 1000, 1000); });
    }
    int patterns = 0;
};

TEST_F(Playback, SamplesPerTickComesFromTheTimingRecordInSinglePrecision) {
    host.setTiming(44100, 125, 6);
    host.timing().samplesPerTick = 1; // never read
    EXPECT_EQ(spoolex::samplesPerTick(host.timing()), 2646000.0f / 750.0f);
    EXPECT_EQ(spoolex::ticksPerSample(3528.0f), 1.0 / 3528.0);
    EXPECT_EQ(spoolex::framesPerTick(spoolex::rateRatio(22050, 44100), 3528.0f), 1764.0);
}

TEST_F(Playback, ATakeStartsWithAFadeInOfOneCrossfadeLength) {
    auto [pattern, take] = patternWith([](Pattern& p) -> Take& { return staircaseTake(p, 2000); });
    play(pattern);
    std::vector<float> out = render(256);
    float gain = 0.0f;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(out[2 * i], static_cast<float>(i) * gain) << i;
        ASSERT_EQ(out[2 * i + 1], -static_cast<float>(i) * gain) << i;
        gain += 0.01f;
    }
    for (int i = 100; i < 256; ++i)
        ASSERT_EQ(out[2 * i], static_cast<float>(i)) << i;
}

TEST_F(Playback, StartingInTheMiddleReadsFromTheAlignedFrame) {
    auto [pattern, take] =
        patternWith([](Pattern& p) -> Take& { return staircaseTake(p, 16 * samplesPerTick); });
    sequence->place(0, pattern);
    host.play(8);
    host.render(512);
    const int first = 8 * samplesPerTick;
    float gain = 0.0f;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(host.masterOutput[2 * i], static_cast<float>(first + i) * gain) << i;
        gain += 0.01f;
    }
    for (int i = 100; i < 512; ++i)
        ASSERT_EQ(host.masterOutput[2 * i], static_cast<float>(first + i)) << i;
}

TEST_F(Playback, CrossfadeGainsSumToOne) {
    LeftRight x = leftRightPattern("X");
    assign(*x.pattern, 0, 4, x.left);
    assign(*x.pattern, 4, 16, x.right);
    play(x.hostPattern);
    std::vector<float> out = render(5 * samplesPerTick);
    for (int i = 100; i < 5 * samplesPerTick; ++i)
        ASSERT_NEAR(out[2 * i] + out[2 * i + 1], 1000.0f, 1e-3f) << i;
    // Entries begin to within one sample of their tick.
    const int start = firstNonZero(out, 1, 0) - 1;
    EXPECT_NEAR(start, 4 * samplesPerTick, 1);
    for (int k = 0; k < 100; ++k)
        ASSERT_NEAR(out[2 * (start + k) + 1], k * 10.0f, 1e-2f) << k;
    EXPECT_EQ(out[2 * (start + 100)], 0.0f);
    EXPECT_EQ(out[2 * (start + 100) + 1], 1000.0f);
    EXPECT_EQ(machine().takePlayerCount(), 1u);
}

TEST_F(Playback, CrossfadeLengthOne) {
    host.setAttribute(*placed, 0, 1);
    host::HostPattern* hostPattern = createPattern("X", 16);
    Pattern& p = patternOf(hostPattern);
    Take& t = constantTake(p, 16 * samplesPerTick, 1000, 1000);
    assign(p, 0, 4, &t);
    play(hostPattern);
    std::vector<float> out = render(5 * samplesPerTick);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[2], 1000.0f);
    const int silent = firstZero(out, 0, 1);
    EXPECT_NEAR(silent - 1, 4 * samplesPerTick, 1);
    for (int i = 1; i < silent; ++i)
        ASSERT_EQ(out[2 * i], 1000.0f) << i;
    for (size_t i = 2 * static_cast<size_t>(silent); i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    EXPECT_EQ(machine().takePlayerCount(), 0u);
}

TEST_F(Playback, AFadeWhoseStepIsInexactStillTakesEverySample) {
    // A seventh is not exact in f32: 1 / (1/7) comes out just below 7, and
    // a fade must still take seven samples each way.
    host.setAttribute(*placed, 0, 7);
    auto [pattern, take] = loudPattern();
    play(pattern);
    std::vector<float> in = render(256);
    for (int i = 0; i < 7; ++i)
        ASSERT_NEAR(in[2 * i], 1000.0f * i / 7, 0.01f) << i;
    EXPECT_EQ(in[2 * 7], 1000.0f);
    placed->machine->onStop();
    std::vector<float> out = render(256);
    for (int i = 0; i < 7; ++i)
        ASSERT_NEAR(out[2 * i], 1000.0f * (7 - i) / 7, 0.01f) << i;
    EXPECT_EQ(out[2 * 7], 0.0f);
}

TEST_F(Playback, AHalfRateTakeAdvancesHalfAFramePerSample) {
    auto [pattern, take] =
        patternWith([](Pattern& p) -> Take& { return staircaseTake(p, 8000, 22050); });
    play(pattern);
    std::vector<float> out = render(1024);
    for (int i = 100; i < 1024; ++i)
        ASSERT_NEAR(out[2 * i], i * 0.5f, 1e-3f) << i;
    EXPECT_EQ(machine().soundingTakePlayers()[0]->position, 512.0);
}

TEST_F(Playback, ASequenceSwitchesPatternsAndLoopsOne) {
    // Each pattern is longer than its place: the next start cuts it.
    host::HostPattern* a = createPattern("A", 8);
    host::HostPattern* b = createPattern("B", 5);
    Take& t = constantTake(patternOf(a), 8 * samplesPerTick, 1000, 0);
    Take& u = staircaseTake(patternOf(b), 8 * samplesPerTick);
    assign(patternOf(a), 0, 8, &t);
    assign(patternOf(b), 0, 5, &u);
    sequence->place(0, a);
    sequence->place(4, b);
    sequence->place(8, b);
    host.play(0);
    host.render(14 * samplesPerTick);
    const std::vector<float>& out = host.masterOutput;
    const int ab = 4 * samplesPerTick;
    const int loop = 8 * samplesPerTick;
    EXPECT_EQ(out[2 * (ab - 1)], 1000.0f);
    EXPECT_EQ(out[2 * (ab - 1) + 1], 0.0f);
    // Pattern starts crossfade from the block's first sample.
    for (int i = ab + 1; i < ab + 100; ++i) {
        const float k = static_cast<float>(i - ab);
        const float incoming = out[2 * i + 1] / -k;
        ASSERT_NEAR((out[2 * i] - k * incoming) / 1000.0f + incoming, 1.0f, 1e-4f) << i;
    }
    EXPECT_EQ(out[2 * (ab + 200)], 200.0f);
    EXPECT_EQ(out[2 * (ab + 200) + 1], -200.0f);
    // The loop crossfades from where B was to its start.
    EXPECT_EQ(out[2 * (loop - 1) + 1], -static_cast<float>(samplesPerTick * 4 - 1));
    EXPECT_NEAR(out[2 * (loop + 50) + 1], -(4 * samplesPerTick + 50) * 0.5f - 50 * 0.5f, 0.1f);
    EXPECT_EQ(out[2 * (loop + 150) + 1], -150.0f);
    // B ends at tick 13 and nothing follows.
    EXPECT_EQ(out[2 * (13 * samplesPerTick + 150) + 1], 0.0f);
    EXPECT_EQ(out[2 * (13 * samplesPerTick - 150) + 1], -(5 * samplesPerTick - 150.0f));
}

TEST_F(Playback, DeletingAPlayingPatternSilencesItAtOnce) {
    auto [pattern, take] = loudPattern();
    std::weak_ptr<Take> watch = take->shared_from_this();
    play(pattern);
    render(1024);
    host.deletePattern(pattern);
    std::vector<bool> sounding;
    std::vector<float> out = render(256, &sounding);
    EXPECT_EQ(out, std::vector<float>(512, 0.0f));
    EXPECT_FALSE(sounding[0]);
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
    EXPECT_EQ(machine().takePlayerCount(), 0u);
    EXPECT_TRUE(watch.expired());
}

TEST_F(Playback, APreviewStopsAtTheSelectionEnd) {
    auto [pattern, take] = loudPattern();
    machine().togglePreview(&patternOf(pattern), 0, 2);
    std::vector<float> out = render(3 * samplesPerTick);
    const int end = firstZero(out, 0, 1000) - 100;
    EXPECT_NEAR(end, 2 * samplesPerTick, 1);
    EXPECT_EQ(out[2 * (end - 1)], 1000.0f);
    expectFadeOut(out, end);
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
    EXPECT_EQ(machine().takePlayerCount(), 0u);

    // Toggling while it plays stops it with a fade-out from the next block.
    machine().togglePreview(&patternOf(pattern), 0, 0);
    render(512);
    machine().togglePreview(&patternOf(pattern), 0, 0);
    expectFadeOut(render(256), 0);
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
}

TEST_F(Playback, AnEntryAtThePreviewEndStartsAndOneBeyondNever) {
    host::HostPattern* hostPattern = createPattern("X", 16);
    Pattern& p = patternOf(hostPattern);
    Take& t = constantTake(p, 16 * samplesPerTick, 1000, 1000);
    Take& u = constantTake(p, 16 * samplesPerTick, 7, 7);
    assign(p, 2, 3, &t);
    assign(p, 3, 16, &u);
    machine().togglePreview(&p, 0, 2);
    std::vector<float> out = render(3 * samplesPerTick);
    const int start = firstNonZero(out, 0, 0) - 1;
    EXPECT_NEAR(start, 2 * samplesPerTick, 1);
    EXPECT_EQ(out[2 * (start + 1)], 10.0f); // T fading in
    for (float value : out)
        ASSERT_NE(value, 7.0f); // U never starts
    EXPECT_EQ(out.back(), 0.0f);
    EXPECT_EQ(machine().takePlayerCount(), 0u);
}

TEST_F(Playback, AnEditUnderThePlayPositionIsHeardWithinOneBlock) {
    LeftRight x = leftRightPattern("X");
    assign(*x.pattern, 0, 16, x.left);
    play(x.hostPattern);
    render(1024);
    assign(*x.pattern, 0, 16, x.right);
    std::vector<float> out = render(256);
    expectFadeOut(out, 0);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_NEAR(out[2 * 50 + 1], 500.0f, 1e-2f);
    EXPECT_EQ(out[2 * 100 + 1], 1000.0f);
}

TEST_F(Playback, QuietBlocksCountAsSilent) {
    auto [pattern, take] = patternWith(
        [](Pattern& p) -> Take& { return constantTake(p, 16 * samplesPerTick, 0.05f, -0.1f); });
    play(pattern);
    std::vector<bool> sounding;
    std::vector<float> out = render(512, &sounding);
    EXPECT_EQ(out[2 * 300], 0.05f);
    EXPECT_EQ(sounding, (std::vector<bool>{false, false}));
    take->changeSamples()[2 * 1000] = 0.1001f;
    render(1024, &sounding);
    EXPECT_EQ(sounding, (std::vector<bool>{false, false, false, true, false, false}));
    std::vector<float> none;
    EXPECT_FALSE(machine().renderStereo(nullptr, none.data(), 0, 3));
}

TEST_F(Playback, StopFadesEveryTakeOutAfterItsFadeIn) {
    auto [pattern, take] = loudPattern();
    play(pattern);
    render(256);
    machine().onStop();
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
    std::vector<float> out = render(256);
    EXPECT_EQ(out[0], 1000.0f);
    EXPECT_NEAR(out[2 * 99], 10.0f, 1e-2f);
    EXPECT_EQ(out[2 * 100], 0.0f);
    EXPECT_EQ(machine().takePlayerCount(), 0u);

    // Stopped during its fade-in, a take first reaches full gain.
    play(pattern);
    render(256);
    play(pattern, 1);
    std::vector<float> joined(512);
    machine().renderStereo(nullptr, joined.data(), 50, 3);
    machine().onStop();
    machine().renderStereo(nullptr, joined.data() + 100, 200, 3);
    EXPECT_NEAR(joined[2 * 99], 1000.0f, 1e-2f); // 0.99 + 0.01 new, old at 1
    EXPECT_EQ(machine().takePlayerCount(), 0u);
}

TEST_F(Playback, PlayingAnUnknownPatternOnlyStopsTheSequence) {
    auto [pattern, take] = loudPattern();
    play(pattern);
    render(512);
    play(nullptr);
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
    expectFadeOut(render(256), 0);
}

TEST_F(Playback, ARemovedTakeLivesUntilItsLastPlayerFinishes) {
    auto [pattern, take] = loudPattern();
    std::weak_ptr<Take> watch = take->shared_from_this();
    play(pattern);
    render(256);
    std::shared_ptr<Take> removed;
    {
        auto hold = machine().lockAudio();
        removed = patternOf(pattern).removeTake(*take);
    }
    removed.reset();
    EXPECT_FALSE(watch.expired());
    std::vector<float> out = render(50);
    EXPECT_EQ(out[0], 1000.0f); // still reading valid samples while fading
    EXPECT_FALSE(watch.expired());
    render(256);
    EXPECT_EQ(machine().takePlayerCount(), 0u);
    EXPECT_TRUE(testsupport::freedSoon(watch));
}

TEST_F(Playback, TakePlayersComeFromThePreparedOnesAndReturnToThem) {
    LeftRight x = leftRightPattern("X");
    for (int tick = 0; tick < 16; ++tick) // a new take at every tick
        assign(*x.pattern, tick, tick + 1, tick % 2 ? x.right : x.left);
    const size_t ready = machine().readyTakePlayers();
    ASSERT_GT(ready, 2u);
    play(x.hostPattern);
    for (int tick = 0; tick < 16; ++tick) {
        render(samplesPerTick);
        // One sounding, perhaps one fading: never more taken than that.
        ASSERT_GE(machine().readyTakePlayers() + 2, ready) << tick;
    }
    placed->machine->onStop();
    render(512);
    EXPECT_EQ(machine().takePlayerCount(), 0u);
    EXPECT_EQ(machine().readyTakePlayers(), ready);
}

TEST_F(Playback, TakesOfOtherRatesAndEmptyTakesAreSafe) {
    host::HostPattern* hostPattern = createPattern("X", 16);
    Pattern& p = patternOf(hostPattern);
    Take& empty = p.addTake();
    Take& tiny = staircaseTake(p, 2, 96000);
    assign(p, 0, 1, &empty);
    assign(p, 1, 16, &tiny);
    play(hostPattern);
    std::vector<float> out = render(2 * samplesPerTick);
    for (float value : out)
        ASSERT_TRUE(std::isfinite(value));
    EXPECT_EQ(out[2 * (2 * samplesPerTick - 1)], 0.0f);
}

} // namespace
