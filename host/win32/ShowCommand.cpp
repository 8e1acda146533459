#include <algorithm>

#include "host/Commands.h"
#include "host/Host.h"
#include "host/win32/HostWindow.h"
#include "platform/testing/ScriptedUi.h"

namespace host {

int showCommand(const std::string& songPath, const ShowOptions& options, const std::string& gear,
                std::FILE* out) {
    Host host;
    SongDocument song;
    std::string error;
    if (!loadSongFile(songPath, song, error) || !host.loadSong(song, gear, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    // The named pattern's machine, or the first machine with its own editor.
    HostPattern* pattern = nullptr;
    HostMachine* machine = nullptr;
    if (!options.pattern.empty()) {
        pattern = host.findPattern(options.pattern);
        if (!pattern) {
            std::fprintf(stderr, "spoolex-host: no pattern named %s\n", options.pattern.c_str());
            return 1;
        }
        machine = &pattern->machine;
    } else {
        for (const auto& placed : host.machines())
            if (placed->extension && (placed->info().flags & 0x200) != 0) {
                machine = placed.get();
                break;
            }
        if (!machine) {
            std::fprintf(stderr, "spoolex-host: no machine in the song has a pattern editor\n");
            return 1;
        }
        auto patterns = host.patternsInOrder();
        auto own = std::find_if(patterns.begin(), patterns.end(),
                                [&](HostPattern* p) { return &p->machine == machine; });
        pattern = own == patterns.end() ? nullptr : *own;
    }
    HostWindow window;
    if (!window.open(host, *machine, pattern, options.width, options.height, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    if (!options.screenshot.empty()) {
        if (!window.screenshot(options.screenshot)) {
            std::fprintf(stderr, "spoolex-host: cannot write %s\n", options.screenshot.c_str());
            return 1;
        }
        std::fprintf(out, "%s: %dx%d\n", options.screenshot.c_str(), options.width, options.height);
        return 0;
    }
    // A person uses the editor now: real message boxes and menus.
    platform::testing::ScriptedUi::instance().setLive(true);
    window.run();
    return 0;
}

} // namespace host
