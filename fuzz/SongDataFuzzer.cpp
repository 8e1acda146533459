// Feeds arbitrary bytes to a generator as its song data, as a host loading a
// damaged or hostile song would: a machine is created from them, the host
// announces every pattern the data named, and the machine saves again. Any
// crash, leak or sanitizer report fails.
//
// Inputs are small, so the fuzz build shortens the run of zeros that ends
// the data and the pieces take streams are read in (see scripts/fuzz.sh):
// otherwise every input would read a megabyte of zeros past its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "generator/machine/ProcessState.h"
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
        // The patterns read wait for the host: announced, they join the
        // machine, and whatever loaded must also save.
        const std::vector<std::string> names =
            static_cast<spoolex::mi*>(machine->machine)->awaitingPatternNames();
        for (const std::string& name : names)
            host->createPattern(*machine, name, 16);
        host->saveSongData(*machine);
        host->destroyMachine(machine);
    }
    host->messages.clear();
    platform::testing::ScriptedUi::instance().clear();
    spoolex::projectFolder().clear();
    return 0;
}
