// An input machine for tests of the generator alone: it has the input
// machine's fields and host handshake, nothing else.
#pragma once

#include "host/Host.h"
#include "input/InputMachineLayout.h"

namespace testsupport {

class FakeInputMachine final : public InputMachine::Fields {
public:
    void* destroy(unsigned flags) override;
    void initFromSong(CMachineDataInput* data) override;
};

const CMachineInfo& fakeInputDescription();

// Places a fake input machine named name in host.
FakeInputMachine* placeFakeInput(host::Host& host, const std::string& name);

} // namespace testsupport
