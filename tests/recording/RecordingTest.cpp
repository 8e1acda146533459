// Recording into takes, driven block by block as the host would: the input
// machine's fields are set by hand before each block.
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#endif

#include "generator/machine/InputRegistry.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/AllocationProbe.h"
#include "tests/support/Freed.h"

namespace {

constexpr int blockFrames = 256;

class Recording : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        placed = placeGenerator();
        input = registerInput("Mic");
        machine().chooseRecordSource(input);
        machine().setArmed(true);
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
    EXPECT_EQ(take.samples()[0], 0.0f);
    EXPECT_EQ(take.samples()[2 * 255], 255.0f);
    EXPECT_EQ(take.samples()[2 * 255 + 1], -255.0f);

    input->latencySamples = 300;
    next = 0;
    play(pattern, 0); // a new start on the same sequence ends the first take
    ASSERT_EQ(patternA().takes.size(), 2u);
    const spoolex::Take& late = *patternA().takes[1];
    block();
    EXPECT_EQ(late.samples()[0], 0.0f); // not yet
    block();
    // 300 = 256 + 44: the take's first frame is frame 44 of the second block.
    EXPECT_EQ(late.samples()[0], 256.0f + 44.0f);
    EXPECT_EQ(late.samples()[2 * 211], 511.0f);
}

TEST_F(Recording, AStartBetweenWholeSamplesLandsOnTheSinglePrecisionFrame) {
    // 110 bpm: 6013.636... samples per tick; tick 11 begins at frame 66150,
    // which a product in double precision of the f32 value misses by one.
    host.setTiming(44100, 110, 4);
    play(pattern, 11);
    const spoolex::Take& take = *patternA().takes[0];
    EXPECT_EQ(take.frameCount(), 96218u); // trunc(16 x 6013.636f) in f32
    block();
    EXPECT_EQ(machine().runningRecording().writePosition, 66150 + blockFrames);
    EXPECT_EQ(take.samples()[2 * 66150 + 2], 1.0f); // input frame 1
    EXPECT_EQ(take.samples()[2 * (66150 + 255)], 255.0f);
}

TEST_F(Recording, APlayOffsetBeforeThePatternDropsTheInputBeforeTheTake) {
    play(pattern, -1);           // the take starts 5250 input frames from now
    for (int i = 0; i < 21; ++i) // 5376 frames
        block(true);
    spoolex::Pattern& a = patternA();
    const spoolex::Take& take = *a.takes[0];
    EXPECT_EQ(take.samples()[0], 5250.0f);
    EXPECT_EQ(take.samples()[2 * 125], 5375.0f);
    EXPECT_EQ(take.samples()[2 * 126], 0.0f);
    // Only what landed in the take is punched in.
    ASSERT_EQ(a.activeTakes.size(), 2u);
    EXPECT_EQ(a.activeTakes[0].take, &take);
    EXPECT_DOUBLE_EQ(a.activeTakes[1].startTick, 126.0 / 5250.0);
}

TEST_F(Recording, AStopQueuedBehindALateStartEndsItWhenItBegins) {
    input->latencySamples = 1000;
    play(pattern, 0);
    placed->machine->onStop();
    for (int i = 0; i < 4; ++i) // the stop waits behind the start, then both act
        block();
    EXPECT_FALSE(machine().runningRecording().recording());
    EXPECT_EQ(machine().queuedRecordCommands(), 0u);
    EXPECT_EQ(patternA().takes[0]->samples()[0], 0.0f); // nothing recorded
}

TEST_F(Recording, TheSongHearsOfAFinishedRecordingWithTheMachineUnlocked) {
    // A host may guard its song with a lock of its own: ours must be free
    // whenever we call it, or the two could be taken in opposite orders.
    std::vector<std::thread> probes;
    std::vector<bool> lockWasFree;
    host.songModifiedHook = [&] {
        auto taken = std::make_shared<std::atomic<bool>>(false);
        probes.emplace_back([this, taken] {
            auto hold = machine().lockAudio();
            *taken = true;
        });
        for (int i = 0; i < 200 && !*taken; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        lockWasFree.push_back(*taken);
    };
    host.songModified = false;
    play(pattern, 0);
    block();
    placed->machine->onStop();
    block();
    host.songModifiedHook = nullptr;
    for (std::thread& probe : probes)
        probe.join();
    EXPECT_EQ(lockWasFree, std::vector<bool>{true});
}

TEST_F(Recording, PunchedInStretchesBecomeTheActiveTakeAndSilenceTheMachine) {
    // Something already plays in the pattern: its sound must stop while
    // the input is punched in.
    spoolex::Pattern& a = patternA();
    {
        auto hold = machine().lockAudio();
        spoolex::Take& old = a.addTake();
        old.changeSamples().assign(2 * 100000, 5000.0f);
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
    EXPECT_EQ(a.takes[0]->samples()[2 * 50000], 50000.0f);
}

TEST_F(Recording, ARecordingPastThePatternsEndStopsWhenTheTakeIsFull) {
    host::HostPattern* shortPattern = host.createPattern(*placed, "Short", 1); // 5250 frames
    host.songModified = false; // choosing the source in the fixture set it
    play(shortPattern, 0);
    spoolex::Pattern& s = *machine().findPattern(shortPattern->handle());
    block(true);
    EXPECT_FALSE(host.songModified); // only a finished recording changes the song
    for (int i = 1; i < 30; ++i)
        block(true);
    const spoolex::Take& take = *s.takes[0];
    EXPECT_EQ(take.frameCount(), 5250u);
    EXPECT_EQ(take.samples()[2 * 5249], 5249.0f);
    EXPECT_FALSE(machine().runningRecording().recording());
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
    EXPECT_EQ(machine().runningRecording().pattern, &patternA());
    spoolex::Pattern& patternB = *machine().findPattern(b->handle());
    // The loser's take stays, silent and off the timeline.
    ASSERT_EQ(patternB.takes.size(), 1u);
    EXPECT_EQ(patternB.activeTakes.size(), 1u);
    EXPECT_EQ(patternB.activeTakes[0].take, nullptr);

    // Started the other way round, the second command replaces the first.
    play(b, 0, second);
    play(pattern, 4);
    block();
    EXPECT_EQ(machine().runningRecording().pattern, &patternA());
    EXPECT_EQ(machine().runningRecording().writePosition, 4 * 5250 + blockFrames);
}

TEST_F(Recording, StoppingEndsTheRecordingAndDisarms) {
    play(pattern, 0);
    block();
    placed->machine->onStop();
    EXPECT_FALSE(machine().isArmed());
    block();
    EXPECT_FALSE(machine().runningRecording().recording());
    // Disarmed: the next start records nothing.
    play(pattern, 0);
    EXPECT_EQ(patternA().takes.size(), 1u);
}

TEST_F(Recording, NothingRecordsUnlessTheHostRecordsAndTheMachineIsArmed) {
    host.stateFlags = 0;
    play(pattern, 0);
    machine().setArmed(false);
    host.stateFlags = HostStateRecording;
    play(pattern, 0);
    EXPECT_TRUE(patternA().takes.empty());
}

TEST_F(Recording, DeletingThePatternBeingRecordedEndsTheRecording) {
    play(pattern, 0);
    block();
    host.deletePattern(pattern);
    EXPECT_FALSE(machine().runningRecording().recording());
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
    spoolex::Pattern* waiting = generatorOf(copy).awaitingPattern("A");
    ASSERT_NE(waiting, nullptr);
    EXPECT_EQ(waiting->takes[0]->samples()[2 * 1000], 1000.0f);
}

TEST_F(Recording, ATakeWhoseStartIsQueuedCountsAsBeingRecorded) {
    // Saving and copying read such a take in short holds of the lock: the
    // next block may begin writing it.
    input->latencySamples = 1000;
    play(pattern, 0);
    const spoolex::Take& take = *patternA().takes[0];
    EXPECT_TRUE(machine().isRecordingInto(take));
    block(); // latency pending
    EXPECT_TRUE(machine().isRecordingInto(take));
    placed->machine->onStop(); // takes effect once the start has
    for (int i = 0; i < 4; ++i)
        block();
    EXPECT_FALSE(machine().isRecordingInto(take));
}

TEST_F(Recording, UnregisteringTheSourceOfTwoGeneratorsLeavesBothWithout) {
    host::HostMachine* other = placeGenerator("Other");
    generatorOf(other).chooseRecordSource(input);
    spoolex::unregisterInput(input);
    EXPECT_EQ(machine().recordSource(), nullptr);
    EXPECT_EQ(generatorOf(other).recordSource(), nullptr);
    play(pattern, 0); // no source: nothing records
    EXPECT_TRUE(patternA().takes.empty());
}

} // namespace

namespace {

TEST_F(Recording, TheEditorObjectChoosesTheSourceAndArms) {
    PatternEditor& editor = *editorViewOf(machine());
    editor.onRecordSourceChosen(0);
    EXPECT_EQ(machine().recordSource(), nullptr);
    editor.onRecordSourceChosen(1);
    EXPECT_EQ(machine().recordSource(), input);
    editor.onRecordSourceChosen(7); // past the list: the choice stays
    EXPECT_EQ(machine().recordSource(), input);
    editor.onArmClicked();
    EXPECT_FALSE(machine().isArmed());
    editor.onArmClicked();
    EXPECT_TRUE(machine().isArmed());
}

// A take the user deletes while it sounds lives on in its fading player.
// When the player lets go of it, the audio thread only hands it on: its
// buffer (a minute from the heap here, a gigabyte in a long session) is
// freed off the audio thread, soon after.
TEST_F(Recording, ATakeDeletedWhileItSoundsIsFreedOffTheAudioThread) {
    host.stateFlags = 0; // playing, not recording
    std::weak_ptr<spoolex::Take> watch;
    {
        auto hold = machine().lockAudio();
        spoolex::Take& take = patternA().addTake();
        take.changeSamples().assign(size_t{2} * 44100 * 60, 0.5f);
        patternA().assignTake(0, 16, &take);
        patternA().tidyActiveTakes();
        watch = take.shared_from_this();
    }
    play(pattern, 0);
    block();
    std::shared_ptr<spoolex::Take> removed;
    {
        auto hold = machine().lockAudio();
        removed = patternA().removeTake(*watch.lock());
    }
    removed.reset();
    testsupport::freesCounted = 0;
    testsupport::countAllocations = true;
    for (int b = 0; b < 8; ++b)
        block();
    testsupport::countAllocations = false;
    EXPECT_EQ(machine().takePlayerCount(), 0u);
    EXPECT_EQ(testsupport::freesCounted, 0u);
    EXPECT_TRUE(testsupport::freedSoon(watch));
}

#if defined(__linux__)

long minorFaultsOfThisThread() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

// The host calls slot 15 on its audio thread: a recording of an hour starts
// there without one allocation, and without touching the take's pages (an
// hour is some 300,000 of them). The stretch the recording writes first is
// mapped already, so its blocks take no page fault either (the housekeeper
// then maps on ahead of it).
TEST_F(Recording, AStartOfAnHourAllocatesNothingAndTouchesNoPageOfItsTake) {
    host::HostPattern* hour = host.createPattern(*placed, "Hour", 30240); // 3600 s
    const long faultsBefore = minorFaultsOfThisThread();
    testsupport::allocationsCounted = 0;
    testsupport::countAllocations = true;
    play(hour, 0);
    block();
    testsupport::countAllocations = false;
    const long faults = minorFaultsOfThisThread() - faultsBefore;
    EXPECT_EQ(testsupport::allocationsCounted, 0u);
    EXPECT_LT(faults, 64);
    const long faultsAfterStart = minorFaultsOfThisThread();
    for (int b = 0; b < 100; ++b) // 0.6 s: 50 fresh pages of the take
        block();
    // A sanitizer maps a few pages of its own.
    EXPECT_LT(minorFaultsOfThisThread() - faultsAfterStart, 16);
    spoolex::Pattern& pattern = *machine().findPattern(hour->handle());
    ASSERT_EQ(pattern.takes.size(), 1u);
    const spoolex::Take& take = *pattern.takes[0];
    EXPECT_EQ(take.frameCount(), size_t{30240} * 5250);
    EXPECT_EQ(take.samples()[2 * 255], 255.0f); // the first block landed
    EXPECT_EQ(take.samples().back(), 0.0f);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
size_t addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// In a process whose address space has no room for an hour of audio, a
// start leaves the pattern as it was, plays it all the same, and says so
// once, after the lock (the host may take its own around the message).
TEST_F(Recording, WithoutRoomForTheTakeNothingStartsAndTheUserHearsOnce) {
    EXPECT_EXIT(
        {
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = addressSpaceInUse() + (size_t{256} << 20);
            setrlimit(RLIMIT_AS, &limit);
            // Made armed, under the limit: no buffer could be made ready.
            host::HostPattern* hour = host.createPattern(*placed, "Hour", 30240);
            host.messages.clear();
            play(hour, 0);
            block();
            block();
            const spoolex::Pattern& pattern = *machine().findPattern(hour->handle());
            const bool asBefore = pattern.takes.empty() && machine().queuedRecordCommands() == 0 &&
                                  !machine().runningRecording().recording();
            const bool playing = machine().patternPlayerCount() == 1;
            const bool toldOnce =
                host.messages.size() == 1 &&
                host.messages[0].find("could not start recording") != std::string::npos;
            std::_Exit(asBefore && playing && toldOnce ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

#endif

} // namespace
