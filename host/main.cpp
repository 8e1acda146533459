// spoolex-host: the stand-in host on the command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/Describe.h"
#include "host/Host.h"
#include "platform/ModulePath.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: spoolex-host describe [--gear FOLDER]\n"
                         "  describe   load every plug-in in the Gear folder and describe it\n"
                         "  --gear     the Gear folder (default: the one beside this program)\n");
    return 2;
}

std::string defaultGearFolder() {
    static int anchor;
    return platform::folderOf(platform::modulePath(&anchor)) + "Gear";
}

int describe(const std::string& gear) {
    host::Host host;
    std::string error;
    auto plugins = host.loadGear(gear, error);
    if (plugins.empty()) {
        std::fprintf(stderr, "spoolex-host: no plug-ins in %s%s%s\n", gear.c_str(),
                     error.empty() ? "" : ": ", error.c_str());
        return 1;
    }
    for (host::PluginLibrary* plugin : plugins)
        std::printf("%s\n", host::describePlugin(host, *plugin).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage();
    std::string command = argv[1];
    std::string gear = defaultGearFolder();
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gear") == 0 && i + 1 < argc)
            gear = argv[++i];
        else
            return usage();
    }
    if (command == "describe")
        return describe(gear);
    return usage();
}
