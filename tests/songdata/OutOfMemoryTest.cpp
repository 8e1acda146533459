// Loading and saving when memory runs out: the host hears of it, nothing
// escapes a slot, and what was sound is kept.
#include <filesystem>
#include <random>

#include "generator/machine/SongData.h"
#include "generator/wavestore/Exporter.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/AllocationProbe.h"

namespace {

using testsupport::largestAllocation;

class OutOfMemory : public GeneratorTest {
protected:
    void TearDown() override {
        largestAllocation = testsupport::anyAllocation;
        GeneratorTest::TearDown();
    }

    host::HostMachine* machineWith(const std::vector<std::pair<std::string, size_t>>& takes) {
        host::HostMachine* placed = placeGenerator();
        spoolex::mi& machine = generatorOf(placed);
        std::mt19937 random(5);
        std::uniform_real_distribution<float> value(-30000.0f, 30000.0f);
        for (const auto& [name, frames] : takes) {
            host.createPattern(*placed, name, 16);
            spoolex::Pattern& pattern = *machine.findPattern(host.findPattern(name)->handle());
            spoolex::Take& take = pattern.addTake();
            take.changeSamples().resize(2 * frames);
            if (name != "Silent")
                for (float& v : take.changeSamples())
                    v = value(random);
        }
        return placed;
    }

    const spoolex::Take& waitingTake(host::HostMachine* placed, const std::string& pattern) {
        return *generatorOf(placed).awaitingPattern(pattern)->takes.at(0);
    }

    bool heard(const std::string& part) const {
        for (const std::string& message : host.messages)
            if (message.find(part) != std::string::npos)
                return true;
        return false;
    }
};

TEST_F(OutOfMemory, ASongAskingForMoreSilenceThanFitsLoadsTheRest) {
    // Two million frames of silence compress to a few kilobytes.
    host::HostMachine* source = machineWith({{"Good", 1000}, {"Silent", 2000000}, {"Last", 500}});
    const std::vector<uint8_t> song = host.saveSongData(*source);
    ASSERT_LT(song.size(), size_t{200000});

    largestAllocation = size_t{4} << 20;
    host::HostMachine* loaded = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Loaded", &song);
    largestAllocation = testsupport::anyAllocation;

    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(heard("not enough memory for one of its takes"));
    EXPECT_EQ(
        waitingTake(loaded, "Good").samples(),
        generatorOf(source).findPattern(host.findPattern("Good")->handle())->takes[0]->samples());
    EXPECT_TRUE(waitingTake(loaded, "Silent").samples().empty());
    EXPECT_EQ(waitingTake(loaded, "Last").frameCount(), 500u);
}

TEST_F(OutOfMemory, ATakeThatCannotBeCompressedOnSaveIsReported) {
    host::HostMachine* source = machineWith({{"Big", 1000000}, {"Small", 1000}});
    largestAllocation = size_t{2} << 20;
    const std::vector<uint8_t> song = host.saveSongData(*source);
    largestAllocation = testsupport::anyAllocation;
    EXPECT_TRUE(heard("could not store take 0 of the pattern \"Big\""));

    host.messages.clear();
    host::HostMachine* loaded = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Loaded", &song);
    EXPECT_EQ(waitingTake(loaded, "Small").frameCount(), 1000u);
    EXPECT_TRUE(waitingTake(loaded, "Big").samples().empty());
}

TEST_F(OutOfMemory, AWavExportWithoutRoomForItsBufferOpensNoFile) {
    spoolex::Take take;
    take.changeSamples().assign(2000, 1.0f);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "spoolex-no-room-export.wav";
    std::filesystem::remove(path);
    spoolex::WavExporter exporter(spoolex::WavSampleFormat::Int16);
    largestAllocation = size_t{128} << 10;
    EXPECT_THROW(exporter.exportRange(take, path.string(), 0, 1000), std::bad_alloc);
    largestAllocation = testsupport::anyAllocation;
    // Nothing was opened, so nothing is left open or half made.
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
