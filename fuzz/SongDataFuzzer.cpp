// Feeds arbitrary bytes to a generator as its song data, as a host loading a
// damaged or hostile song would. Any crash, leak or sanitizer report fails.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "generator/PlatformUserInterface.h"
#include "generator/core/Machine.h"
#include "generator/core/MachineDescription.h"
#include "generator/core/ProcessState.h"
#include "host/Host.h"
#include "platform/testing/ScriptedUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static host::Host* host = [] {
        spoolex::installPlatformUserInterface();
        platform::testing::ScriptedUi::instance().setEcho(false);
        auto* h = new host::Host;
        h->echoMessages = false;
        return h;
    }();
    std::vector<uint8_t> songData(data, data + size);
    host::HostMachine* machine = host->createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex", &songData);
    if (machine) {
        // Whatever loaded must also save.
        host->saveSongData(*machine);
        host->destroyMachine(machine);
    }
    host->messages.clear();
    platform::testing::ScriptedUi::instance().clear();
    spoolex::projectFolder().clear();
    return 0;
}
