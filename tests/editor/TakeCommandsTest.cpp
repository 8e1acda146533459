// Set Active, Clear Active and Delete This, with players and a recording
// running on the same pattern; zoom and row height limits.
#include <filesystem>

#include "generator/editor/AudioClipboard.h"
#include "generator/editor/EditorCommandIds.h"
#include "generator/machine/InputRegistry.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/Freed.h"

namespace {

namespace cmd = editorcommand;
using platform::MessageAnswer;

class TakeCommands : public EditorTest {
protected:
    // One block of the machine's output, as the host's audio thread asks.
    std::vector<float> renderBlock(int frames = 50) {
        std::vector<float> out(2 * static_cast<size_t>(frames));
        placed->machine->renderStereo(nullptr, out.data(), frames, 0);
        return out;
    }
    static bool silent(const std::vector<float>& out) {
        for (float v : out)
            if (v != 0.0f)
                return false;
        return true;
    }
};

TEST_F(TakeCommands, SetActiveOnAPlayingStretchIsHeardAtOnce) {
    spoolex::Take& take = addTake(1600);
    for (float& v : take.changeSamples())
        v = 1000.0f;
    host::HostSequence* sequence = host.addSequence(*placed);
    placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);
    EXPECT_TRUE(silent(renderBlock(250))); // ticks 0 .. 2.5: no take active
    press(0, rowY(0));
    release(0, rowY(0));
    selectTicks(2.0, 8.0);
    command(cmd::setActive);
    ASSERT_EQ(pattern().activeTakes.size(), 3u);
    EXPECT_EQ(pattern().activeTakes[1], (spoolex::ActiveTakeEntry{2.0, &take}));
    EXPECT_TRUE(host.songModified);
    // The player found its place again: the take sounds in the next block.
    EXPECT_FALSE(silent(renderBlock()));

    // Cut away the audio under the player: it reads silence, never past the
    // take's new end.
    selectTicks(0.0, 16.0);
    command(cmd::deleteSelection);
    EXPECT_EQ(take.frameCount(), 1u);
    EXPECT_TRUE(silent(renderBlock()));

    view().currentTake = nullptr; // Clear Active needs no take
    selectTicks(0.0, 16.0);
    command(cmd::clearActive);
    for (const spoolex::ActiveTakeEntry& entry : pattern().activeTakes)
        EXPECT_EQ(entry.take, nullptr);
}

TEST_F(TakeCommands, DeleteThisAsksFirst) {
    spoolex::Take& kept = addTake(100);
    addTake(100);
    press(0, rowY(1));
    release(0, rowY(1));
    selectTicks(1.0, 4.0);
    command(cmd::setActive);
    host.songModified = false;
    ui().answerNextMessage(MessageAnswer::No);
    command(cmd::deleteThis);
    ASSERT_EQ(ui().messages().size(), 1u);
    EXPECT_EQ(ui().messages()[0].text, "Are you sure?");
    EXPECT_EQ(ui().messages()[0].icon, platform::MessageIcon::Question);
    EXPECT_EQ(ui().messages()[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_FALSE(ui().messages()[0].hasCaption);
    EXPECT_EQ(ui().messages()[0].owner, viewWindow());
    EXPECT_EQ(pattern().takes.size(), 2u);
    EXPECT_FALSE(host.songModified);

    ui().answerNextMessage(MessageAnswer::Yes);
    command(cmd::deleteThis);
    ASSERT_EQ(pattern().takes.size(), 1u);
    EXPECT_EQ(pattern().takes[0].get(), &kept);
    EXPECT_EQ(view().currentTake, nullptr);
    EXPECT_EQ(pattern().activeTakes.size(), 1u); // the stretch fell silent and merged
    EXPECT_TRUE(host.songModified);
    EXPECT_EQ(view().selStart, 1.0); // the selection stays
    EXPECT_EQ(view().selEnd, 4.0);
}

// A box's loop runs the host's messages: the host may delete the pattern or
// the whole machine (and the editor with it) before the user answers.
TEST_F(TakeCommands, ABoxThatOutlivesItsPatternOrMachineEndsTheCommandCleanly) {
    addTake(100);
    press(0, rowY(0));
    release(0, rowY(0));
    host::HostPattern* other = host.createPattern(*placed, "B", 16);
    ui().whileNextBoxIsUp([&] {
        placed->extension->showPattern(other->handle());
        host.deletePattern(hostPattern);
    });
    host.songModified = false;
    command(cmd::deleteThis); // answered Yes
    EXPECT_FALSE(host.songModified);

    // The external editor's wait box: the edited file has nowhere to go and
    // is dropped as on Cancel.
    placed->extension->showPattern(other->handle());
    spoolex::Pattern& shown = *machine().findPattern(other->handle());
    {
        auto hold = machine().lockAudio();
        shown.addTake().changeSamples().assign(200, 1.0f);
    }
    press(0, rowY(0));
    release(0, rowY(0));
    machine().forgetSettings();
    machine().addWaveEditor({"Any", "/bin/true", "%1", spoolex::WavSampleFormat::Int16});
    ui().chooseMenuItem(100);
    ui().whileNextBoxIsUp([] {}); // the editor menu
    ui().whileNextBoxIsUp([&] { host.deletePattern(other); });
    command(cmd::externalEditor);
    ASSERT_EQ(ui().launches().size(), 1u);
    const std::string parameters = ui().launches()[0].parameters;
    EXPECT_FALSE(std::filesystem::exists(parameters.substr(1, parameters.size() - 2)));

    // The machine goes while "Are you sure?" is up.
    host::HostPattern* last = host.createPattern(*placed, "C", 16);
    placed->extension->showPattern(last->handle());
    {
        auto hold = machine().lockAudio();
        machine().findPattern(last->handle())->addTake().changeSamples().assign(200, 1.0f);
    }
    press(0, rowY(0));
    release(0, rowY(0));
    ui().whileNextBoxIsUp([&] { host.destroyMachine(placed); });
    command(cmd::deleteThis);
    placed = nullptr;
}

TEST_F(TakeCommands, DeletingTheTakeBeingRecordedEndsTheRecordingFirst) {
    InputMachine::Fields* input = registerInput("Mic");
    machine().chooseRecordSource(input);
    machine().setArmed(true);
    host.stateFlags = HostStateRecording;
    host::HostSequence* sequence = host.addSequence(*placed);
    placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);
    input->blockFrames = 64;
    input->punchState = 1;
    for (int i = 0; i < 4 && !machine().runningRecording().take; ++i)
        renderBlock(64);
    ASSERT_EQ(pattern().takes.size(), 1u);
    ASSERT_NE(machine().runningRecording().take, nullptr);
    std::weak_ptr<spoolex::Take> recorded = machine().runningRecording().take;

    press(0, rowY(0));
    release(0, rowY(0));
    selectTicks(0.0, 1.0);
    // A take being written keeps its frames; each edit says why, and Cut
    // leaves the clipboard as it was.
    audioClipboard() = {1.0f, 2.0f};
    ui().clear();
    ui().setEcho(false);
    for (uint16_t edit : {cmd::deleteSelection, cmd::cut, cmd::paste})
        command(edit);
    EXPECT_EQ(recorded.lock()->frameCount(), 1600u);
    EXPECT_EQ(audioClipboard(), (std::vector<float>{1.0f, 2.0f}));
    EXPECT_EQ(ui().messageTexts(),
              std::vector<std::string>(
                  3, "This take is being recorded. It can be changed when the recording stops."));
    command(cmd::deleteThis);
    EXPECT_TRUE(pattern().takes.empty());
    EXPECT_EQ(machine().runningRecording().take, nullptr);
    for (int i = 0; i < 8; ++i) // a player fading the take out lets it go
        renderBlock(64);
    EXPECT_TRUE(testsupport::freedSoon(recorded)); // nobody writes into it any more
}

TEST_F(TakeCommands, PreviewPlayTwiceStopsThePreviewAgain) {
    spoolex::Take& take = addTake(1600);
    for (float& v : take.changeSamples())
        v = 1000.0f;
    press(0, rowY(0));
    release(0, rowY(0));
    selectTicks(0.0, 16.0);
    command(cmd::setActive);
    selectTicks(4.0, 6.0);
    command(cmd::previewPlay);
    EXPECT_EQ(machine().patternPlayerCount(), 1u);
    EXPECT_FALSE(silent(renderBlock()));
    command(cmd::previewPlay);
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
}

TEST_F(TakeCommands, ZoomAndRowHeightKeepTheirLimits) {
    command(cmd::zoomOut);
    EXPECT_EQ(view().zoom, 1.0);
    for (int i = 0; i < 10; ++i)
        command(cmd::rowHeightDown);
    EXPECT_EQ(view().rowHeight, 8.0f);
    // Without takes there is nothing to fit: the row height stays.
    command(cmd::zoomToFitWave);
    EXPECT_EQ(view().rowHeight, 8.0f);
    addTake(10);
    addTake(10);
    command(cmd::zoomToFitWave);
    EXPECT_EQ(view().rowHeight, 299.0f);
    EXPECT_EQ(platform::itemText(bar(), barcontrol::heightLabel), "299.0px");

    // Zoom In stops before the scroll range leaves 32 bits.
    for (int i = 0; i < 80; ++i)
        command(cmd::zoomIn);
    EXPECT_LE(viewWidth * view().zoom, 2147483647.0);
    EXPECT_GT(viewWidth * view().zoom * 1.4142135623730951, 2147483647.0);
    for (int i = 0; i < 80; ++i)
        command(cmd::rowHeightUp);
    EXPECT_LE(2.0 * view().rowHeight, 2147483647.0);
    EXPECT_GT(2.0 * view().rowHeight * 1.4142135623730951, 2147483647.0);

    press(0, 1);
    release(0, 1);
    selectTicks(4.0, 8.0);
    command(cmd::zoomSelection);
    EXPECT_EQ(view().zoom, 4.0);
    EXPECT_EQ(view().rowHeight, 600.0f);
}

} // namespace

namespace {

// The menu's "From File..." reaches the importer through the editor's own
// command table.
TEST_F(TakeCommands, FileImportArrivesThroughTheCommandTable) {
    const std::string path = ::testing::TempDir() + "menu-import.wav";
    // 8 stereo float frames at 22050 Hz, every sample 0.5.
    std::vector<uint8_t> file = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W', 'A', 'V',
                                 'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,   3,   0,
                                 2,   0,   0x22, 0x56, 0,   0,   0x10, 0xB1, 2,   0,   8,
                                 0,   32,  0,    'd',  'a', 't', 'a',  64,   0,   0,   0};
    for (int i = 0; i < 16; ++i)
        file.insert(file.end(), {0, 0, 0, 0x3F});
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);

    ui().chooseFile(path);
    command(cmd::importFromFile);
    ASSERT_EQ(pattern().takes.size(), 1u);
    const spoolex::Take& take = *pattern().takes[0];
    EXPECT_EQ(take.sampleRate, 22050);
    ASSERT_EQ(take.frameCount(), 8u);
    EXPECT_EQ(take.samples()[15], 16384.0f);
    std::remove(path.c_str());
}

} // namespace
