// spoolex-host: the stand-in host on the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "host/Commands.h"
#include "platform/ModulePath.h"

namespace {

int usage() {
    std::fprintf(
        stderr, "usage: spoolex-host COMMAND [ARGUMENTS] [--gear FOLDER]\n"
                "  describe              describe every plug-in in the Gear folder\n"
                "  render SONG OUT.wav   play the song from start to end into a WAV file\n"
                "  info SONG             each pattern's name and Info report\n"
                "  --gear FOLDER         the Gear folder (default: the one beside this program)\n");
    return 2;
}

std::string defaultGearFolder() {
    static int anchor;
    return platform::folderOf(platform::modulePath(&anchor)) + "Gear";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words;
    std::string gear = defaultGearFolder();
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--gear" && i + 1 < argc)
            gear = argv[++i];
        else
            words.push_back(word);
    }
    if (words.empty())
        return usage();
    const std::string& command = words[0];
    if (command == "describe" && words.size() == 1)
        return host::describeCommand(gear, stdout);
    if (command == "render" && words.size() == 3)
        return host::renderCommand(words[1], words[2], gear, stdout);
    if (command == "info" && words.size() == 2)
        return host::infoCommand(words[1], gear, stdout);
    return usage();
}
