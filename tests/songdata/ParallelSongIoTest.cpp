// Songs load and save on several threads: what comes out must be what one
// thread makes (the same bytes, the same samples, the same messages in the
// same order), damaged takes included, and no thread may read a take while
// the audio thread records into it (ThreadSanitizer watches).
#include <random>

#include "generator/wavestore/TakeRecord.h"
#include "generator/wavestore/WorkCrew.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/HostAudioThread.h"

namespace {

using spoolex::Take;
using spoolex::WorkCrew;

// More threads than this machine may have, so the work is really shared.
constexpr int manyHelpers = 3;

// Takes of this many frames of noise have streams of about a megabyte:
// long enough to be decoded in pieces.
constexpr size_t longFrames = 150000;

std::vector<float> noise(size_t frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-20000.0f, 20000.0f);
    std::vector<float> samples(2 * frames);
    for (float& s : samples)
        s = value(random);
    return samples;
}

std::vector<uint8_t> streamOf(const std::vector<float>& samples) {
    std::vector<uint8_t> stream;
    EXPECT_TRUE(
        spoolex::encodeTakeStream(spoolex::Samples(samples.begin(), samples.end()), 44100, stream));
    return stream;
}

// Song data of one pattern "A" holding the given take records.
std::vector<uint8_t> songWith(const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> data{4, 4, 0, 0};
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    u32(4);
    u32(4);
    u32(1);
    u32(1); // patterns
    data.insert(data.end(), {'A', 0});
    u32(16);
    u32(static_cast<uint32_t>(records.size()));
    for (const auto& record : records)
        data.insert(data.end(), record.begin(), record.end());
    u32(0); // active-take entries
    return data;
}

std::vector<uint8_t> recordOf(const std::vector<uint8_t>& stream) {
    const auto n = static_cast<uint32_t>(stream.size());
    std::vector<uint8_t> record{1, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                                static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
    record.insert(record.end(), stream.begin(), stream.end());
    return record;
}

class ParallelSongIo : public GeneratorTest {
protected:
    void TearDown() override {
        WorkCrew::setHelperThreads(-1);
        GeneratorTest::TearDown();
    }

    // A machine whose pattern "A" holds takes of the given lengths (0:
    // empty), the same each time it is made. One pattern: machines save
    // their patterns in the order of the host's handles, which differs.
    host::HostMachine* machineWith(const std::vector<size_t>& takeFrames) {
        host::HostMachine* placed = placeGenerator("Made" + std::to_string(made++));
        spoolex::mi& machine = generatorOf(placed);
        spoolex::Pattern& pattern =
            *machine.findPattern(host.createPattern(*placed, "A", 16)->handle());
        for (size_t i = 0; i < takeFrames.size(); ++i) {
            auto hold = machine.lockAudio();
            Take& take = pattern.addTake();
            {
                const std::vector<float> made = noise(takeFrames[i], static_cast<unsigned>(i + 1));
                take.changeSamples().assign(made.begin(), made.end());
            }
            take.sampleRate = i % 2 ? 48000 : 44100;
            pattern.assignTake(static_cast<double>(i % 3), 16, &take);
            pattern.tidyActiveTakes();
        }
        return placed;
    }

    // Loads data as the host does, on helpers threads and one more.
    host::HostMachine* load(const std::vector<uint8_t>& data, int helpers,
                            const std::vector<std::string>& patternNames) {
        WorkCrew::setHelperThreads(helpers);
        host.messages.clear();
        host::HostMachine* placed = host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); },
            "Loaded" + std::to_string(made++), &data);
        for (const std::string& name : patternNames)
            host.createPattern(*placed, name, 16);
        return placed;
    }

    std::vector<uint8_t> save(host::HostMachine* placed, int helpers) {
        WorkCrew::setHelperThreads(helpers);
        return host.saveSongData(*placed);
    }

    std::vector<spoolex::Samples> samplesOf(host::HostMachine* placed) {
        std::vector<spoolex::Samples> all;
        spoolex::mi& machine = generatorOf(placed);
        for (host::HostPattern* pattern : host.patternsInOrder())
            if (spoolex::Pattern* p = machine.findPattern(pattern->handle()))
                for (const auto& take : p->takes)
                    all.push_back(take->samples());
        return all;
    }

    int made = 0;
};

TEST_F(ParallelSongIo, SongsOfNoneOneAndManyTakesSaveAndLoadAsOnOneThread) {
    const std::vector<std::vector<size_t>> songs = {
        {}, {longFrames}, {longFrames, 0, 3000, 1, longFrames / 2, 70000, 2 * longFrames, 5000}};
    for (const std::vector<size_t>& takes : songs) {
        SCOPED_TRACE(std::to_string(takes.size()) + " takes");
        const std::vector<uint8_t> one = save(machineWith(takes), 0);
        host::HostMachine* fresh = machineWith(takes);
        EXPECT_EQ(save(fresh, manyHelpers), one);
        // Saved again unchanged, from the streams it keeps.
        EXPECT_EQ(save(fresh, manyHelpers), one);

        host::HostMachine* loadedOne = load(one, 0, {"A"});
        host::HostMachine* loadedMany = load(one, manyHelpers, {"A"});
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(samplesOf(loadedMany), samplesOf(loadedOne));
        EXPECT_EQ(save(loadedMany, 0), one);
        EXPECT_EQ(save(loadedOne, manyHelpers), one);
    }
}

TEST_F(ParallelSongIo, DamagedTakesLoadAndAreReportedInOrderAsOnOneThread) {
    const std::vector<uint8_t> good = streamOf(noise(longFrames, 1));
    std::vector<uint8_t> brokenInside = streamOf(noise(longFrames, 2));
    brokenInside[brokenInside.size() / 2] ^= 0x55;
    std::vector<uint8_t> brokenStart = streamOf(noise(longFrames, 3));
    brokenStart[200] ^= 0x55;
    std::vector<uint8_t> cutShort = streamOf(noise(longFrames, 4));
    cutShort.resize(cutShort.size() - 1000);
    std::vector<uint8_t> brokenEnd = streamOf(noise(longFrames, 5));
    brokenEnd[brokenEnd.size() - 300] ^= 0x55;
    const std::vector<uint8_t> song =
        songWith({recordOf(good),
                  recordOf(brokenInside),
                  recordOf({}),
                  recordOf(brokenStart),
                  recordOf(streamOf(noise(100, 6))),
                  recordOf(cutShort),
                  recordOf(brokenEnd),
                  {2}}); // an unknown format, last: it consumes no more

    host::HostMachine* loadedOne = load(song, 0, {"A"});
    const std::vector<std::string> oneThread = host.messages;
    host::HostMachine* loadedMany = load(song, manyHelpers, {"A"});
    EXPECT_EQ(host.messages, oneThread);
    ASSERT_EQ(oneThread.size(), 6u);
    EXPECT_NE(oneThread[1].find("WavpackOpenFileInputEx error"), std::string::npos);
    EXPECT_EQ(oneThread.back(), "Unrecognised data format");
    EXPECT_EQ(samplesOf(loadedMany), samplesOf(loadedOne));
    // Damaged takes are written anew from what was restored; sound ones as
    // they came.
    const std::vector<uint8_t> savedOne = save(loadedOne, 0);
    EXPECT_EQ(save(loadedMany, manyHelpers), savedOne);
    EXPECT_NE(savedOne, song);
}

// The audio thread records takes and plays the others while the song is
// saved and loaded again and again on several threads.
TEST_F(ParallelSongIo, SavingWhileRecordingReadsNoTakeTheAudioThreadWrites) {
    host::HostMachine* placed = machineWith({longFrames, 20000, 0});
    spoolex::mi& machine = generatorOf(placed);
    InputMachine::Fields* input = registerInput("Mic");
    input->blockFrames = 256;
    for (int i = 0; i < 512; ++i)
        input->blockBuffer[i] = static_cast<float>(i);
    input->punchState = 1;
    machine.chooseRecordSource(input);
    machine.setArmed(true);
    host.stateFlags = HostStateRecording;
    host::HostSequence* sequence = host.addSequence(*placed);
    host::HostPattern* recorded = host.createPattern(*placed, "Rec", 4);

    HostAudioThread audio(*placed, 256, [&](int block) {
        // A few recordings, one after another.
        if (block > 0 && block % 64 == 0 && block <= 64 * 8)
            placed->extension->onPatternPlay(recorded->handle(), sequence->handle(), 0);
    });
    for (int round = 0; round < 4; ++round) {
        const std::vector<uint8_t> saved = save(placed, manyHelpers);
        host::HostMachine* loaded = load(saved, manyHelpers, {});
        EXPECT_TRUE(host.messages.empty());
        host.destroyMachine(loaded);
    }
    audio.stop();
}

} // namespace
