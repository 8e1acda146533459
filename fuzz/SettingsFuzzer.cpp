// Feeds arbitrary bytes to a generator as its settings file, as a user's
// hand-edited or damaged file would be. Any crash, leak or sanitizer report
// fails. The file lives in memory (a memfd) and is read through the same path
// as a file beside the plug-in, TinyXML's own file loading included.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/SettingsLoader.h"
#include "host/Host.h"
#include "platform/testing/ScriptedUi.h"

namespace {

struct Fixture {
    int file = -1;
    host::Host host;
    spoolex::mi* machine = nullptr;

    Fixture() {
        file = memfd_create("settings.xml", 0);
        if (file < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        spoolex::setSettingsFilePath("/proc/self/fd/" + std::to_string(file));
        spoolex::installPlatformUserInterface();
        platform::testing::ScriptedUi::instance().setEcho(false);
        host.echoMessages = false;
        host::HostMachine* placed = host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex");
        machine = static_cast<spoolex::mi*>(placed->machine);
    }

    void setFile(const uint8_t* data, size_t size) {
        if (ftruncate(file, 0) != 0 ||
            (size > 0 && pwrite(file, data, size, 0) != static_cast<ssize_t>(size))) {
            std::perror("writing the settings file");
            std::abort();
        }
    }

    // Each input starts from a machine without settings.
    void forget() {
        machine->forgetSettings();
        spoolex::defaultProjectFolder().clear();
        spoolex::askForProjectFolder() = true;
        spoolex::redrawWhileRecording() = true;
        host.messages.clear();
        platform::testing::ScriptedUi::instance().clear();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture* fixture = new Fixture;
    fixture->setFile(data, size);
    spoolex::loadSettings(*fixture->machine);
    fixture->forget();
    return 0;
}
