// Writes real saved song data into a folder: the fuzzer's starting points.
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "host/Host.h"
#include "platform/testing/ScriptedUi.h"

namespace {

void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_songs FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    spoolex::installPlatformUserInterface();
    platform::testing::ScriptedUi::instance().setEcho(false);
    host::Host host;
    host.echoMessages = false;
    host::HostMachine* placed = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex");
    auto& machine = *static_cast<spoolex::mi*>(placed->machine);
    write(folder + "/empty", host.saveSongData(*placed));

    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-32768.0f, 32767.0f);
    const int lengths[] = {1, 37, 600};
    for (int p = 0; p < 3; ++p) {
        host::HostPattern* hostPattern = host.createPattern(*placed, "P" + std::to_string(p), 16);
        spoolex::Pattern& pattern = *machine.findPattern(hostPattern->handle());
        spoolex::Take& take = pattern.addTake();
        take.changeSamples().resize(2 * static_cast<size_t>(lengths[p]));
        for (float& s : take.changeSamples())
            s = p == 2 ? 0.0f : value(random);
        pattern.addTake();
        pattern.assignTake(p, 8 + p, &take);
        pattern.tidyActiveTakes();
        write(folder + "/patterns" + std::to_string(p + 1), host.saveSongData(*placed));
    }
    return 0;
}
