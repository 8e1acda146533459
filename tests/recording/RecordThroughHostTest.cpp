// A known input recorded through both plug-ins, loaded as shared libraries,
// then saved, reloaded and played back.
#include <gtest/gtest.h>

#include "host/Commands.h"
#include "host/Host.h"
#include "host/Recorder.h"
#include "host/SongSummary.h"
#include "platform/testing/ScriptedUi.h"
#include "tests/support/CapturedOutput.h"
#include "tests/support/GearPaths.h"

namespace {

// Left and right differ, never repeat within a tick, and are never silent.
host::WavAudio knownInput(size_t frames) {
    host::WavAudio audio;
    audio.sampleRate = 44100;
    audio.channels = 2;
    audio.frames.resize(2 * frames);
    for (size_t f = 0; f < frames; ++f) {
        audio.frames[2 * f] = 1000.0f + static_cast<float>(f % 7919);
        audio.frames[2 * f + 1] = -1000.0f - static_cast<float>(f % 6007);
    }
    return audio;
}

// Both plug-ins, loaded from the Gear folder: a generator and an input
// machine named Mic. Returns the generator, or null with error set.
host::HostMachine* placeSpoolexAndMic(host::Host& host, std::string& error) {
    host::PluginLibrary* generator = host.loadPlugin(testsupport::generatorPluginPath(), error);
    host::PluginLibrary* input = host.loadPlugin(testsupport::inputPluginPath(), error);
    if (!generator || !input)
        return nullptr;
    host::HostMachine* spoolex = host.createMachine(*generator, "Spoolex");
    host.createMachine(*input, "Mic");
    return spoolex;
}

TEST(RecordThroughHost, PunchedInAudioPlaysBackSampleForSample) {
    const std::string song = ::testing::TempDir() + "recorded.sxs";
    const size_t patternFrames = 16 * 5250; // 126 bpm, 4 ticks per beat, 44100 Hz
    host::WavAudio input = knownInput(patternFrames + 4096);
    {
        host::Host host;
        host.echoMessages = false;
        std::string error;
        host::HostMachine* spoolex = placeSpoolexAndMic(host, error);
        ASSERT_NE(spoolex, nullptr) << error;
        host::HostPattern* pattern = host.createPattern(*spoolex, "A", 16);
        host.addSequence(*spoolex)->place(0, pattern);
        host::RecordOptions byHand; // punched in all along
        ASSERT_TRUE(host::recordSong(host, SPOOLEX_GEAR_DIR, input, byHand, error)) << error;
        // While punched in, the generator itself stayed silent (the block in
        // which the take fills up already plays it).
        for (size_t i = 0; i < 2 * (patternFrames - 256); ++i)
            ASSERT_EQ(host.masterOutput[i], 0.0f) << i;
        ASSERT_TRUE(host::saveSongFile(song, host.saveSong(), error)) << error;
        EXPECT_TRUE(host.messages.empty());
    }

    host::Host fresh;
    fresh.echoMessages = false;
    host::SongDocument document;
    std::string error;
    ASSERT_TRUE(host::loadSongFile(song, document, error)) << error;
    ASSERT_TRUE(fresh.loadSong(document, SPOOLEX_GEAR_DIR, error)) << error;
    fresh.renderSong(fresh.songEndTick());
    ASSERT_GE(fresh.masterOutput.size(), 2 * patternFrames);
    // Away from the fade-in (100 samples) and the fade-out at the end.
    for (size_t f = 100; f < patternFrames - 1; ++f) {
        ASSERT_EQ(fresh.masterOutput[2 * f], input.frames[2 * f]) << f;
        ASSERT_EQ(fresh.masterOutput[2 * f + 1], input.frames[2 * f + 1]) << f;
    }
    platform::testing::ScriptedUi::instance().setEcho(false);
    std::string info = host::songSummary(fresh);
    EXPECT_NE(info.find("  0.000000 : 0\n  16.000000 : NULL\n"), std::string::npos) << info;
}

TEST(RecordThroughHost, TheInputsLatencyHoldsForARecordingFromTickZero) {
    const int latency = 300;
    const size_t patternFrames = 2 * 5250;
    host::WavAudio input = knownInput(patternFrames + 4096);
    host::SongDocument song;
    {
        host::Host host;
        host.echoMessages = false;
        std::string error;
        host::HostMachine* spoolex = placeSpoolexAndMic(host, error);
        ASSERT_NE(spoolex, nullptr) << error;
        host.addSequence(*spoolex)->place(0, host.createPattern(*spoolex, "A", 2));
        host::RecordOptions options;
        options.latency = latency;
        ASSERT_TRUE(host::recordSong(host, SPOOLEX_GEAR_DIR, input, options, error)) << error;
        song = host.saveSong();
    }
    host::Host fresh;
    fresh.echoMessages = false;
    std::string error;
    ASSERT_TRUE(fresh.loadSong(song, SPOOLEX_GEAR_DIR, error)) << error;
    fresh.renderSong(fresh.songEndTick());
    // The take's first frame is the input's frame 300; the song's end stops
    // the recording 300 frames before the take is full.
    for (size_t f = 100; f < patternFrames - latency; ++f)
        ASSERT_EQ(fresh.masterOutput[2 * f], input.frames[2 * (f + latency)]) << f;
}

TEST(RecordThroughHost, TheDemoRecordsAComp) {
    const std::string folder = ::testing::TempDir() + "spoolex-demo";
    std::FILE* out = std::tmpfile();
    platform::testing::ScriptedUi::instance().setEcho(false);
    ASSERT_EQ(host::demoCommand(folder, SPOOLEX_GEAR_DIR, out), 0);
    std::string text = testsupport::readAll(out);
    std::fclose(out);
    // The first pass is heard over the first half, the second over the second.
    EXPECT_NE(text.find("Active takes:\n  0.000000 : 0\n  8.000000 : 1\n  16.000000 : NULL\n"),
              std::string::npos)
        << text;
}

} // namespace
