// The round trip through an external wave editor: a real program (a script
// running sox) edits the temporary file while the scripted user waits for it
// to end before answering the box.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "generator/transfers/Importer.h"
#include "generator/transfers/TakeTransfers.h"
#include "tests/wavestore/TransferFixture.h"
#include "tests/wavestore/WavFilesFixture.h"

namespace {

using platform::MessageAnswer;
using platform::testing::ScriptedUi;
using spoolex::TransferResult;
using spoolex::WaveEditorEntry;
using spoolex::WavSampleFormat;

class ExternalEditor : public TransferTest {
protected:
    void SetUp() override {
        TransferTest::SetUp();
        take = &staircaseTake(*pattern, 1000, 44100);
    }

    // A wave editor that saves the file as sox edits it, and keeps a copy of
    // what it got and what it saved.
    std::string editorScript(const std::string& soxEffects) {
        std::string script = files.path("editor.sh");
        std::ofstream(script) << "#!/bin/sh\n"
                              << "cp \"$1\" " << files.path("given.wav") << "\n"
                              << "sox \"$1\" -t wavpcm -e float -b 32 " << files.path("edit.wav")
                              << " " << soxEffects << " || exit 1\n"
                              << "cp " << files.path("edit.wav") << " " << files.path("saved.wav")
                              << "\n"
                              << "mv " << files.path("edit.wav") << " \"$1\"\n";
        chmod(script.c_str(), 0755);
        return script;
    }

    TransferResult send() {
        return spoolex::sendToExternalEditor(machine(), pattern, take, &owner, [] { return true; });
    }

    // The temporary file named in the last launch's parameters.
    std::string launchedFile() {
        std::string parameters = ScriptedUi::instance().launches().back().parameters;
        size_t open = parameters.find('"');
        return parameters.substr(open + 1, parameters.find('"', open + 1) - open - 1);
    }

    // The wave editors the settings would list, in place of the example's.
    void useWaveEditors(const std::vector<spoolex::WaveEditorEntry>& entries) {
        machine().forgetSettings();
        for (const spoolex::WaveEditorEntry& entry : entries)
            machine().addWaveEditor(entry);
    }

    SoxFiles files;
    spoolex::Take* take = nullptr;
};

TEST_F(ExternalEditor, EditedFileComesBackIntoTheSameTake) {
    if (!SoxFiles::haveSox())
        GTEST_SKIP() << "sox is missing";
    useWaveEditors(
        {{"Other", "/bin/false", "", WavSampleFormat::Int16},
         {"Sox", editorScript("channels 1 rate 22050 gain -6"), "%1", WavSampleFormat::Int24}});
    ScriptedUi::instance().chooseMenuItem(101);
    ScriptedUi::instance().answerNextMessageAfterLaunchedProgram(MessageAnswer::Ok);
    EXPECT_EQ(send(), TransferResult::Done);

    auto menus = ScriptedUi::instance().menus();
    ASSERT_EQ(menus.size(), 1u);
    ASSERT_EQ(menus[0].ids.size(), 2u);
    EXPECT_EQ(menus[0].ids[1], 101u);
    EXPECT_EQ(menus[0].texts[1], "Sox");
    auto shown = ScriptedUi::instance().messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(shown[0].owner, &owner);

    // The editor got a 24-bit file named kor....tmp.wav, now deleted.
    std::string temporary = launchedFile();
    EXPECT_EQ(std::filesystem::path(temporary).filename().string().substr(0, 3), "kor");
    EXPECT_EQ(temporary.substr(temporary.size() - 8), ".tmp.wav");
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_FALSE(std::filesystem::exists(temporary.substr(0, temporary.size() - 4)));
    std::vector<uint8_t> given = SoxFiles::readBytes(files.path("given.wav"));
    ASSERT_GE(given.size(), 44u);
    EXPECT_EQ(given[34], 24);

    // Exactly what sox saved: mono on both channels, at its rate.
    spoolex::Take saved;
    ASSERT_TRUE(spoolex::WavImporter().importInto(saved, files.path("saved.wav")));
    ASSERT_EQ(pattern->takes.size(), 1u);
    EXPECT_EQ(pattern->takes[0].get(), take);
    EXPECT_EQ(take->sampleRate, 22050);
    EXPECT_EQ(take->samples(), saved.samples());
    EXPECT_EQ(take->samples()[2 * 100], take->samples()[2 * 100 + 1]);
}

TEST_F(ExternalEditor, CancelAfterTheEditorSavedKeepsTheTake) {
    if (!SoxFiles::haveSox())
        GTEST_SKIP() << "sox is missing";
    spoolex::Samples before = take->samples();
    useWaveEditors({{"Sox", editorScript("gain -6"), "%1", WavSampleFormat::Float32}});
    ScriptedUi::instance().chooseMenuItem(100);
    ScriptedUi::instance().answerNextMessageAfterLaunchedProgram(MessageAnswer::Cancel);
    EXPECT_EQ(send(), TransferResult::Done);
    EXPECT_TRUE(std::filesystem::exists(files.path("saved.wav")));
    EXPECT_EQ(take->samples(), before);
    EXPECT_FALSE(std::filesystem::exists(launchedFile()));
}

TEST_F(ExternalEditor, PlaceholderTwiceAndTheFailureMessages) {
    useWaveEditors({{"Twice", "/bin/true", "-a %1 -b=%1 100%", WavSampleFormat::Int16}});
    ScriptedUi::instance().chooseMenuItem(100);
    ScriptedUi::instance().answerNextMessageAfterLaunchedProgram(MessageAnswer::Ok);
    EXPECT_EQ(send(), TransferResult::Done);
    std::string file = launchedFile();
    EXPECT_EQ(ScriptedUi::instance().launches()[0].parameters,
              "-a \"" + file + "\" -b=\"" + file + "\" 100%");
    EXPECT_EQ(ScriptedUi::instance().launches()[0].program, "/bin/true");
    // The untouched 16-bit file reads back as the take truncated: the same.
    EXPECT_EQ(take->samples()[2 * 999], 999.0f);

#if !defined(_WIN32) // the editor is a shell script
    // An editor that deletes the file.
    std::string script = files.path("rm.sh");
    std::ofstream(script) << "#!/bin/sh\nrm \"$1\"\n";
    chmod(script.c_str(), 0755);
    useWaveEditors({{"Rm", script, "%1", WavSampleFormat::Int16}});
    ScriptedUi::instance().clear();
    ScriptedUi::instance().chooseMenuItem(100);
    ScriptedUi::instance().answerNextMessageAfterLaunchedProgram(MessageAnswer::Ok);
    EXPECT_EQ(send(), TransferResult::Done);
    auto shown = ScriptedUi::instance().messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "wav importer canImport failed"); // nothing left to keep
    EXPECT_EQ(shown[1].owner, nullptr);
    EXPECT_EQ(take->frameCount(), 1000u);

#endif

    // A format the exporter does not know: the file cannot be written.
    useWaveEditors({{"Bad", "/bin/true", "%1", static_cast<WavSampleFormat>(9)}});
    ScriptedUi::instance().clear();
    ScriptedUi::instance().chooseMenuItem(100);
    EXPECT_EQ(send(), TransferResult::Failed);
    EXPECT_EQ(ScriptedUi::instance().messageTexts(),
              (std::vector<std::string>{"wav exporter failed", "FAIL"}));
    EXPECT_TRUE(ScriptedUi::instance().launches().empty());
}

#if !defined(_WIN32) // the editors are shell scripts
TEST_F(ExternalEditor, AnEditThatCannotBeReadBackIsKeptAndNamed) {
    if (!SoxFiles::haveSox())
        GTEST_SKIP() << "sox is missing";
    spoolex::Samples before = take->samples();
    std::string script = files.path("8bit.sh");
    std::ofstream(script) << "#!/bin/sh\nsox \"$1\" -b 8 " << files.path("e.wav") << " && mv "
                          << files.path("e.wav") << " \"$1\"\n";
    chmod(script.c_str(), 0755);
    machine().forgetSettings();
    machine().addWaveEditor({"8 bit", script, "%1", WavSampleFormat::Int16});
    ScriptedUi::instance().chooseMenuItem(100);
    ScriptedUi::instance().answerNextMessageAfterLaunchedProgram(MessageAnswer::Ok);
    EXPECT_EQ(send(), TransferResult::Done);
    const std::string kept = launchedFile();
    auto shown = ScriptedUi::instance().messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text,
              "wav importer canImport failed\n\nYour edited wave is kept in " + kept);
    EXPECT_EQ(shown[1].icon, platform::MessageIcon::Error);
    EXPECT_EQ(take->samples(), before);
    ASSERT_TRUE(std::filesystem::exists(kept));
    EXPECT_EQ(SoxFiles::readBytes(kept)[34], 8);
    std::filesystem::remove(kept);
}

TEST_F(ExternalEditor, ParametersAreSplitAsOnWindowsAndTheFileIsPrivate) {
    // The editor writes each parameter on a line of its own, and the
    // temporary file's permissions.
    std::string script = files.path("args.sh");
    std::ofstream(script) << "#!/bin/sh\nstat -c %a \"$1\" > " << files.path("mode.txt")
                          << "\nshift\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                          << files.path("args.txt") << "\n";
    chmod(script.c_str(), 0755);
    machine().forgetSettings();
    machine().addWaveEditor({"Args", script,
                             R"(%1 * ~ $HOME C:\Temp\x.wav "two words" a;b \"q\" "" end)",
                             WavSampleFormat::Int16});
    ScriptedUi::instance().chooseMenuItem(100);
    ScriptedUi::instance().answerNextMessageAfterLaunchedProgram(MessageAnswer::Cancel);
    EXPECT_EQ(send(), TransferResult::Done);
    std::ifstream args(files.path("args.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(args, line);)
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"*", "~", "$HOME", R"(C:\Temp\x.wav)", "two words",
                                               "a;b", "\"q\"", "", "end"}));
    std::string mode;
    std::ifstream(files.path("mode.txt")) >> mode;
    EXPECT_EQ(mode, "600");
}

TEST_F(ExternalEditor, AnEditorThatDoesNotStartIsReported) {
    spoolex::Samples before = take->samples();
    // A program that is not there, and parameters that cannot be split.
    for (const WaveEditorEntry& entry :
         {WaveEditorEntry{"Gone", "/no/such/editor", "%1", WavSampleFormat::Int16},
          WaveEditorEntry{"Quote", "/bin/true", "\"%1", WavSampleFormat::Int16}}) {
        machine().forgetSettings();
        machine().addWaveEditor(entry);
        ScriptedUi::instance().clear();
        ScriptedUi::instance().chooseMenuItem(100);
        EXPECT_EQ(send(), TransferResult::Done);
        auto shown = ScriptedUi::instance().messages();
        ASSERT_EQ(shown.size(), 1u) << entry.name; // no box to wait in
        EXPECT_EQ(shown[0].text, "The wave editor \"" + entry.path + "\" could not be started.");
        EXPECT_EQ(shown[0].owner, &owner);
        EXPECT_EQ(shown[0].icon, platform::MessageIcon::Error);
        EXPECT_FALSE(std::filesystem::exists(launchedFile())) << entry.name;
        EXPECT_EQ(take->samples(), before);
    }
}
#endif

TEST_F(ExternalEditor, NoEditorsOrNoChoice) {
    machine().forgetSettings();
    EXPECT_EQ(send(), TransferResult::Failed);
    EXPECT_EQ(ScriptedUi::instance().messageTexts(),
              std::vector<std::string>{"No wave editors defined"});
    useWaveEditors({{"A", "/bin/true", "%1", WavSampleFormat::Int16},
                    {"A", "/bin/true", "%1", WavSampleFormat::Int16}});
    ScriptedUi::instance().clear();
    EXPECT_EQ(send(), TransferResult::NothingToDo); // dismissed
    ScriptedUi::instance().chooseMenuItem(102);     // not an entry
    EXPECT_EQ(send(), TransferResult::NothingToDo);
    EXPECT_EQ(ScriptedUi::instance().menus()[0].ids.size(), 2u);
    EXPECT_TRUE(ScriptedUi::instance().messages().empty());
    EXPECT_TRUE(ScriptedUi::instance().launches().empty());
}

} // namespace
