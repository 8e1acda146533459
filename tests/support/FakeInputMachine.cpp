#include "tests/support/FakeInputMachine.h"

namespace testsupport {

void* FakeInputMachine::destroy(unsigned flags) {
    if (flags & 1)
        delete this;
    return this;
}

void FakeInputMachine::initFromSong(CMachineDataInput*) {
    callbacks->registerExtension(&ex);
    ownMachine = callbacks->ownMachine();
}

const CMachineInfo& fakeInputDescription() {
    static const CMachineInfo info = {MachineTypeEffect,
                                      65,
                                      0x2020,
                                      0,
                                      0,
                                      0,
                                      0,
                                      nullptr,
                                      0,
                                      nullptr,
                                      "Korvane Spoolex Input",
                                      "SX Rec Src",
                                      "tests",
                                      "About...",
                                      nullptr};
    return info;
}

FakeInputMachine* placeFakeInput(host::Host& host, const std::string& name) {
    host::HostMachine* placed = host.createMachine(
        fakeInputDescription(),
        [] { return static_cast<CMachineInterface*>(new FakeInputMachine); }, name);
    return placed ? static_cast<FakeInputMachine*>(placed->machine) : nullptr;
}

} // namespace testsupport
