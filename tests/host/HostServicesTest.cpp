#include <gtest/gtest.h>

#include <cstring>

#include "host/Host.h"
#include "host/MachineServices.h"

namespace {

// A machine that records what the host does to it.
class ProbeMachine final : public CMachineInterface {
public:
    ProbeMachine() {
        globalValues = values;
        attributeValues = attributes;
    }
    void* destroy(unsigned flags) override {
        if (flags & 1)
            delete this;
        return this;
    }
    void initFromSong(CMachineDataInput*) override {
        own = callbacks->ownMachine();
        callbacks->subscribeEvent(
            own, 3,
            [](CMachineInterface* self, void* data) {
                static_cast<ProbeMachine*>(self)->events.push_back(data);
                return true;
            },
            nullptr);
    }
    void onTick() override { ticks.push_back(std::vector<uint8_t>(values, values + 3)); }

    uint8_t values[3] = {};
    int32_t attributes[1] = {};
    CMachine* own = nullptr;
    std::vector<std::vector<uint8_t>> ticks;
    std::vector<void*> events;
};

const CMachineParameter byteParameter = {ParameterTypeByte, "b", "b", 0, 128, 255, 2, 0};
const CMachineParameter wordParameter = {ParameterTypeWord, "w", "w", 0, 65534, 65535, 2, 0};
const CMachineParameter* const probeParameters[] = {&byteParameter, &wordParameter};
const CMachineAttribute probeAttribute = {"a", 1, 10, 3};
const CMachineAttribute* const probeAttributes[] = {&probeAttribute};
const CMachineInfo probeInfo = {
    MachineTypeEffect, 65,      0,       0,       0,  2,      0, probeParameters, 1,
    probeAttributes,   "Probe", "Probe", "tests", "", nullptr};

host::HostMachine* placeProbe(host::Host& host, const std::string& name) {
    return host.createMachine(
        probeInfo, [] { return static_cast<CMachineInterface*>(new ProbeMachine); }, name);
}

ProbeMachine& probe(host::HostMachine* placed) {
    return *static_cast<ProbeMachine*>(placed->machine);
}

TEST(HostServices, ParametersArrivePackedForOneTickOnly) {
    host::Host host;
    host::HostMachine* placed = placeProbe(host, "p");
    host.tick();
    host.setParameter(*placed, 1, 0x1234);
    host.tick();
    host.tick();
    ASSERT_EQ(probe(placed).ticks.size(), 3u);
    // A new machine's first tick brings every default.
    EXPECT_EQ(probe(placed).ticks[0], (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(probe(placed).ticks[1], (std::vector<uint8_t>{255, 0x34, 0x12}));
    EXPECT_EQ(probe(placed).ticks[2], (std::vector<uint8_t>{255, 0xFF, 0xFF}));
}

TEST(HostServices, ChangingAnAttributeSendsNoParameters) {
    host::Host host;
    host::HostMachine* placed = placeProbe(host, "p");
    host.tick();
    host.setAttribute(*placed, 0, 5);
    host.tick();
    EXPECT_EQ(probe(placed).ticks[1], (std::vector<uint8_t>{255, 0xFF, 0xFF}));
}

TEST(HostServices, AControllerChangeArrivesAtTheNextTick) {
    host::Host host;
    host::HostMachine* placed = placeProbe(host, "p");
    host.tick();
    probe(placed).ticks.clear();
    placed->services->setParameterFromControl(placed->handle(), 1, 0, 0, 1);
    // Groups and parameters that do not exist are ignored.
    placed->services->setParameterFromControl(placed->handle(), 2, 0, 0, 7);
    placed->services->setParameterFromControl(placed->handle(), 1, 0, 9, 7);
    EXPECT_TRUE(probe(placed).ticks.empty());
    host.tick();
    EXPECT_EQ(probe(placed).ticks[0][0], 1);
}

TEST(HostServices, NamesDescriptionsAndEvents) {
    host::Host host;
    host::HostMachine* a = placeProbe(host, "first");
    host::HostMachine* b = placeProbe(host, "second");
    EXPECT_STREQ(a->services->machineNameOf(b->handle()), "second");
    EXPECT_EQ(a->services->machineInfoOf(b->handle()), &probeInfo);
    EXPECT_EQ(a->services->machineInfoOf(nullptr), nullptr);
    // Every placement is announced to the machines that listen, the new one included.
    EXPECT_EQ(probe(a).events, (std::vector<void*>{a->handle(), b->handle()}));
    EXPECT_EQ(a->services->themeColour("SE BG Dark"), 0xBDB5A1);
    EXPECT_EQ(a->services->themeColour("nothing"), 0);
    a->services->hostMessage("hello");
    EXPECT_EQ(host.messages, std::vector<std::string>{"hello"});
    a->services->markSongModified();
    EXPECT_TRUE(host.songModified);
    host.stateFlags = HostStateRecording;
    EXPECT_EQ(a->services->hostStateFlags() & HostStateRecording, HostStateRecording);
    EXPECT_EQ(a->services->hostVersion(), 2);
    EXPECT_NE(a->services->probeExtendedHost(-2, -2), nullptr);
}

} // namespace
