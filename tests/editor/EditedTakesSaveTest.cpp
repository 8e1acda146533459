// A take keeps its compressed stream from the last save and is written from
// it again until its samples change. So every way the user changes a take
// must reach the next save: a path that changed the samples without the take
// knowing would save the old audio. Each test saves, edits as the user does,
// saves again and opens what was saved.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "generator/editor/EditorCommandIds.h"
#include "generator/wavestore/Exporter.h"
#include "tests/editor/EditorFixture.h"

namespace {

namespace cmd = editorcommand;
using Samples = std::vector<spoolex::Samples>;

class EditedTakesSave : public EditorTest {
protected:
    // The samples of the takes of hostPattern as the song saved now opens.
    Samples reopened(host::HostPattern* shown = nullptr) {
        shown = shown ? shown : hostPattern;
        const std::vector<uint8_t> data = host.saveSongData(*placed);
        host::HostMachine* again = host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); },
            "Reopened" + std::to_string(reopenings++), &data);
        host::HostPattern* same = host.createPattern(*again, host.patternName(shown->handle()), 16);
        Samples takes = samplesOf(*generatorOf(again).findPattern(same->handle()));
        host.deletePattern(same);
        host.destroyMachine(again);
        return takes;
    }

    static Samples samplesOf(const spoolex::Pattern& pattern) {
        Samples takes;
        for (const auto& take : pattern.takes)
            takes.push_back(take->samples());
        return takes;
    }

    // Saves, so that every take keeps its stream; runs edit; the song saved
    // afterwards holds the edited audio.
    template <typename Edit> void expectSavedAfter(Edit edit) {
        ASSERT_EQ(reopened(), samplesOf(pattern()));
        const Samples before = samplesOf(pattern());
        edit();
        ASSERT_NE(samplesOf(pattern()), before) << "the edit changed nothing";
        EXPECT_EQ(reopened(), samplesOf(pattern()));
    }

    void pickRow(int row) {
        press(0, rowY(row));
        release(0, rowY(row));
    }

    int reopenings = 0;
};

TEST_F(EditedTakesSave, Delete) {
    addTake(1600);
    pickRow(0);
    expectSavedAfter([&] {
        selectTicks(2.0, 4.0);
        command(cmd::deleteSelection);
    });
}

TEST_F(EditedTakesSave, Cut) {
    addTake(1600);
    pickRow(0);
    expectSavedAfter([&] {
        selectTicks(10.0, 12.5);
        command(cmd::cut);
    });
}

TEST_F(EditedTakesSave, PasteInsertingAndReplacingASelection) {
    addTake(1600);
    pickRow(0);
    selectTicks(1.0, 2.0);
    command(cmd::copy);
    expectSavedAfter([&] {
        selectTicks(5.0, 5.0);
        command(cmd::paste);
    });
    expectSavedAfter([&] {
        selectTicks(0.0, 0.5);
        command(cmd::paste);
    });
}

TEST_F(EditedTakesSave, RoundTripThroughTheExternalEditor) {
    addTake(1600);
    pickRow(0);
    // The "editor" puts other audio in the file it is given.
    const std::string folder = ::testing::TempDir();
    const std::string edited = folder + "edited-take.wav";
    spoolex::Take other;
    other.sampleRate = 6000;
    other.changeSamples().assign(2 * 700, 1234.0f);
    ASSERT_TRUE(
        spoolex::WavExporter(spoolex::WavSampleFormat::Float32).exportRange(other, edited, 0, 700));
    const std::string script = folder + "wave-editor.sh";
    std::ofstream(script) << "#!/bin/sh\ncp " << edited << " \"$1\"\n";
    chmod(script.c_str(), 0755);
    machine().forgetSettings();
    machine().addWaveEditor({"Copier", script, "%1", spoolex::WavSampleFormat::Float32});
    ui().chooseMenuItem(100);
    ui().answerNextMessageAfterLaunchedProgram(platform::MessageAnswer::Ok);

    expectSavedAfter([&] { command(cmd::externalEditor); });
    EXPECT_EQ(pattern().takes[0]->samples(), other.samples());
    std::remove(edited.c_str());
    std::remove(script.c_str());
}

// A copied pattern shares its takes' streams until one of them changes: the
// edited copy is saved anew, the original as it was.
TEST_F(EditedTakesSave, EditingACopiedPatternLeavesTheOriginal) {
    addTake(1600);
    host.saveSongData(*placed);
    const Samples original = samplesOf(pattern());
    host::HostPattern* copy = host.copyPattern(*hostPattern, "B");
    hostPattern = copy;
    placed->extension->showPattern(copy->handle());
    pickRow(0);
    expectSavedAfter([&] {
        selectTicks(2.0, 4.0);
        command(cmd::deleteSelection);
    });
    host::HostPattern* first = host.findPattern("A");
    EXPECT_EQ(reopened(first), original);
}

} // namespace
