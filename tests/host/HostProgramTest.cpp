// The built spoolex-host as a user runs it from a shell: the words typed,
// what comes back on each stream, the status, and the files left behind.
// Mistakes first in each test.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/WavFile.h"
#include "host/WavReader.h"

namespace {

namespace fs = std::filesystem;

struct Ran {
    int status = -1; // the exit status; -1 when the program did not exit (a crash)
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string quoted(const std::string& word) {
    std::string text = "'";
    for (char c : word)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

class HostProgram : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(::testing::TempDir()) /
                 ("spoolex-program-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }

    std::string at(const std::string& name) const { return (folder / name).string(); }

    Ran run(const std::vector<std::string>& words) const {
        std::string command = quoted(SPOOLEX_HOST_PROGRAM);
        for (const std::string& word : words)
            command += " " + quoted(word);
        command += " >" + quoted(at("out.txt")) + " 2>" + quoted(at("err.txt"));
        Ran ran;
        const int raw = std::system(command.c_str());
        if (raw != -1 && WIFEXITED(raw))
            ran.status = WEXITSTATUS(raw);
        ran.out = slurp(at("out.txt"));
        ran.err = slurp(at("err.txt"));
        return ran;
    }

    // A usage mistake: status 2 and one line that names it.
    void expectMistake(const std::vector<std::string>& words, const std::string& named) const {
        const Ran ran = run(words);
        std::string typed;
        for (const std::string& word : words)
            typed += word + " ";
        EXPECT_EQ(ran.status, 2) << typed << ran.err;
        EXPECT_EQ(ran.err, "spoolex-host: " + named + " (spoolex-host help shows the usage)\n")
            << typed;
        EXPECT_EQ(ran.out, "") << typed;
    }

    // A failure: status 1, one line with the prefix and the text.
    void expectFailure(const std::vector<std::string>& words, const std::string& text) const {
        const Ran ran = run(words);
        std::string typed;
        for (const std::string& word : words)
            typed += word + " ";
        EXPECT_EQ(ran.status, 1) << typed << ran.err;
        EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), 1) << typed << ran.err;
        EXPECT_EQ(ran.err.rfind("spoolex-host: ", 0), 0u) << typed << ran.err;
        EXPECT_NE(ran.err.find(text), std::string::npos) << typed << ran.err;
    }

    // A stereo input of seconds of sound at 44100 Hz: a note every quarter
    // second (host scale), silent for the first `quiet` seconds.
    std::string writeInput(const std::string& name, double seconds, double quiet = 0.0) const {
        const auto frames = static_cast<size_t>(seconds * 44100);
        std::vector<float> stereo(2 * frames);
        for (size_t f = 0; f < frames; ++f) {
            const double t = static_cast<double>(f) / 44100;
            const double sinceNote = std::fmod(t, 0.25);
            const double v =
                t < quiet ? 0.0 : 0.5 * std::exp(-8 * sinceNote) * std::sin(2 * M_PI * 330 * t);
            stereo[2 * f] = stereo[2 * f + 1] = static_cast<float>(v);
        }
        std::string error;
        EXPECT_TRUE(host::writeFloatWav(at(name), 44100, stereo, error)) << error;
        return at(name);
    }

    fs::path folder;
};

TEST_F(HostProgram, UsageMistakesAreOneLineAndHelpGoesToStandardOutput) {
    expectMistake({}, "no command given");
    expectMistake({"rendr"}, "unknown command \"rendr\"");
    expectMistake({"render", "a.sxs"}, "render needs OUT.wav");
    expectMistake({"render", "a.sxs", "b.wav", "c"}, "render takes SONG OUT.wav, not also \"c\"");
    expectMistake({"render", "a.sxs", "b.wav", "--tkae"}, "unknown option --tkae");
    expectMistake({"render", "a.sxs", "b.wav", "--zoom", "2"}, "render does not take --zoom");
    expectMistake({"snapshot", "a.sxs", "b.png", "--size"}, "--size needs WxH");
    expectMistake({"snapshot", "a.sxs", "b.png", "--size", "0x0"},
                  "--size takes WxH, each from 1 to 16384, not \"0x0\"");
    expectMistake({"snapshot", "a.sxs", "b.png", "--zoom", "0"},
                  "--zoom takes a number from 1 to 65536, not \"0\"");
    expectMistake({"record", "a.sxs"}, "record needs --input IN.wav");
    expectMistake({"record", "a.sxs", "--input", "in.wav", "--latency", "abc"},
                  "--latency takes a whole number from 0 to 65534, not \"abc\"");
    expectMistake({"record", "a.sxs", "--input", "in.wav", "--auto-punch", "--threshold", "lots"},
                  "--threshold takes a whole number from 1 to 4096, not \"lots\"");
    expectMistake({"record", "a.sxs", "--input", "in.wav", "--auto-punch", "--release", "-5"},
                  "--release takes a whole number from 0 to 2000, not \"-5\"");
    expectMistake({"record", "a.sxs", "--input", "in.wav", "--threshold", "4096"},
                  "--threshold and --release set auto punch: add --auto-punch");
    expectMistake({"new", "a.sxs", "--tempo", "126", "--tempo", "90"}, "--tempo is given twice");
    expectMistake({"new", "a.sxs", "--pattern", "Verse"},
                  "--pattern takes NAME:TICKS, not \"Verse\"");
    EXPECT_FALSE(fs::exists(at("a.sxs")));

    for (const std::vector<std::string>& asked :
         {std::vector<std::string>{"help"}, std::vector<std::string>{"--help"},
          std::vector<std::string>{"render", "--help"}}) {
        const Ran help = run(asked);
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_NE(help.out.find("  render SONG OUT.wav\n"), std::string::npos) << help.out;
    }
    EXPECT_NE(run({"help"}).out.find("  record SONG --input IN.wav [--latency N]"),
              std::string::npos);
}

TEST_F(HostProgram, EveryFileFailureIsOneLineWithTheSystemsReason) {
    fs::create_directories(at("folder.sxs"));
    const std::string folder = at("folder.sxs");
    const std::string missing = at("missing.sxs");
    const std::string input = writeInput("in.wav", 0.5);
    ASSERT_EQ(run({"new", at("song.sxs")}).status, 0);
    for (const char* command : {"info", "edit"})
        expectFailure({command, folder}, "cannot read " + folder + ": Is a directory");
    expectFailure({"render", folder, at("out.wav")}, "Is a directory");
    expectFailure({"record", folder, "--input", input}, "Is a directory");
    expectFailure({"record", at("song.sxs"), "--input", folder}, "Is a directory");
    expectFailure({"record", at("song.sxs"), "--input", at("missing.wav")},
                  "No such file or directory");
    expectFailure({"snapshot", missing, at("out.png")},
                  "cannot read " + missing + ": No such file or directory");
    expectFailure({"sequence", folder, at("out.png")}, "Is a directory");
    expectFailure({"render", at("song.sxs"), folder},
                  "cannot write " + folder + ": Is a directory");
    expectFailure({"render", at("song.sxs"), at("nowhere/out.wav")}, "No such file or directory");
    expectFailure({"export", folder, at("take.wav"), "--pattern", "A", "--take", "0"},
                  "Is a directory");
    expectFailure({"wave-save", folder, "1", at("w.wav")}, "Is a directory");
    expectFailure({"wave-load", at("song.sxs"), "1", folder}, "Is a directory");
    // A file that is not a song is named as such.
    expectFailure({"info", input}, "not a Spoolex song file");
}

TEST_F(HostProgram, NothingIsLostBySurprise) {
    const std::string song = at("song.sxs");
    ASSERT_EQ(run({"new", song, "--pattern", "A:16"}).status, 0);
    ASSERT_EQ(run({"record", song, "--input", writeInput("in.wav", 2.0)}).status, 0);
    const std::string recorded = slurp(song);

    // render onto the song, or onto another song.
    expectFailure({"render", song, song}, "is also what is read");
    ASSERT_EQ(run({"new", at("other.sxs")}).status, 0);
    const std::string other = slurp(at("other.sxs"));
    expectFailure({"render", song, at("other.sxs")}, "holds a song");
    EXPECT_EQ(slurp(at("other.sxs")), other);
    expectFailure({"snapshot", song, at("other.sxs")}, "holds a song");

    // A question without an answer stops edit; nothing is saved.
    Ran unanswered = run({"edit", song, "--take", "0", "--command", "delete-take"});
    EXPECT_EQ(unanswered.status, 1);
    EXPECT_EQ(unanswered.err,
              "spoolex-host: the editor asked \"Are you sure?\" at --command delete-take and no "
              "--answer was given: put --answer yes (or no) before it; nothing was saved\n");
    // An answer after the command that asks is not used by it.
    expectFailure({"edit", song, "--take", "0", "--command", "delete-take", "--answer", "yes"},
                  "no --answer was given");
    expectFailure({"edit", song, "--command", "info", "--answer", "yes"},
                  "--answer yes was never asked for");
    expectFailure({"edit", song, "--select", "20:30", "--command", "clear-active"},
                  "--select 20:30 selects nothing of the 16-tick pattern");
    expectFailure({"edit", song, "--command", "paste"}, "--command paste is disabled");
    expectFailure({"edit", song, "--take", "0", "--command", "set-active"},
                  "--command set-active changed nothing");
    EXPECT_EQ(slurp(song), recorded);

    const Ran answered =
        run({"edit", song, "--take", "0", "--answer", "yes", "--command", "delete-take"});
    EXPECT_EQ(answered.status, 0) << answered.err;
    EXPECT_NE(answered.out.find("message: Are you sure?\nanswer: yes\n"), std::string::npos);
    EXPECT_NE(slurp(song), recorded);
}

TEST_F(HostProgram, ANewSongIsReadyToRecordAndInfoShowsWhatItHolds) {
    const std::string song = at("song.sxs");
    expectFailure({"new", song, "--pattern", "A:16", "--play", "B@0"},
                  "--play names the pattern \"B\", which no --pattern makes");
    expectFailure({"new", song, "--pattern", "A:16", "--pattern", "A:8"},
                  "two patterns are named \"A\"");
    EXPECT_FALSE(fs::exists(song));

    const Ran made = run({"new", song, "--tempo", "120", "--ticks-per-beat", "4", "--rate", "48000",
                          "--pattern", "Verse:32", "--pattern", "Fill:8", "--play", "Verse@0",
                          "--play", "Fill@32", "--play", "Verse@40"});
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string fresh = slurp(song);
    expectFailure({"new", song}, song + " already exists: new never replaces a file");
    EXPECT_EQ(slurp(song), fresh);

    // 120 bpm, 4 ticks per beat: 8 ticks a second.
    const Ran info = run({"info", song});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.substr(0, info.out.find("\n") + 1),
              "song: 48000 Hz, 120 bpm, 4 ticks per beat; 72 ticks, 9.000 s\n");
    EXPECT_NE(info.out.find("Spoolex / Verse: 32 ticks, 4.000 s\n  no takes\n32 ticks\n"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("Spoolex / Fill: 8 ticks, 1.000 s\n"), std::string::npos);

    // record works at once: the song has its input machine.
    std::vector<float> stereo(2 * 48000, 0.25f);
    std::string error;
    ASSERT_TRUE(host::writeFloatWav(at("in48.wav"), 48000, stereo, error)) << error;
    const Ran recorded = run({"record", song, "--input", at("in48.wav")});
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    const Ran after = run({"info", song});
    EXPECT_NE(after.out.find("Spoolex / Verse: 32 ticks, 4.000 s\n  take 0: 4.000 s at 48000 Hz\n"),
              std::string::npos)
        << after.out;

    // A song without the generator says so.
    ASSERT_EQ(run({"wave-load", at("waves.sxs"), "1", at("in48.wav")}).status, 0);
    const Ran waves = run({"info", at("waves.sxs")});
    EXPECT_EQ(waves.status, 0);
    EXPECT_NE(waves.out.find("it has no Korvane Spoolex generator"), std::string::npos)
        << waves.out;
}

TEST_F(HostProgram, RecordStopsWithItsInputAndSaysWhatItMade) {
    // Two passes over a 16-tick pattern (1.905 s each); the input lasts
    // 1.9 s, so the second pass never starts.
    const std::string song = at("song.sxs");
    ASSERT_EQ(run({"new", song, "--pattern", "A:16", "--play", "A@0", "--play", "A@16"}).status, 0);
    const Ran ran = run({"record", song, "--input", writeInput("short.wav", 1.9)});
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_NE(ran.out.find("the input ended before the song (3.810 s): the song stopped there\n"),
              std::string::npos)
        << ran.out;
    EXPECT_NE(ran.out.find("Spoolex / A: 16 ticks, 1.905 s\n  take 0: 1.905 s at 44100 Hz "
                           "(new)\n16 ticks\n"),
              std::string::npos)
        << ran.out;
    EXPECT_EQ(ran.out.find("take 1"), std::string::npos) << ran.out;
    // The render plays the recording, not a silent second pass.
    ASSERT_EQ(run({"render", song, at("out.wav")}).status, 0);
    host::WavAudio rendered;
    std::string error;
    ASSERT_TRUE(host::readWav(at("out.wav"), rendered, error)) << error;
    float peak = 0.0f;
    for (size_t f = 44100 / 2; f < 44100; ++f)
        peak = std::max(peak, std::fabs(rendered.frames[2 * f]));
    EXPECT_GT(peak, 1000.0f);

    // Longer than the song: cut, and said so.
    const Ran cut = run({"record", song, "--input", writeInput("long.wav", 5.0)});
    EXPECT_NE(cut.out.find("the input (5.000 s) is longer than the song (3.810 s): its last "
                           "1.190 s were cut\n"),
              std::string::npos)
        << cut.out;

    // With auto punch at full scale, a quiet start never punches in: the
    // input machine starts punched in, and the release time used to keep it
    // so for the first 100 ms.
    const std::string quiet = at("quiet.sxs");
    ASSERT_EQ(run({"new", quiet, "--pattern", "A:16"}).status, 0);
    const Ran punched = run({"record", quiet, "--input", writeInput("late.wav", 1.9, 0.5),
                             "--auto-punch", "--threshold", "4096"});
    ASSERT_EQ(punched.status, 0) << punched.err;
    EXPECT_NE(punched.out.find("Active takes:\n  0.000000 : NULL\n"), std::string::npos)
        << punched.out;
    // At 2048 (about -21 dB) the notes from 0.5 s on punch in.
    const Ran level = run({"record", quiet, "--input", at("late.wav"), "--auto-punch",
                           "--threshold", "2048", "--release", "50"});
    EXPECT_NE(level.out.find("Active takes:\n  0.000000 : NULL\n  4.19"), std::string::npos)
        << level.out;
}

TEST_F(HostProgram, ExportWritesATakeOrAStretchOfIt) {
    const std::string song = at("song.sxs");
    ASSERT_EQ(run({"new", song, "--pattern", "A:16"}).status, 0);
    ASSERT_EQ(run({"record", song, "--input", writeInput("in.wav", 2.5)}).status, 0);
    const std::string wav = at("take.wav");
    expectMistake({"export", song, wav, "--pattern", "A"}, "export needs --take N");
    expectMistake({"export", song, wav, "--pattern", "A", "--take", "0", "--format", "8i"},
                  "--format takes 16i, 24i, 32i or 32f, not \"8i\"");
    expectMistake({"export", song, wav, "--pattern", "A", "--take", "0", "--select", "8:4"},
                  "--select takes FROM:TO in ticks, 0 <= FROM < TO, not \"8:4\"");
    expectFailure({"export", song, wav, "--pattern", "B", "--take", "0"},
                  "no pattern \"B\" of a generator in " + song + "; it has A");
    expectFailure({"export", song, wav, "--pattern", "A", "--take", "1"},
                  "the pattern \"A\" has 1 take (0 to 0), not take 1");
    expectFailure({"export", song, wav, "--pattern", "A", "--take", "0", "--select", "8:20"},
                  "--select ends at tick 20, past the end of the 16-tick pattern");
    expectFailure({"export", song, song, "--pattern", "A", "--take", "0"}, "is also what is read");
    EXPECT_FALSE(fs::exists(wav));

    const Ran whole =
        run({"export", song, wav, "--pattern", "A", "--take", "0", "--format", "32f"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(whole.out, wav + ": take 0 of A, 84000 frames at 44100 Hz (1.905 s), 32-bit float\n");
    host::WavAudio take, input;
    std::string error;
    ASSERT_TRUE(host::readWav(wav, take, error)) << error;
    ASSERT_TRUE(host::readWav(at("in.wav"), input, error)) << error;
    ASSERT_EQ(take.frameCount(), 84000u);
    for (size_t f = 0; f < take.frameCount(); f += 997)
        ASSERT_EQ(take.frames[2 * f], input.frames[2 * f]) << f;

    // Ticks 4 to 8: frames 21000 to 42000, in 24 bits.
    const Ran stretch = run({"export", song, wav, "--pattern", "A", "--take", "0", "--select",
                             "4:8", "--format", "24i"});
    ASSERT_EQ(stretch.status, 0) << stretch.err;
    ASSERT_TRUE(host::readWav(wav, take, error)) << error;
    EXPECT_EQ(take.frameCount(), 21000u);
    EXPECT_NEAR(take.frames[0], input.frames[2 * 21000], 0.01f);
    EXPECT_EQ(slurp(wav).substr(34, 1), std::string(1, '\x18')); // bits per sample
}

TEST_F(HostProgram, WaveCommandsWorkInTheSameManner) {
    const std::string typo = at("typo.sxs");
    expectFailure({"wave-select", typo, "0"},
                  "cannot read " + typo + ": No such file or directory");
    expectFailure({"wave-load", typo, "1", at("missing.wav")}, "No such file or directory");
    EXPECT_FALSE(fs::exists(typo));

    const std::string song = at("song.sxs");
    const std::string input = writeInput("in.wav", 0.1);
    const Ran loaded = run({"wave-load", song, "10", input});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(loaded.out, song + ": wave 10 is now in.wav\n");
    expectFailure({"wave-select", song, "11"}, "wave 11 is empty");
    expectFailure({"wave-load", song, "201", input}, "wave slots are 1 to 200, not 201");
    const Ran selected = run({"wave-select", song, "0x0A"});
    EXPECT_EQ(selected.out, song + ": wave 10 (in.wav) selected\n");
    expectFailure({"wave-save", song, "10", song}, "is also what is read");
    const Ran saved = run({"wave-save", song, "10", at("out.wav")});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, at("out.wav") + ": wave 10 (in.wav)\n");
}

} // namespace
