#include <algorithm>

#include "tests/core/GeneratorFixture.h"

namespace {

using MachineLifecycle = GeneratorTest;

const char* const oldHostMessage =
    "Korvane Spoolex will only work in versions of Buzz released on or after 9 August 2008, or "
    "in Buzz clones which implement the same interfaces.";

TEST_F(MachineLifecycle, TheHostReadsValuesThroughItsPointers) {
    spoolex::mi& machine = generatorOf(placeGenerator());
    EXPECT_EQ(machine.globalValues, &machine.values.dummy);
    EXPECT_EQ(static_cast<uint8_t*>(machine.attributeValues),
              reinterpret_cast<uint8_t*>(&machine.values) + 1);
    EXPECT_EQ(machine.trackValues, nullptr);
    EXPECT_EQ(machine.extensionInterface(), &machine.ex);
    EXPECT_EQ(machine.ex.owner, &machine);
    EXPECT_EQ(editorViewOf(machine)->machine, &machine);
    EXPECT_EQ(editorViewOf(machine)->hostServices, machine.callbacks);
}

TEST_F(MachineLifecycle, CrossfadeStepFollowsTheAttribute) {
    host::HostMachine* placed = placeGenerator();
    spoolex::mi& machine = generatorOf(placed);
    EXPECT_FLOAT_EQ(machine.crossfadeStep(), 0.01f);
    host.setAttribute(*placed, 0, 1);
    EXPECT_EQ(machine.crossfadeStep(), 1.0f);
    host.setAttribute(*placed, 0, 100);
    EXPECT_EQ(machine.crossfadeStep(), 1.0f / 100.0f);
    host.setAttribute(*placed, 0, 1000);
    EXPECT_EQ(machine.crossfadeStep(), 1.0f / 1000.0f);
}

TEST_F(MachineLifecycle, AnOldHostIsToldOncePerMachineAndTheMachineWorks) {
    host.version = 1;
    host::HostMachine* first = placeGenerator("one");
    host::HostMachine* second = placeGenerator("two");
    auto shown = shownMessages();
    ASSERT_EQ(shown.size(), 2u);
    for (const auto& message : shown) {
        EXPECT_EQ(message.text, oldHostMessage);
        EXPECT_EQ(message.caption, "Korvane Spoolex");
        EXPECT_EQ(message.icon, platform::MessageIcon::Error);
        EXPECT_EQ(message.owner, nullptr);
    }
    EXPECT_EQ(host.subMenu(*first, 1), std::vector<std::string>{"Arm"});
    EXPECT_EQ(host.subMenu(*second, 0), std::vector<std::string>{"*None"});
}

TEST_F(MachineLifecycle, AHostWithoutTheExtendedInterfaceIsToldToo) {
    host.extendedHost = false;
    placeGenerator();
    ASSERT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(shownMessages()[0].text, oldHostMessage);
}

TEST_F(MachineLifecycle, ACurrentHostHearsNothing) {
    placeGenerator();
    EXPECT_TRUE(shownMessages().empty());
}

TEST_F(MachineLifecycle, OwnMachineEventCallsTheHostServiceWithTheOwnHandle) {
    host::HostMachine* placed = placeGenerator();
    host.raiseEvent(placed->handle(), HostEventOwnMachine, nullptr);
    ASSERT_EQ(host.ownMachineEvents.size(), 1u);
    EXPECT_EQ(host.ownMachineEvents[0], placed->handle());
}

TEST_F(MachineLifecycle, MachinesLeaveTheInstanceListInAnyOrder) {
    auto& instances = spoolex::generatorInstances();
    size_t before = instances.size();
    host::HostMachine* a = placeGenerator("a");
    host::HostMachine* b = placeGenerator("b");
    host::HostMachine* c = placeGenerator("c");
    spoolex::mi* machineA = &generatorOf(a);
    spoolex::mi* machineC = &generatorOf(c);
    ASSERT_EQ(instances.size(), before + 3);
    host.destroyMachine(b);
    EXPECT_EQ(instances, (std::vector<spoolex::mi*>{machineA, machineC}));
    host.destroyMachine(a);
    EXPECT_EQ(instances, std::vector<spoolex::mi*>{machineC});
    host::HostMachine* d = placeGenerator("d");
    EXPECT_EQ(instances, (std::vector<spoolex::mi*>{machineC, &generatorOf(d)}));
    host.destroyMachine(c);
    host.destroyMachine(d);
    EXPECT_EQ(instances.size(), before);
}

TEST_F(MachineLifecycle, TempoChangesAreNoticedOnTheTick) {
    spoolex::mi& machine = generatorOf(placeGenerator());
    machine.takeRedrawRequest();
    host.setTiming(44100, 140, 8);
    host.tick();
    EXPECT_TRUE(machine.takeRedrawRequest());
    host.tick(); // the same tempo again: nothing to redraw
    EXPECT_FALSE(machine.takeRedrawRequest());
    host.setTiming(44100, 140, 4);
    host.tick();
    EXPECT_TRUE(machine.takeRedrawRequest());
}

} // namespace
