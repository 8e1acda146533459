#include "tests/core/GeneratorFixture.h"

namespace {

using MachineMenu = GeneratorTest;

constexpr int recordSourceMenu = 0;
constexpr int armMenu = 1;

int command(int subMenu, int item) {
    return (subMenu << 8) | item;
}

TEST_F(MachineMenu, RecordSourceMenuWithNoInputsOffersOnlyNoneChecked) {
    host::HostMachine* generator = placeGenerator();
    EXPECT_EQ(host.subMenu(*generator, recordSourceMenu), std::vector<std::string>{"*None"});
}

TEST_F(MachineMenu, RecordSourceMenuListsInputsByTheirCurrentNames) {
    host::HostMachine* generator = placeGenerator();
    registerInput("Mic");
    EXPECT_EQ(host.subMenu(*generator, recordSourceMenu),
              (std::vector<std::string>{"*None", "Mic"}));

    InputMachine::Fields* second = registerInput("Guitar");
    host.runCommand(*generator, command(1, 2));
    EXPECT_EQ(generatorOf(generator).recordSource(), second);
    EXPECT_TRUE(host.songModified);
    EXPECT_EQ(host.subMenu(*generator, recordSourceMenu),
              (std::vector<std::string>{"None", "Mic", "*Guitar"}));

    // A rename shows at once: names are asked for each time.
    host.findMachine("Guitar")->name = "Bass";
    EXPECT_EQ(host.subMenu(*generator, recordSourceMenu),
              (std::vector<std::string>{"None", "Mic", "*Bass"}));

    host.runCommand(*generator, command(1, 0));
    EXPECT_EQ(generatorOf(generator).recordSource(), nullptr);
}

TEST_F(MachineMenu, ChoosingAnItemPastTheRegistryKeepsTheCurrentSource) {
    host::HostMachine* generator = placeGenerator();
    InputMachine::Fields* mic = registerInput("Mic");
    host.runCommand(*generator, command(1, 1));
    host.runCommand(*generator, command(1, 5));
    EXPECT_EQ(generatorOf(generator).recordSource(), mic);
}

TEST_F(MachineMenu, ArmTogglesAndTheMenuShowsIt) {
    host::HostMachine* generator = placeGenerator();
    EXPECT_EQ(host.subMenu(*generator, armMenu), std::vector<std::string>{"Arm"});
    host.runCommand(*generator, command(2, 0));
    EXPECT_TRUE(generatorOf(generator).isArmed());
    EXPECT_EQ(host.subMenu(*generator, armMenu), std::vector<std::string>{"*Arm"});
    host.runCommand(*generator, command(2, 0));
    EXPECT_FALSE(generatorOf(generator).isArmed());
    // Other sub-menu numbers build nothing.
    EXPECT_TRUE(host.subMenu(*generator, 2).empty());
    EXPECT_TRUE(host.subMenu(*generator, -1).empty());
}

TEST_F(MachineMenu, StoppingDisarms) {
    host::HostMachine* generator = placeGenerator();
    host.runCommand(*generator, command(2, 0));
    generator->machine->onStop();
    EXPECT_FALSE(generatorOf(generator).isArmed());
}

TEST_F(MachineMenu, AboutShowsAnInformationBox) {
    host::HostMachine* generator = placeGenerator();
    host.runCommand(*generator, command(0, 3));
    auto shown = shownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::Information);
    EXPECT_NE(shown[0].text.find("Korvane Spoolex"), std::string::npos);
    // The items that only open sub-menus do nothing.
    host.runCommand(*generator, command(0, 0));
    host.runCommand(*generator, command(0, 1));
    EXPECT_EQ(shownMessages().size(), 1u);
}

TEST_F(MachineMenu, OnlyCopyCutAndPasteAreAskedAbout) {
    host::HostMachine* generator = placeGenerator();
    CMachineInterfaceEx* ex = generator->extension;
    ASSERT_NE(ex, nullptr);
    EXPECT_TRUE(ex->isCommandEnabled(0xE122));
    EXPECT_TRUE(ex->isCommandEnabled(0xE123));
    // Nothing on the audio clipboard yet.
    EXPECT_FALSE(ex->isCommandEnabled(0xE125));
    for (int id : {0, 0xE121, 0xE124, 0xE126, 32786, -1})
        EXPECT_FALSE(ex->isCommandEnabled(id)) << id;
    EXPECT_TRUE(ex->query48());
}

} // namespace
