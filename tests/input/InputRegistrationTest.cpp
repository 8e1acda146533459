// Input machines and generators finding each other.
#include "generator/machine/InputRegistry.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/GearPaths.h"

namespace {

using platform::testing::ScriptedUi;

TEST(InputRegistration, BothPluginsFindEachOtherThroughTheirExports) {
    host::Host host;
    host.echoMessages = false;
    std::string error;
    host::PluginLibrary* generatorPlugin =
        host.loadPlugin(testsupport::generatorPluginPath(), error);
    host::PluginLibrary* inputPlugin = host.loadPlugin(testsupport::inputPluginPath(), error);
    ASSERT_TRUE(generatorPlugin && inputPlugin) << error;

    host::HostMachine* generator = host.createMachine(*generatorPlugin, "Spoolex");
    host::HostMachine* mic = host.createMachine(*inputPlugin, "Mic");
    host::HostMachine* guitar = host.createMachine(*inputPlugin, "Guitar");
    EXPECT_TRUE(ScriptedUi::instance().messages().empty());
    EXPECT_EQ(host.subMenu(*generator, 0), (std::vector<std::string>{"*None", "Mic", "Guitar"}));

    host.runCommand(*generator, (1 << 8) | 2);
    EXPECT_EQ(host.subMenu(*generator, 0), (std::vector<std::string>{"None", "Mic", "*Guitar"}));

    // The chosen source leaves: the generator is left without one.
    host.destroyMachine(guitar);
    EXPECT_EQ(host.subMenu(*generator, 0), (std::vector<std::string>{"*None", "Mic"}));
    host.destroyMachine(mic);
    EXPECT_EQ(host.subMenu(*generator, 0), std::vector<std::string>{"*None"});
    EXPECT_TRUE(ScriptedUi::instance().messages().empty());
}

using Registry = GeneratorTest;

TEST_F(Registry, APendingNameIsTakenByEveryGeneratorThatWaitsForIt) {
    spoolex::mi& first = generatorOf(placeGenerator("one"));
    spoolex::mi& second = generatorOf(placeGenerator("two"));
    spoolex::mi& other = generatorOf(placeGenerator("three"));
    first.nameRecordSource("Mic");
    second.nameRecordSource("Mic");
    other.nameRecordSource("mic"); // names compare exactly

    InputMachine::Fields* mic = testsupport::placeFakeInput(host, "Mic");
    spoolex::registerInput(mic);
    EXPECT_EQ(first.recordSource(), mic);
    EXPECT_EQ(second.recordSource(), mic);
    EXPECT_EQ(other.recordSource(), nullptr);
    EXPECT_EQ(spoolex::inputRegistry(), std::vector<InputMachine::Fields*>{mic});

    spoolex::unregisterInput(mic);
    EXPECT_EQ(first.recordSource(), nullptr);
    EXPECT_EQ(second.recordSource(), nullptr);
    EXPECT_TRUE(spoolex::inputRegistry().empty());
    EXPECT_TRUE(shownMessages().empty());
}

TEST_F(Registry, UnregisteringAStrangerIsReportedAndStillClearsGenerators) {
    spoolex::mi& generator = generatorOf(placeGenerator());
    InputMachine::Fields* a = testsupport::placeFakeInput(host, "A");
    InputMachine::Fields* b = testsupport::placeFakeInput(host, "B");
    spoolex::registerInput(a);
    generator.setRecordSource(b); // never registered
    spoolex::unregisterInput(b);
    ASSERT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(shownMessages()[0].text,
              "Bug in Korvane Spoolex: attempt to unregister an input machine which was never "
              "registered in the first place.");
    EXPECT_EQ(generator.recordSource(), nullptr);
    EXPECT_EQ(spoolex::inputRegistry(), std::vector<InputMachine::Fields*>{a});
}

} // namespace
