// The host calls machines, and machines call the host, by table position.
// These checks read each operation's position from the compiler itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "hostsdk/MachineInterface.h"

namespace {

// Under the Itanium C++ ABI (g++ on every platform we build with) a pointer to
// a virtual member function holds 1 + the byte offset of its table entry.
template <typename F> int slotOf(F function) {
    struct {
        uintptr_t pointer;
        ptrdiff_t adjustment;
    } representation;
    static_assert(sizeof(function) == sizeof(representation), "Itanium member pointer");
    std::memcpy(&representation, &function, sizeof representation);
    EXPECT_EQ(representation.pointer % sizeof(void*), 1u) << "not a virtual operation";
    return static_cast<int>((representation.pointer - 1) / sizeof(void*));
}

TEST(SlotLayout, MachineInterfaceSlotsSitWhereTheHostCallsThem) {
    using M = CMachineInterface;
    EXPECT_EQ(slotOf(&M::destroy), 0);
    EXPECT_EQ(slotOf(&M::initFromSong), 1);
    EXPECT_EQ(slotOf(&M::onTick), 2);
    EXPECT_EQ(slotOf(&M::renderMono), 3);
    EXPECT_EQ(slotOf(&M::renderStereo), 4);
    EXPECT_EQ(slotOf(&M::onStop), 5);
    EXPECT_EQ(slotOf(&M::saveSongData), 6);
    EXPECT_EQ(slotOf(&M::onAttributesChanged), 7);
    EXPECT_EQ(slotOf(&M::runCommand), 8);
    EXPECT_EQ(slotOf(&M::describeValue), 14);
    EXPECT_EQ(slotOf(&M::extensionInterface), 19);
    EXPECT_EQ(slotOf(&M::reserved20), 20);
}

TEST(SlotLayout, ExtensionSlotsSitWhereTheHostCallsThem) {
    using X = CMachineInterfaceEx;
    EXPECT_EQ(slotOf(&X::buildSubMenu), 2);
    EXPECT_EQ(slotOf(&X::onPatternCreated), 10);
    EXPECT_EQ(slotOf(&X::onPatternCopied), 11);
    EXPECT_EQ(slotOf(&X::onPatternDeleted), 12);
    EXPECT_EQ(slotOf(&X::onPatternLengthChanged), 14);
    EXPECT_EQ(slotOf(&X::onPatternPlay), 15);
    EXPECT_EQ(slotOf(&X::createEditorWindow), 16);
    EXPECT_EQ(slotOf(&X::showPattern), 17);
    EXPECT_EQ(slotOf(&X::isCommandEnabled), 20);
    EXPECT_EQ(slotOf(&X::paintPatternBox), 21);
    EXPECT_EQ(slotOf(&X::query48), 48);
}

TEST(SlotLayout, HostServicesSitWhereTheMachinesCallThem) {
    using H = CMICallbacks;
    EXPECT_EQ(slotOf(&H::waveInfo), 0);
    EXPECT_EQ(slotOf(&H::waveLevel), 1);
    EXPECT_EQ(slotOf(&H::hostMessage), 2);
    EXPECT_EQ(slotOf(&H::allocateWave), 10);
    EXPECT_EQ(slotOf(&H::probeExtendedHost), 16);
    EXPECT_EQ(slotOf(&H::patternNameOf), 20);
    EXPECT_EQ(slotOf(&H::registerExtension), 29);
    EXPECT_EQ(slotOf(&H::ownMachine), 34);
    EXPECT_EQ(slotOf(&H::setParameterFromControl), 35);
    EXPECT_EQ(slotOf(&H::hostStateFlags), 38);
    EXPECT_EQ(slotOf(&H::subscribeEvent), 40);
    EXPECT_EQ(slotOf(&H::waveName), 41);
    EXPECT_EQ(slotOf(&H::machineInfoOf), 45);
    EXPECT_EQ(slotOf(&H::machineNameOf), 46);
    EXPECT_EQ(slotOf(&H::hostVersion), 48);
    EXPECT_EQ(slotOf(&H::markSongModified), 61);
    EXPECT_EQ(slotOf(&H::themeColour), 64);
    EXPECT_EQ(slotOf(&H::selectedWave), 77);
    EXPECT_EQ(slotOf(&H::onOwnMachineEvent), 82);
    EXPECT_EQ(slotOf(&H::sequenceRank), 84);
}

TEST(SlotLayout, StreamsHaveOneOperationEach) {
    EXPECT_EQ(slotOf(&CMachineDataInput::read), 0);
    EXPECT_EQ(slotOf(&CMachineDataOutput::write), 0);
}

} // namespace
