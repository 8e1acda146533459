// spoolex-host edit, end to end: the demo's two recorded passes comped the
// other way round through the editor, saved, rendered and heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/Commands.h"
#include "host/Editing.h"
#include "host/WavReader.h"
#include "platform/testing/ScriptedUi.h"
#include "tests/support/CapturedOutput.h"

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

} // namespace
