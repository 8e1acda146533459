// spoolex-host edit, end to end: the demo's two recorded passes comped the
// other way round through the editor, saved, rendered and heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/Commands.h"
#include "host/Editing.h"
#include "host/SongDocument.h"
#include "host/WavReader.h"
#include "host/Wavetable.h"
#include "platform/testing/ScriptedUi.h"
#include "tests/support/CapturedOutput.h"
#include "tests/support/GearPaths.h"

namespace {

TEST(EditCommand, CompsTwoRecordedTakesAndTheRenderFollows) {
    const std::string folder = ::testing::TempDir() + "spoolex-edit";
    std::FILE* out = std::tmpfile();
    platform::testing::ScriptedUi::instance().setEcho(false);
    ASSERT_EQ(host::demoCommand(folder, SPOOLEX_GEAR_DIR, out), 0);

    // The demo hears pass 0 over ticks 0..8 and pass 1 over 8..16, each loud
    // there and quiet elsewhere; this comp picks their quiet halves.
    const std::string comp = folder + "/comp.sxs";
    const std::vector<host::EditAction> actions{{"--pattern", "Demo"},
                                                {"--take", "1"},
                                                {"--select", "0:8"},
                                                {"--command", "set-active"},
                                                {"--take", "0"},
                                                {"--select", "8:16"},
                                                {"--command", "32834"},
                                                {"--answer", "no"},
                                                {"--command", "delete-take"},
                                                {"--command", "info"},
                                                {"--snapshot", folder + "/comp.png"}};
    std::FILE* edited = std::tmpfile();
    ASSERT_EQ(host::editCommand(folder + "/demo.sxs", comp, actions, SPOOLEX_GEAR_DIR, edited), 0);
    const std::string printed = testsupport::readAll(edited);
    EXPECT_NE(printed.find("message: Are you sure?\nanswer: no\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Active takes:\n  0.000000 : 1\n  8.000000 : 0\n  16.000000 : NULL\n"
                           "answer: ok\n"),
              std::string::npos)
        << printed;

    const std::string wav = folder + "/comp.wav";
    ASSERT_EQ(host::renderCommand(comp, wav, SPOOLEX_GEAR_DIR, out), 0);
    host::WavAudio audio;
    std::string error;
    ASSERT_TRUE(host::readWav(wav, audio, error)) << error;
    ASSERT_GT(audio.frameCount(), 0u);
    // 5250 frames per tick; at ticks 8 and 24 the outgoing take fades out
    // over 100 frames while its own loud half begins.
    auto atFade = [](size_t f) { return (f >= 42000 && f < 42100) || (f >= 126000 && f < 126100); };
    float peak = 0.0f;
    for (size_t f = 0; f < audio.frameCount(); ++f)
        if (!atFade(f))
            peak = std::max(
                {peak, std::fabs(audio.frames[2 * f]), std::fabs(audio.frames[2 * f + 1])});
    EXPECT_LT(peak, 100.0f); // the loud halves (9000 and up) are gone
    EXPECT_GT(peak, 10.0f);  // the quiet ones are heard
    std::fclose(out);
    std::fclose(edited);

    // A script that names a command the editor does not have changes nothing.
    std::FILE* refused = std::tmpfile();
    EXPECT_EQ(host::editCommand(comp, folder + "/never.sxs", {{"--command", "undo"}},
                                SPOOLEX_GEAR_DIR, refused),
              1);
    std::fclose(refused);
    EXPECT_EQ(std::fopen((folder + "/never.sxs").c_str(), "rb"), nullptr);
}

TEST(EditCommand, RoundTripWaitsForTheEditorAndTheExportDialogIsAnswered) {
    if (!std::filesystem::exists("/usr/bin/sox"))
        GTEST_SKIP() << "sox is missing";
    namespace fs = std::filesystem;
    const std::string folder = ::testing::TempDir() + "spoolex-edit-round-trip";
    fs::remove_all(folder);
    std::FILE* out = std::tmpfile();
    platform::testing::ScriptedUi::instance().setEcho(false);
    ASSERT_EQ(host::demoCommand(folder, SPOOLEX_GEAR_DIR, out), 0) << testsupport::readAll(out);

    // The plug-ins in a Gear folder of their own, with a settings file that
    // names a slow editor: it resamples the take and keeps a copy.
    const std::string gear = folder + "/Gear";
    fs::create_directories(gear + "/Generators");
    fs::create_directories(gear + "/Effects");
    fs::create_symlink(testsupport::generatorPluginPath(),
                       gear + "/Generators/" +
                           fs::path(testsupport::generatorPluginPath()).filename().string());
    fs::create_symlink(testsupport::inputPluginPath(),
                       gear + "/Effects/" +
                           fs::path(testsupport::inputPluginPath()).filename().string());
    const std::string script = folder + "/slow-editor.sh";
    std::ofstream(script) << "#!/bin/sh\nsleep 1\nsox \"$1\" -r 22050 " << folder
                          << "/edit.wav && mv " << folder << "/edit.wav \"$1\" && cp \"$1\" "
                          << folder << "/seen.wav\n";
    chmod(script.c_str(), 0755);
    std::ofstream(gear + "/Generators/Korvane Spoolex settings.xml")
        << "<spoolex><waveeditors>\n"
        << "<editor name=\"Other\" path=\"/bin/true\" arguments=\"%1\" format=\"16i\"/>\n"
        << "<editor name=\"Slow\" path=\"" << script << "\" arguments=\"%1\" format=\"32f\"/>\n"
        << "</waveeditors></spoolex>\n";

    // The program itself: plug-ins loaded into this test program already
    // read their settings beside the build's own Gear folder.
    const std::string program =
        (fs::path(SPOOLEX_GEAR_DIR).parent_path() / "spoolex-host").string();
    auto edit = [&](const std::string& actions) {
        return std::system(("cd " + folder + " && '" + program + "' edit demo.sxs --out " +
                            "edited.sxs --gear " + gear + " " + actions + " >printed.txt 2>&1")
                               .c_str());
    };
    const std::string edited = folder + "/edited.sxs";
    ASSERT_EQ(
        edit("--pattern Demo --take 0 --choose-item Slow --answer ok --command external-editor "
             "--select 0:4 --export-to 3:1 --command export-wavetable"),
        0);
    std::ifstream printedFile(folder + "/printed.txt");
    const std::string messages((std::istreambuf_iterator<char>(printedFile)),
                               std::istreambuf_iterator<char>());
    EXPECT_TRUE(fs::exists(folder + "/seen.wav")) << messages; // ran before the file went
    EXPECT_EQ(messages.find("wav importer"), std::string::npos) << messages;
    host::SongDocument song;
    host::Wavetable table;
    std::string error;
    ASSERT_TRUE(host::loadSongFile(edited, song, error)) << error;
    ASSERT_TRUE(table.loadFrom(song, error)) << error;
    ASSERT_NE(table.level(3, 0), nullptr);
    EXPECT_EQ(table.level(3, 0)->samplesPerSec, 22050); // the edited take's rate

    // A row past the last take, or a dialog answer that names no slot, is
    // an error and nothing is saved.
    fs::remove(edited);
    for (const char* wrong : {"--take 2", "--export-to 0:1", "--export-to 3:24-bit"}) {
        EXPECT_NE(edit(std::string("--pattern Demo ") + wrong), 0) << wrong;
        EXPECT_FALSE(fs::exists(edited)) << wrong;
    }
    std::fclose(out);
}

} // namespace
