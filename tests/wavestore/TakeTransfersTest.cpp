// The import and wavetable commands as the editor runs them, answered by the
// scripted user, against the stand-in host's wavetable.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "generator/transfers/DlgExportWT.h"
#include "generator/transfers/Importer.h"
#include "generator/transfers/TakeTransfers.h"
#include "generator/transfers/Wavetable.h"
#include "tests/wavestore/TransferFixture.h"
#include "tests/wavestore/WavFilesFixture.h"

namespace {

using platform::testing::ScriptedUi;
using spoolex::TransferResult;

// Nothing goes while the scripted boxes are up.
const spoolex::StillThere always = [] { return true; };

class TakeTransfers : public TransferTest {
protected:
    std::vector<std::string> texts() { return ScriptedUi::instance().messageTexts(); }

    // A wave the host holds: mono or stereo 16-bit values.
    void putWave16(int slot, const std::vector<int16_t>& values, bool stereo, int rate) {
        ASSERT_TRUE(host.wavetable.allocate(slot, static_cast<int>(values.size()), "w", rate));
        auto& info = const_cast<CWaveInfo&>(*host.wavetable.info(slot));
        auto& level = const_cast<CWaveLevel&>(*host.wavetable.level(slot, 0));
        info.flags = stereo ? WaveFlagStereo : 0;
        level.numSamples = static_cast<int32_t>(values.size() / (stereo ? 2 : 1));
        std::memcpy(level.samples, values.data(), values.size() * 2);
    }
};

TEST_F(TakeTransfers, ImportFromFileAppendsATakeAndFailureLeavesTheListAsItWas) {
    // With other formats the filter grows (see OtherFormatsTest).
    if (spoolex::importerRegistry().size() == 1) {
        EXPECT_EQ(spoolex::importFilter(),
                  std::string("All supported (*.wav)\0*.wav\0WAV format (*.wav)\0*.wav\0", 53));
    }
    if (!SoxFiles::haveSox())
        GTEST_SKIP() << "sox is missing";
    SoxFiles files;
    spoolex::Take& existing = staircaseTake(*pattern, 10);
    auto active = pattern->activeTakes;
    std::string mono = files.soxWav("m.wav", {5, -7, 9}, 1, "-b 16", 11025);
    ScriptedUi::instance().chooseFile(mono);
    EXPECT_EQ(spoolex::importFromFile(machine(), pattern, &owner, always), TransferResult::Done);
    ASSERT_EQ(pattern->takes.size(), 2u);
    EXPECT_EQ(pattern->takes[0].get(), &existing);
    EXPECT_EQ(pattern->takes[1]->samples(), (std::vector<float>{5, 5, -7, -7, 9, 9}));
    EXPECT_EQ(pattern->takes[1]->sampleRate, 11025);
    EXPECT_EQ(pattern->takes[1]->owner, pattern);
    EXPECT_EQ(pattern->activeTakes, active);

    ScriptedUi::instance().chooseFile(files.soxWav("8.wav", {1, 2}, 1, "-b 8"));
    EXPECT_EQ(spoolex::importFromFile(machine(), pattern, &owner, always), TransferResult::Failed);
    EXPECT_EQ(pattern->takes.size(), 2u);
    ASSERT_EQ(ScriptedUi::instance().messages().size(), 1u);
    auto shown = ScriptedUi::instance().messages()[0];
    EXPECT_EQ(shown.text,
              "Import failed.\n\nThe file format is not recognised by any of the importers.");
    EXPECT_EQ(shown.owner, &owner);
    EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
    EXPECT_FALSE(shown.hasCaption);

    // Cancelled, or no pattern shown: nothing.
    EXPECT_EQ(spoolex::importFromFile(machine(), pattern, &owner, always),
              TransferResult::NothingToDo);
    EXPECT_EQ(spoolex::importFromFile(machine(), nullptr, &owner, always),
              TransferResult::NothingToDo);
    EXPECT_EQ(pattern->takes.size(), 2u);
}

TEST_F(TakeTransfers, ExportDialogListsSlotsAndPreselectsTheFirstFree) {
    putWave16(1, {1}, false, 44100);
    putWave16(2, {1}, false, 44100);
    spoolex::Take& take = staircaseTake(*pattern, 100);
    ScriptedUi::instance().cancelNextExportDialog();
    EXPECT_EQ(spoolex::exportSelectionToWavetable(machine(), pattern, &take, 0, 1, &owner, always),
              TransferResult::NothingToDo);
    ASSERT_EQ(ScriptedUi::instance().exportDialogs().size(), 1u);
    auto dialog = ScriptedUi::instance().exportDialogs()[0];
    ASSERT_EQ(dialog.waves.size(), 200u);
    EXPECT_EQ(dialog.waves[0], "01: w");
    EXPECT_EQ(dialog.waves[1], "02: w");
    EXPECT_EQ(dialog.waves[2], "03");
    EXPECT_EQ(dialog.waves[199], "C8");
    EXPECT_EQ(dialog.preselectedWave, 2);
    EXPECT_EQ(dialog.formats, (std::vector<std::string>{"32-bit float", "16-bit int"}));
    EXPECT_EQ(host.wavetable.info(3), nullptr); // cancelled: nothing written

    for (int slot = 3; slot <= 200; ++slot)
        putWave16(slot, {1}, false, 44100);
    EXPECT_EQ(spoolex::exportSelectionToWavetable(machine(), pattern, &take, 0, 1, &owner, always),
              TransferResult::NothingToDo);
    EXPECT_EQ(ScriptedUi::instance().exportDialogs()[1].preselectedWave, 0);
    EXPECT_EQ(ScriptedUi::instance().exportDialogs()[1].waves[199], "C8: w");

    // "?" explains the formats in a plain box owned by the dialog.
    int dialogWindow = 0;
    spoolex::DlgExportWT::onHelp(&dialogWindow);
    ASSERT_EQ(ScriptedUi::instance().messages().size(), 1u);
    auto help = ScriptedUi::instance().messages()[0];
    EXPECT_EQ(help.owner, &dialogWindow);
    EXPECT_EQ(help.icon, platform::MessageIcon::None);
    EXPECT_EQ(help.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(help.text.substr(0, 35), "32-bit float is higher quality and ");
    EXPECT_NE(help.text.find("support it.\n16-bit int is lower quality"), std::string::npos);
}

TEST_F(TakeTransfers, ExportSelectionAsSixteenBitAndFloatThenImportBack) {
    // 44100 Hz, 126 bpm, 4 ticks per beat: 5250 samples per tick.
    spoolex::Take& take = staircaseTake(*pattern, 3 * 5250);
    take.changeSamples()[0] = 40000.5f;              // beyond full scale: saturated
    ScriptedUi::instance().answerExportDialog(4, 1); // slot 05, 16-bit
    ASSERT_EQ(spoolex::exportSelectionToWavetable(machine(), pattern, &take, 0, 2, &owner, always),
              TransferResult::Done);
    const CWaveLevel* level = host.wavetable.level(5, 0);
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(host.wavetable.info(5)->flags, WaveFlagStereo);
    EXPECT_EQ(level->numSamples, 2 * 5250);
    EXPECT_EQ(level->loopEnd, 2 * 5250);
    EXPECT_STREQ(host.wavetable.name(5), "Exported from Spoolex");
    EXPECT_EQ(level->samples[0], 32767);
    EXPECT_EQ(level->samples[2 * 777], 777);
    EXPECT_EQ(level->samples[2 * 777 + 1], -777);

    // Float, from tick 1 to past the take's end: the missing frames are silence.
    ScriptedUi::instance().answerExportDialog(-1, 0); // the preselected slot, 01
    ASSERT_EQ(
        spoolex::exportSelectionToWavetable(machine(), pattern, &take, 1, 4.5, &owner, always),
        TransferResult::Done);
    ASSERT_NE(host.wavetable.info(1), nullptr);
    level = host.wavetable.level(1, 0);
    const int frames = static_cast<int>(3.5 * 5250);
    EXPECT_EQ(host.wavetable.info(1)->flags, WaveFlagStereo | WaveFlagExtended);
    EXPECT_EQ(level->numSamples, 2 * frames + 8);
    EXPECT_EQ(level->samples[0], 1); // the format code
    float value;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(level->samples) + 8 + 4 * (2 * frames - 1),
                4);
    EXPECT_EQ(value, 0.0f);

    host.wavetable.select(1);
    ASSERT_EQ(spoolex::importFromWavetable(machine(), pattern, &owner), TransferResult::Done);
    const spoolex::Take& back = *pattern->takes.back();
    ASSERT_EQ(back.frameCount(), static_cast<size_t>(frames));
    EXPECT_EQ(std::vector<float>(back.samples().begin(), back.samples().begin() + 2 * 2 * 5250),
              std::vector<float>(take.samples().begin() + 2 * 5250, take.samples().end()));
    EXPECT_EQ(back.samples().back(), 0.0f);
}

TEST_F(TakeTransfers, ImportFromWavetableCases) {
    putWave16(7, {3, -4, 5}, false, 8000);
    host.wavetable.select(7);
    ASSERT_EQ(spoolex::importFromWavetable(machine(), pattern, &owner), TransferResult::Done);
    EXPECT_EQ(pattern->takes.back()->samples(), (std::vector<float>{3, 3, -4, -4, 5, 5}));
    EXPECT_EQ(pattern->takes.back()->sampleRate, 8000);

    // An extended wave with fewer than 8 samples has no frames.
    auto& info = const_cast<CWaveInfo&>(*host.wavetable.info(7));
    auto& level = const_cast<CWaveLevel&>(*host.wavetable.level(7, 0));
    info.flags = WaveFlagExtended | WaveFlagStereo;
    level.numSamples = 3;
    ASSERT_EQ(spoolex::importFromWavetable(machine(), pattern, &owner), TransferResult::Done);
    EXPECT_EQ(pattern->takes.back()->frameCount(), 0u);

    // Float NaN and infinities arrive as silence and the largest values;
    // a rate the take store cannot keep is refused.
    const float floats[] = {std::nanf(""), INFINITY, -INFINITY, 0.5f};
    std::vector<int16_t> extended(4 + 8, 0); // the 8-byte header, then two frames
    extended[0] = 1;                         // float
    std::memcpy(&extended[4], floats, sizeof floats);
    putWave16(8, extended, true, 44100);
    auto& floatLevel = const_cast<CWaveLevel&>(*host.wavetable.level(8, 0));
    const_cast<CWaveInfo&>(*host.wavetable.info(8)).flags = WaveFlagExtended | WaveFlagStereo;
    floatLevel.numSamples = 2 * 2 + 8;
    host.wavetable.select(8);
    ASSERT_EQ(spoolex::importFromWavetable(machine(), pattern, &owner), TransferResult::Done);
    EXPECT_EQ(pattern->takes.back()->samples(),
              (std::vector<float>{0.0f, FLT_MAX, -FLT_MAX, 16384.0f}));
    floatLevel.samplesPerSec = 0;
    EXPECT_EQ(spoolex::importFromWavetable(machine(), pattern, &owner), TransferResult::Failed);

    host.wavetable.select(9); // empty
    auto before = pattern->takes.size();
    EXPECT_EQ(spoolex::importFromWavetable(machine(), pattern, &owner), TransferResult::Failed);
    EXPECT_EQ(pattern->takes.size(), before);
    EXPECT_EQ(texts(), std::vector<std::string>(2, "Wavetable import failed"));
}

TEST_F(TakeTransfers, ExportRefusals) {
    spoolex::Take& take = staircaseTake(*pattern, 10);
    take.sampleRate = 22050; // the wave keeps it, or it would play an octave high
    EXPECT_FALSE(spoolex::exportToWavetable(take, *machine().callbacks, 1, 2, 0, 10));
    EXPECT_FALSE(spoolex::exportToWavetable(take, *machine().callbacks, 1, 0, 5, 4));
    EXPECT_FALSE(spoolex::exportToWavetable(take, *machine().callbacks, 201, 0, 0, 10));
    EXPECT_TRUE(
        spoolex::exportToWavetable(take, *machine().callbacks, 1, 0, 2, spoolex::wholeTake));
    EXPECT_EQ(host.wavetable.level(1, 0)->numSamples, 8);
    EXPECT_EQ(host.wavetable.level(1, 0)->samplesPerSec, 22050);
    // An empty selection shows no dialog.
    EXPECT_EQ(spoolex::exportSelectionToWavetable(machine(), pattern, &take, 2, 2, &owner, always),
              TransferResult::NothingToDo);
    EXPECT_TRUE(ScriptedUi::instance().exportDialogs().empty());
}

} // namespace
