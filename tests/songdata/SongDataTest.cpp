// Song data: what a machine writes into the song and reads back. Nothing a
// musician recorded may be lost or changed on the way.
#include <chrono>
#include <cstring>
#include <random>

#include "generator/machine/InputRegistry.h"
#include "generator/machine/SongData.h"
#include "tests/core/GeneratorFixture.h"

namespace {

using platform::testing::ScriptedUi;

// Builds song data by hand, field by field.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& u8(uint8_t v) {
        data.push_back(v);
        return *this;
    }
    Bytes& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& f64(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i)
            data.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        return *this;
    }
    Bytes& text(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        data.push_back(0);
        return *this;
    }
};

class SongData : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        spoolex::projectFolder().clear();
    }
    void TearDown() override {
        spoolex::projectFolder().clear();
        GeneratorTest::TearDown();
    }

    host::HostMachine* loadGenerator(const std::vector<uint8_t>& songData,
                                     const std::string& name = "Spoolex") {
        return host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, name, &songData);
    }

    static spoolex::Pattern* awaiting(host::HostMachine* placed, const std::string& name) {
        return generatorOf(placed).awaitingPattern(name);
    }

    // A take of random stereo samples in the host scale.
    static spoolex::Take& randomTake(spoolex::Pattern& pattern, size_t frames, unsigned seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> value(-32768.0f, 32767.0f);
        spoolex::Take& take = pattern.addTake();
        take.changeSamples().resize(2 * frames);
        for (float& s : take.changeSamples())
            s = value(random);
        return take;
    }

    // Two patterns with takes, entries naming takes and none.
    host::HostMachine* richMachine() {
        host::HostMachine* placed = placeGenerator();
        spoolex::mi& m = generatorOf(placed);
        host.createPattern(*placed, "Verse", 16);
        host.createPattern(*placed, "Chorus", 32);
        spoolex::Pattern& verse = *m.findPattern(host.findPattern("Verse")->handle());
        spoolex::Pattern& chorus = *m.findPattern(host.findPattern("Chorus")->handle());
        spoolex::Take& a = randomTake(verse, 5000, 1);
        spoolex::Take& b = randomTake(verse, 1, 2);
        verse.addTake(); // an empty take
        verse.assignTake(0, 4, &a);
        verse.assignTake(8, 12, &b);
        verse.tidyActiveTakes();
        spoolex::Take& c = randomTake(chorus, 70000, 3);
        c.sampleRate = 48000;
        chorus.assignTake(2.5, 32, &c);
        chorus.tidyActiveTakes();
        m.grid.coarseFactor = 8;
        m.grid.fineTicks = 2;
        m.grid.snapMode = 3;
        spoolex::projectFolder() = "/songs/takes";
        return placed;
    }

    // Loads data into a fresh machine and announces the patterns of a rich
    // machine to it.
    host::HostMachine* reload(const std::vector<uint8_t>& data, const std::string& name) {
        host::HostMachine* placed = loadGenerator(data, name);
        host.createPattern(*placed, "Verse", 16);
        host.createPattern(*placed, "Chorus", 32);
        return placed;
    }
};

TEST_F(SongData, AnEmptyMachineSavesItsHeaderAndNothingElse) {
    host::HostMachine* placed = placeGenerator();
    Bytes expected;
    expected.u8(4).u8(4).u8(0).text("").u32(4).u32(4).u32(1).u32(0);
    EXPECT_EQ(host.saveSongData(*placed), expected.data);

    spoolex::projectFolder() = "C:\\Music";
    Bytes withFolder;
    withFolder.u8(4).u8(4).u8(0).text("C:\\Music").u32(4).u32(4).u32(1).u32(0);
    EXPECT_EQ(host.saveSongData(*placed), withFolder.data);
}

TEST_F(SongData, SaveLoadSaveGivesTheSameBytesAndTheSameAudio) {
    host::HostMachine* original = richMachine();
    std::vector<uint8_t> saved = host.saveSongData(*original);
    spoolex::projectFolder().clear();

    host::HostMachine* copy = reload(saved, "Copy");
    EXPECT_TRUE(host.messages.empty());
    // Patterns are saved in the order of the host's handles, which a host
    // need not keep across a reload; so bytes are compared pattern by
    // pattern below, and whole for a single pattern.
    std::vector<uint8_t> again = host.saveSongData(*copy);
    EXPECT_EQ(again.size(), saved.size());

    spoolex::mi& a = generatorOf(original);
    spoolex::mi& b = generatorOf(copy);
    EXPECT_TRUE(b.awaitingPatternNames().empty());
    for (const char* name : {"Verse", "Chorus"}) {
        spoolex::Pattern& p = *a.findPattern(host.findPattern(name)->handle());
        spoolex::Pattern* q = nullptr;
        for (spoolex::Pattern* pattern : b.patterns())
            if (host.patternName(pattern->hostPattern) == std::string(name))
                q = pattern;
        ASSERT_NE(q, nullptr) << name;
        ASSERT_EQ(p.takes.size(), q->takes.size());
        for (size_t i = 0; i < p.takes.size(); ++i) {
            EXPECT_EQ(p.takes[i]->samples(), q->takes[i]->samples()) << name << " take " << i;
            EXPECT_EQ(p.takes[i]->sampleRate, q->takes[i]->sampleRate);
        }
        ASSERT_EQ(p.activeTakes.size(), q->activeTakes.size());
        for (size_t i = 0; i < p.activeTakes.size(); ++i) {
            EXPECT_EQ(p.activeTakes[i].startTick, q->activeTakes[i].startTick);
            auto indexOf = [](const spoolex::Pattern& in, const spoolex::Take* take) {
                return take ? in.takeIndex(*take) : -1;
            };
            EXPECT_EQ(indexOf(p, p.activeTakes[i].take), indexOf(*q, q->activeTakes[i].take));
        }
    }
    EXPECT_EQ(b.grid.coarseFactor, 8);
    EXPECT_EQ(b.grid.fineTicks, 2);
    EXPECT_EQ(b.grid.snapMode, 3u);
    EXPECT_EQ(spoolex::projectFolder(), "/songs/takes");
}

TEST_F(SongData, OnePatternSavesLoadsAndSavesToTheSameBytes) {
    host::HostMachine* placed = placeGenerator();
    host.createPattern(*placed, "Only", 16);
    spoolex::Pattern& pattern =
        *generatorOf(placed).findPattern(host.findPattern("Only")->handle());
    spoolex::Take& a = randomTake(pattern, 3000, 11);
    spoolex::Take& b = randomTake(pattern, 70000, 12);
    pattern.addTake();
    pattern.assignTake(1, 5, &b);
    pattern.assignTake(5, 9.25, &a);
    pattern.tidyActiveTakes();
    std::vector<uint8_t> saved = host.saveSongData(*placed);
    host::HostMachine* copy = loadGenerator(saved, "Copy");
    host.createPattern(*copy, "Only", 16);
    EXPECT_EQ(host.saveSongData(*copy), saved);
}

TEST_F(SongData, OlderLayoutsLoad) {
    // Version 1: no folder, no grid, straight to the patterns; the old field
    // follows each length.
    Bytes v1;
    v1.u8(4)
        .u8(1)
        .text("")
        .u32(1)
        .text("A")
        .u32(8)
        .u32(77)
        .u32(1)
        .u8(0)
        .u32(2)
        .f64(0)
        .u32(0)
        .f64(4)
        .u32(0xffffffff);
    host::HostMachine* one = loadGenerator(v1.data);
    spoolex::Pattern* a = awaiting(one, "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->length, 8);
    ASSERT_EQ(a->takes.size(), 1u);
    ASSERT_EQ(a->activeTakes.size(), 2u);
    EXPECT_EQ(a->activeTakes[0].take, a->takes[0].get());
    EXPECT_EQ(a->activeTakes[1].startTick, 4.0);
    EXPECT_EQ(a->activeTakes[1].take, nullptr);
    EXPECT_EQ(generatorOf(one).grid.coarseFactor, 4); // untouched

    // Version 3: folder, grid, and the old field after each length.
    Bytes v3;
    v3.u8(4).u8(3).text("").text("/v3").u32(2).u32(16).u32(0).u32(1).text("B").u32(12).u32(
        0xdeadbeef);
    v3.u32(0).u32(1).f64(0).u32(0xffffffff);
    host::HostMachine* three = loadGenerator(v3.data);
    ASSERT_NE(awaiting(three, "B"), nullptr);
    EXPECT_EQ(awaiting(three, "B")->length, 12);
    EXPECT_EQ(generatorOf(three).grid.fineTicks, 16);
    EXPECT_EQ(spoolex::projectFolder(), "/v3");

    // A newer version is reported and read by the newest rules known.
    Bytes v5;
    v5.u8(4).u8(5).text("").text("/v3").u32(4).u32(4).u32(1).u32(1).text("C").u32(4).u32(0).u32(0);
    host::HostMachine* five = loadGenerator(v5.data);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Korvane Spoolex got incompatible song data"});
    ASSERT_NE(awaiting(five, "C"), nullptr);
    EXPECT_EQ(awaiting(five, "C")->length, 4);
    EXPECT_TRUE(shownMessages().empty());
}

TEST_F(SongData, AnUnknownTakeFormatIsReportedAndTheRestStillLoads) {
    Bytes data;
    data.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(2);
    data.text("A").u32(4).u32(2).u8(7).u8(0).u32(1).f64(0).u32(1);
    data.text("B").u32(6).u32(0).u32(0);
    host::HostMachine* placed = loadGenerator(data.data);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Unrecognised data format"});
    ASSERT_NE(awaiting(placed, "A"), nullptr);
    EXPECT_EQ(awaiting(placed, "A")->takes.size(), 2u);
    EXPECT_EQ(awaiting(placed, "A")->activeTakes[0].take, awaiting(placed, "A")->takes[1].get());
    ASSERT_NE(awaiting(placed, "B"), nullptr);
    EXPECT_EQ(awaiting(placed, "B")->length, 6);
}

TEST_F(SongData, AnEmptyStreamIsReportedAndTheSongGoesOn) {
    Bytes data;
    data.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(2);
    data.text("A").u32(4).u32(1).u8(1).u32(0).u32(1).f64(0).u32(0);
    data.text("B").u32(6).u32(0).u32(0);
    host::HostMachine* placed = loadGenerator(data.data);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("An error occurred while loading pattern data for Korvane "
                                     "Spoolex.\n\nWavpackOpenFileInputEx error:\n",
                                     0),
              0u);
    ASSERT_NE(awaiting(placed, "A"), nullptr);
    EXPECT_TRUE(awaiting(placed, "A")->takes[0]->samples().empty());
    ASSERT_NE(awaiting(placed, "B"), nullptr);
}

TEST_F(SongData, ATruncatedSongKeepsEverythingReadWhole) {
    std::vector<uint8_t> saved = host.saveSongData(*richMachine());
    spoolex::mi& original = generatorOf(host.machines().back().get());
    const spoolex::Pattern& verse = *original.findPattern(host.findPattern("Verse")->handle());
    // Patterns are saved in handle order; find which comes first.
    bool verseFirst = original.patterns().front() == &verse;

    for (size_t keep : {saved.size() - 1, saved.size() - 20, saved.size() / 2, size_t{40},
                        size_t{10}, size_t{1}, size_t{0}}) {
        host.messages.clear();
        spoolex::projectFolder().clear();
        std::vector<uint8_t> cut(saved.begin(), saved.begin() + keep);
        host::HostMachine* placed = loadGenerator(cut, "cut" + std::to_string(keep));
        spoolex::mi& m = generatorOf(placed);
        if (keep >= saved.size() / 2 && verseFirst) {
            // The first pattern was read whole: every take intact.
            spoolex::Pattern* read = awaiting(placed, "Verse");
            ASSERT_NE(read, nullptr) << keep;
            ASSERT_EQ(read->takes.size(), verse.takes.size());
            for (size_t i = 0; i < verse.takes.size(); ++i)
                EXPECT_EQ(read->takes[i]->samples(), verse.takes[i]->samples());
        }
        EXPECT_LE(m.awaitingPatternNames().size(), 2u);
        host.destroyMachine(placed);
    }
}

TEST_F(SongData, HostileCountsEndQuicklyWithAMessage) {
    auto start = std::chrono::steady_clock::now();
    Bytes patterns;
    patterns.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(0x7fffffff);
    loadGenerator(patterns.data, "p");
    Bytes takes;
    takes.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(1).text("A").u32(4).u32(
        0x7fffffff);
    host::HostMachine* t = loadGenerator(takes.data, "t");
    Bytes entries;
    entries.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(1).text("A").u32(4).u32(0).u32(
        0x7fffffff);
    host::HostMachine* e = loadGenerator(entries.data, "e");
    Bytes stream;
    stream.u8(4)
        .u8(4)
        .text("")
        .text("")
        .u32(4)
        .u32(4)
        .u32(1)
        .u32(1)
        .text("A")
        .u32(4)
        .u32(1)
        .u8(1)
        .u32(0xffffffff);
    loadGenerator(stream.data, "s");
    // Generous: the point is that nothing reads billions of records.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_GE(host.messages.size(), 4u);
    for (const std::string& message : host.messages)
        EXPECT_NE(message.find("Korvane Spoolex"), std::string::npos) << message;
    ASSERT_NE(awaiting(t, "A"), nullptr);
    EXPECT_LT(awaiting(t, "A")->takes.size(), 1000000u);
    ASSERT_NE(awaiting(e, "A"), nullptr);
    EXPECT_LE(awaiting(e, "A")->activeTakes.size(), 2u);
}

TEST_F(SongData, TwoMachinesShareOneProjectFolder) {
    Bytes first;
    first.u8(4).u8(4).text("").text("/first").u32(4).u32(4).u32(1).u32(0);
    Bytes second;
    second.u8(4).u8(4).text("").text("/second").u32(4).u32(4).u32(1).u32(0);
    loadGenerator(first.data, "one");
    EXPECT_EQ(spoolex::projectFolder(), "/first");
    loadGenerator(second.data, "two");
    EXPECT_EQ(spoolex::projectFolder(), "/first");
    auto shown = shownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Spoolex wave path mismatch.\nIf you were trying to import a bmx, "
                             "this isn't supported yet.");
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::Error);
    // The same folder again is no mismatch.
    loadGenerator(first.data, "three");
    EXPECT_EQ(shownMessages().size(), 1u);
}

TEST_F(SongData, TheRecordSourceIsFoundByNameNowOrLater) {
    Bytes data;
    data.u8(4).u8(4).text("Mic").text("").u32(4).u32(4).u32(1).u32(0);

    InputMachine::Fields* early = registerInput("Mic");
    spoolex::mi& found = generatorOf(loadGenerator(data.data, "found"));
    EXPECT_EQ(found.recordSource(), early);
    EXPECT_TRUE(found.awaitedRecordSource().empty());

    Bytes other;
    other.u8(4).u8(4).text("Guitar").text("").u32(4).u32(4).u32(1).u32(0);
    spoolex::mi& waiting = generatorOf(loadGenerator(other.data, "waiting"));
    EXPECT_EQ(waiting.recordSource(), nullptr);
    EXPECT_EQ(waiting.awaitedRecordSource(), "Guitar");
    InputMachine::Fields* guitar = testsupport::placeFakeInput(host, "Guitar");
    spoolex::registerInput(guitar);
    EXPECT_EQ(waiting.recordSource(), guitar);
    // The source's current name is what the song keeps.
    Bytes expected;
    expected.u8(4).u8(4).text("Guitar").text("").u32(4).u32(4).u32(1).u32(0);
    EXPECT_EQ(host.saveSongData(*host.findMachine("waiting")), expected.data);
}

TEST_F(SongData, ASourceNamedButNotThereIsSavedUntilTheUserChoosesAnother) {
    Bytes data;
    data.u8(4).u8(4).text("Ghost").text("").u32(4).u32(4).u32(1).u32(0);
    host::HostMachine* placed = loadGenerator(data.data);
    EXPECT_EQ(host.saveSongData(*placed), data.data);
    generatorOf(placed).chooseRecordSource(nullptr);
    Bytes none;
    none.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(0);
    EXPECT_EQ(host.saveSongData(*placed), none.data);
}

TEST_F(SongData, RestoredPatternsTheHostNeverNamesAreNotSaved) {
    Bytes data;
    data.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(2);
    data.text("Kept").u32(32).u32(0).u32(1).f64(0).u32(0xffffffff);
    data.text("Lost").u32(4).u32(0).u32(0);
    host::HostMachine* placed = loadGenerator(data.data);
    host.createPattern(*placed, "Kept", 16);
    Bytes expected;
    expected.u8(4).u8(4).text("").text("").u32(4).u32(4).u32(1).u32(1);
    expected.text("Kept").u32(16).u32(0).u32(1).f64(0).u32(0xffffffff);
    EXPECT_EQ(host.saveSongData(*placed), expected.data);
}

} // namespace
