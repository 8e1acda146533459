// Copies of recordings on disk, written while the machine records, and
// offered back when the song they were made on loads again. The machine's
// code is linked in, so a test can cut the writer off between its writes
// and look at the takes directly.
#include <filesystem>
#include <mutex>
#include <thread>

#include "generator/editor/PlatformRecoveryStorage.h"
#include "generator/machine/Recovery.h"
#include "generator/machine/RecoveryStorage.h"
#include "generator/wavestore/WavCodec.h"
#include "platform/DurableFiles.h"
#include "tests/core/GeneratorFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int blockFrames = 256;
constexpr int framesPerTick = 5250; // 44100 Hz, 126 bpm, 4 ticks per beat

class RecoveryCopies : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        folder = fs::path(::testing::TempDir()) /
                 ("spoolex-copies-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        savedVariable = platform::environmentVariable("SPOOLEX_RECORDINGS");
        useFolder(folder);
        savedProjectFolder = spoolex::projectFolder();
        spoolex::projectFolder().clear();
        spoolex::installPlatformRecoveryStorage();
        host.setTiming(44100, 126, 4);
        input = registerInput("Mic");
    }

    void TearDown() override {
        host.destroyMachine(placed);
        spoolex::setRecoveryStorage(nullptr);
        platform::setEnvironmentVariable("SPOOLEX_RECORDINGS", savedVariable);
        spoolex::projectFolder() = savedProjectFolder;
        fs::remove_all(folder);
        GeneratorTest::TearDown();
    }

    static void useFolder(const fs::path& path) {
        platform::setEnvironmentVariable("SPOOLEX_RECORDINGS", path.string());
    }

    // A generator made from songData (none: a new one) with its pattern A.
    void load(const std::vector<uint8_t>* songData = nullptr) {
        if (placed)
            host.destroyMachine(placed);
        placed = host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex", songData);
        pattern = host.createPattern(*placed, "A", 16);
        sequence = host.addSequence(*placed);
    }

    spoolex::mi& machine() { return generatorOf(placed); }
    spoolex::Pattern& patternA() { return *machine().findPattern(pattern->handle()); }

    // Arms through the menu, as a user does, and starts the pattern at tick.
    void startRecording(int tick) {
        machine().chooseRecordSource(input);
        machine().toggleArmed();
        host.stateFlags = HostStateRecording;
        placed->extension->onPatternPlay(pattern->handle(), sequence->handle(), tick);
    }

    // One block of input whose frame f carries left = next + f, right = -(next + f).
    void block(bool punchedIn) {
        input->blockFrames = blockFrames;
        input->punchState = punchedIn ? 1 : 0;
        for (int f = 0; f < blockFrames; ++f) {
            input->blockBuffer[2 * f] = static_cast<float>(next + f + 1);
            input->blockBuffer[2 * f + 1] = -static_cast<float>(next + f + 1);
        }
        next += blockFrames;
        placed->machine->renderStereo(nullptr, output, blockFrames, 0);
    }

    std::vector<spoolex::StoredRecording> storedIn(const fs::path& path) {
        useFolder(path);
        auto found = spoolex::findStoredRecordings(*spoolex::recoveryStorage());
        useFolder(folder);
        return found;
    }

    std::vector<platform::testing::ShownMessage> questions() const {
        std::vector<platform::testing::ShownMessage> asked;
        for (const auto& message : shownMessages())
            if (message.buttons == platform::MessageButtons::YesNo)
                asked.push_back(message);
        return asked;
    }

    fs::path folder;
    std::string savedVariable, savedProjectFolder;
    host::HostMachine* placed = nullptr;
    host::HostPattern* pattern = nullptr;
    host::HostSequence* sequence = nullptr;
    InputMachine::Fields* input = nullptr;
    int next = 0;
    float output[2 * blockFrames] = {};
};

// The files as a kill would leave them: taken between the writer's write of
// frames and its update of the header.
std::mutex cutsLock;
std::vector<fs::path> cuts;
fs::path cutsFolder;

void keepCut(const std::string& audioPath) {
    std::lock_guard<std::mutex> hold(cutsLock);
    fs::path cut = cutsFolder / std::to_string(cuts.size());
    fs::create_directories(cut);
    fs::path audio(audioPath);
    fs::path notes = fs::path(audioPath).replace_extension(".txt");
    fs::copy_file(notes, cut / notes.filename());
    fs::copy_file(audio, cut / audio.filename());
    cuts.push_back(cut);
}

uint32_t headerDataSize(const fs::path& audio) {
    std::FILE* file = std::fopen(audio.string().c_str(), "rb");
    uint8_t size[4] = {};
    std::fseek(file, 40, SEEK_SET);
    EXPECT_EQ(std::fread(size, 1, 4, file), 4u);
    std::fclose(file);
    return size[0] | size[1] << 8 | size[2] << 16 | static_cast<uint32_t>(size[3]) << 24;
}

TEST_F(RecoveryCopies, AKillAnywhereLeavesTheTakeExactAsFarAsWrittenAndSilenceAfter) {
    load();
    startRecording(2); // the take's frames before tick 2 stay silent
    cutsFolder = folder / "cuts";
    cuts.clear();
    spoolex::RecoveryWriter::betweenWrites = keepCut;
    for (int i = 0; i < 200; ++i) {
        block(i >= 40 && i < 120);
        if (i % 30 == 29)
            machine().recoveryCopies()->flush();
    }
    machine().recoveryCopies()->flush();
    spoolex::RecoveryWriter::betweenWrites = nullptr;

    const spoolex::Samples take = machine().copyRecordingSamples(*patternA().takes.at(0));
    ASSERT_GE(cuts.size(), 6u);
    for (const fs::path& cut : cuts) {
        auto stored = storedIn(cut);
        ASSERT_EQ(stored.size(), 1u) << cut;
        const spoolex::StoredRecording& copy = stored[0];
        // Killed before the header counted the last frames written.
        EXPECT_LT(headerDataSize(copy.audioPath), 8 * copy.framesInFile) << cut;
        EXPECT_EQ(copy.notes.pattern, "A");
        EXPECT_EQ(copy.notes.startTick, 2.0);
        EXPECT_EQ(copy.notes.takeFrames, 16 * framesPerTick);
        spoolex::Samples recovered;
        std::string error;
        ASSERT_TRUE(spoolex::readRecordingCopy(copy, recovered, error)) << error;
        ASSERT_EQ(recovered.size(), take.size());
        const auto written = static_cast<size_t>(copy.framesInFile);
        ASSERT_GT(written, 2u * framesPerTick);
        for (size_t i = 0; i < 2 * written; ++i)
            ASSERT_EQ(recovered[i], take[i]) << cut << " value " << i;
        for (size_t i = 2 * written; i < recovered.size(); ++i)
            ASSERT_EQ(recovered[i], 0.0f) << cut << " value " << i;
    }

    // The copy as the writer leaves it: every frame recorded so far, and the
    // stretch where the take became active.
    auto stored = storedIn(folder);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].framesInFile, 2 * framesPerTick + 200 * blockFrames);
    EXPECT_EQ(headerDataSize(stored[0].audioPath), 8 * stored[0].framesInFile);
    const double tick = 1.0 / framesPerTick;
    ASSERT_EQ(stored[0].notes.active.size(), 1u);
    EXPECT_DOUBLE_EQ(stored[0].notes.active[0].first, 2.0 + 40 * blockFrames * tick);
    EXPECT_DOUBLE_EQ(stored[0].notes.active[0].second, 2.0 + 120 * blockFrames * tick);
}

TEST_F(RecoveryCopies, UnsavedRecordingsAreOfferedWhenTheirSongLoadsUntilSaved) {
    load();
    const std::vector<uint8_t> before = host.saveSongData(*placed);
    startRecording(0);
    for (int i = 0; i < 100; ++i)
        block(i < 50);
    const spoolex::Samples recorded = machine().copyRecordingSamples(*patternA().takes.at(0));
    const std::vector<spoolex::ActiveTakeEntry> heard = patternA().activeTakes;
    // Gone without a save, as in a crash.
    platform::testing::ScriptedUi::instance().answerNextMessage(platform::MessageAnswer::No);
    load(&before);
    ASSERT_EQ(questions().size(), 1u);
    const std::string question = questions()[0].text;
    EXPECT_NE(question.find("\"A\" from tick 0, 0.6 seconds, recorded "), std::string::npos)
        << question;
    EXPECT_NE(question.find("Add them to their patterns as new takes?"), std::string::npos);
    EXPECT_TRUE(patternA().takes.empty()); // not a take before the user says Yes

    // No: nothing changes, and the song offers it again next time.
    host.songModified = false;
    platform::testing::ScriptedUi::instance().clear();
    platform::testing::ScriptedUi::instance().answerNextMessage(platform::MessageAnswer::No);
    load(&before);
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_TRUE(patternA().takes.empty());
    EXPECT_FALSE(host.songModified);

    platform::testing::ScriptedUi::instance().clear();
    platform::testing::ScriptedUi::instance().answerNextMessage(platform::MessageAnswer::Yes);
    load(&before);
    ASSERT_EQ(questions().size(), 1u);
    ASSERT_EQ(patternA().takes.size(), 1u);
    EXPECT_EQ(patternA().takes[0]->samples(), recorded);
    ASSERT_EQ(patternA().activeTakes.size(), heard.size());
    for (size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(patternA().activeTakes[i].startTick, heard[i].startTick);
        EXPECT_EQ(patternA().activeTakes[i].take != nullptr, heard[i].take != nullptr);
    }
    EXPECT_TRUE(host.songModified);

    // Saved into the song: neither the old song nor the new one offers it.
    const std::vector<uint8_t> after = host.saveSongData(*placed);
    platform::testing::ScriptedUi::instance().clear();
    load(&before);
    load(&after);
    EXPECT_TRUE(questions().empty());
    ASSERT_EQ(patternA().takes.size(), 1u);

    // A week after it was saved, the copy goes when a machine is made.
    ASSERT_EQ(storedIn(folder).size(), 1u);
    for (const auto& entry : fs::directory_iterator(folder))
        fs::last_write_time(entry.path(),
                            fs::file_time_type::clock::now() - std::chrono::hours(8 * 24));
    load();
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(RecoveryCopies, AFolderThatCannotBeWrittenIsToldOnceAndTheRecordingGoesOn) {
    // A folder inside a plain file can never be made.
    fs::create_directories(folder);
    std::FILE* file = std::fopen((folder / "file").string().c_str(), "wb");
    std::fclose(file);
    const fs::path impossible = folder / "file" / "recordings";
    useFolder(impossible);
    load();
    startRecording(0);
    for (int i = 0; i < 60; ++i) {
        block(true);
        if (i % 20 == 19)
            machine().recoveryCopies()->flush();
    }
    // The writer's own thread may be the one that shows it.
    for (int wait = 0; wait < 200 && shownMessages().empty(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    machine().recoveryCopies()->flush();
    ASSERT_EQ(shownMessages().size(), 1u);
    const std::string text = shownMessages()[0].text;
    EXPECT_NE(text.find("into the pattern \"A\" in the folder \"" + impossible.string() + "\": "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("The recording goes on in memory only."), std::string::npos) << text;
    const spoolex::Samples take = machine().copyRecordingSamples(*patternA().takes.at(0));
    EXPECT_EQ(take[0], 1.0f);
    EXPECT_EQ(take[2 * (60 * blockFrames - 1)], 60.0f * blockFrames);
    useFolder(folder);
}

} // namespace
