// Recording into takes, driven block by block as the host would: the input
// machine's fields are set by hand before each block.
#include "generator/core/InputRegistry.h"
#include "tests/core/GeneratorFixture.h"

namespace {

constexpr int blockFrames = 256;

class Recording : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        placed = placeGenerator();
        input = registerInput("Mic");
        machine().chooseRecordSource(input);
        machine().armed = 1;
        host.stateFlags = HostStateRecording;
        host.setTiming(44100, 126, 4); // 5250 samples per tick
        sequence = host.addSequence(*placed);
        pattern = host.createPattern(*placed, "A", 16);
    }

    spoolex::mi& machine() { return generatorOf(placed); }
    spoolex::Pattern& patternA() { return *machine().findPattern(pattern->handle()); }

    void play(host::HostPattern* which, int offset, host::HostSequence* on = nullptr) {
        placed->extension->onPatternPlay(which->handle(), (on ? on : sequence)->handle(), offset);
    }

    // One block of input whose frame f carries left = next + f, right = -(next + f).
    void block(bool punchedIn = true) {
        input->blockFrames = blockFrames;
        input->punchState = punchedIn ? 1 : 0;
        for (int f = 0; f < blockFrames; ++f) {
            input->blockBuffer[2 * f] = static_cast<float>(next + f);
            input->blockBuffer[2 * f + 1] = -static_cast<float>(next + f);
        }
        next += blockFrames;
        placed->machine->renderStereo(nullptr, output, blockFrames, 0);
    }

    host::HostMachine* placed = nullptr;
    InputMachine::Fields* input = nullptr;
    host::HostSequence* sequence = nullptr;
    host::HostPattern* pattern = nullptr;
    int next = 0;
    float output[2 * blockFrames] = {};
};

TEST_F(Recording, AStartTakesEffectAfterTheInputsLatency) {
    play(pattern, 0);
    ASSERT_EQ(patternA().takes.size(), 1u);
    const spoolex::Take& take = *patternA().takes[0];
    EXPECT_EQ(take.frameCount(), 16u * 5250u); // sized to the whole pattern
    block();
    EXPECT_EQ(take.samples[0], 0.0f);
    EXPECT_EQ(take.samples[2 * 255], 255.0f);
    EXPECT_EQ(take.samples[2 * 255 + 1], -255.0f);

    input->latencySamples = 300;
    next = 0;
    play(pattern, 0); // a new start on the same sequence ends the first take
    ASSERT_EQ(patternA().takes.size(), 2u);
    const spoolex::Take& late = *patternA().takes[1];
    block();
    EXPECT_EQ(late.samples[0], 0.0f); // not yet
    block();
    // 300 = 256 + 44: the take's first frame is frame 44 of the second block.
    EXPECT_EQ(late.samples[0], 256.0f + 44.0f);
    EXPECT_EQ(late.samples[2 * 211], 511.0f);
}

TEST_F(Recording, PunchedInStretchesBecomeTheActiveTakeAndSilenceTheMachine) {
    // Something already plays in the pattern: its sound must stop while
    // the input is punched in.
    spoolex::Pattern& a = patternA();
    {
        auto hold = machine().lockAudio();
        spoolex::Take& old = a.addTake();
        old.samples.assign(2 * 100000, 5000.0f);
        a.assignTake(0, 16, &old);
        a.tidyActiveTakes();
    }
    play(pattern, 0);
    for (int i = 0; i < 10; ++i)
        block(false);
    EXPECT_NE(output[100], 0.0f); // punched out: the old take sounds
    const spoolex::Take* recorded = a.takes.back().get();
    for (int i = 0; i < 10; ++i)
        block(true);
    for (float v : output)
        ASSERT_EQ(v, 0.0f);
    ASSERT_EQ(a.activeTakes.size(), 4u);
    EXPECT_DOUBLE_EQ(a.activeTakes[1].startTick, 2560.0 / 5250.0);
    EXPECT_EQ(a.activeTakes[1].take, recorded);
    EXPECT_DOUBLE_EQ(a.activeTakes[2].startTick, 5120.0 / 5250.0);
    EXPECT_EQ(a.activeTakes[2].take, a.takes[0].get());
    EXPECT_EQ(a.activeTakes[3].take, nullptr);
}

TEST_F(Recording, PunchedOutAllAlongFillsTheTakeButChangesNoActiveTake) {
    play(pattern, 0);
    for (int i = 0; i < 400; ++i)
        block(false);
    spoolex::Pattern& a = patternA();
    ASSERT_EQ(a.activeTakes.size(), 1u);
    EXPECT_EQ(a.activeTakes[0].take, nullptr);
    EXPECT_EQ(a.takes[0]->samples[2 * 50000], 50000.0f);
}

TEST_F(Recording, ARecordingPastThePatternsEndStopsWhenTheTakeIsFull) {
    host::HostPattern* shortPattern = host.createPattern(*placed, "Short", 1); // 5250 frames
    play(shortPattern, 0);
    spoolex::Pattern& s = *machine().findPattern(shortPattern->handle());
    for (int i = 0; i < 30; ++i)
        block(true);
    const spoolex::Take& take = *s.takes[0];
    EXPECT_EQ(take.frameCount(), 5250u);
    EXPECT_EQ(take.samples[2 * 5249], 5249.0f);
    EXPECT_FALSE(machine().recording.recording());
    ASSERT_EQ(s.activeTakes.size(), 2u);
    EXPECT_EQ(s.activeTakes[0].take, &take);
    EXPECT_DOUBLE_EQ(s.activeTakes[1].startTick, 1.0);
    // Recording ended: the machine sounds again.
    EXPECT_TRUE(host.songModified);
}

TEST_F(Recording, OfTwoSequencesStartingInOneBlockTheLowerRankKeepsRecording) {
    host::HostSequence* second = host.addSequence(*placed); // ranks after the first
    host::HostPattern* b = host.createPattern(*placed, "B", 16);
    play(pattern, 0);
    play(b, 0, second);
    block();
    EXPECT_EQ(machine().recording.pattern, &patternA());
    spoolex::Pattern& patternB = *machine().findPattern(b->handle());
    // The loser's take stays, silent and off the timeline.
    ASSERT_EQ(patternB.takes.size(), 1u);
    EXPECT_EQ(patternB.activeTakes.size(), 1u);
    EXPECT_EQ(patternB.activeTakes[0].take, nullptr);

    // Started the other way round, the second command replaces the first.
    play(b, 0, second);
    play(pattern, 4);
    block();
    EXPECT_EQ(machine().recording.pattern, &patternA());
    EXPECT_EQ(machine().recording.writePosition, 4 * 5250 + blockFrames);
}

TEST_F(Recording, StoppingEndsTheRecordingAndDisarms) {
    play(pattern, 0);
    block();
    placed->machine->onStop();
    EXPECT_EQ(machine().armed, 0);
    block();
    EXPECT_FALSE(machine().recording.recording());
    // Disarmed: the next start records nothing.
    play(pattern, 0);
    EXPECT_EQ(patternA().takes.size(), 1u);
}

TEST_F(Recording, NothingRecordsUnlessTheHostRecordsAndTheMachineIsArmed) {
    host.stateFlags = 0;
    play(pattern, 0);
    machine().armed = 0;
    host.stateFlags = HostStateRecording;
    play(pattern, 0);
    EXPECT_TRUE(patternA().takes.empty());
}

TEST_F(Recording, DeletingThePatternBeingRecordedEndsTheRecording) {
    play(pattern, 0);
    block();
    host.deletePattern(pattern);
    EXPECT_FALSE(machine().recording.recording());
    block(); // must not touch the deleted pattern
}

TEST_F(Recording, SavingWhileRecordingStoresWhatWasRecorded) {
    play(pattern, 0);
    for (int i = 0; i < 4; ++i)
        block();
    std::vector<uint8_t> saved = host.saveSongData(*placed);
    host::HostMachine* copy = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Copy", &saved);
    auto& waiting = generatorOf(copy).patternsAwaitingHost;
    ASSERT_EQ(waiting.count("A"), 1u);
    EXPECT_EQ(waiting["A"]->takes[0]->samples[2 * 1000], 1000.0f);
}

TEST_F(Recording, UnregisteringTheSourceOfTwoGeneratorsLeavesBothWithout) {
    host::HostMachine* other = placeGenerator("Other");
    generatorOf(other).chooseRecordSource(input);
    spoolex::unregisterInput(input);
    EXPECT_EQ(machine().recordSource, nullptr);
    EXPECT_EQ(generatorOf(other).recordSource, nullptr);
    play(pattern, 0); // no source: nothing records
    EXPECT_TRUE(patternA().takes.empty());
}

} // namespace

namespace {

TEST_F(Recording, TheEditorObjectChoosesTheSourceAndArms) {
    PatternEditor& editor = *editorViewOf(machine());
    editor.onRecordSourceChosen(0);
    EXPECT_EQ(machine().recordSource, nullptr);
    editor.onRecordSourceChosen(1);
    EXPECT_EQ(machine().recordSource, input);
    editor.onRecordSourceChosen(7); // past the list: the choice stays
    EXPECT_EQ(machine().recordSource, input);
    editor.onArmClicked();
    EXPECT_EQ(machine().armed, 0);
    editor.onArmClicked();
    EXPECT_EQ(machine().armed, 1);
}

} // namespace
