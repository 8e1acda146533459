#include "host/Commands.h"

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "host/Describe.h"
#include "host/Host.h"
#include "platform/testing/ScriptedUi.h"

namespace host {

namespace {

constexpr int commandInfo = 32832;

bool loadSong(Host& host, const std::string& songPath, const std::string& gear) {
    SongDocument song;
    std::string error;
    if (!loadSongFile(songPath, song, error) || !host.loadSong(song, gear, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return false;
    }
    return true;
}

} // namespace

int describeCommand(const std::string& gear, std::FILE* out) {
    Host host;
    std::string error;
    auto plugins = host.loadGear(gear, error);
    if (plugins.empty()) {
        std::fprintf(stderr, "spoolex-host: no plug-ins in %s%s%s\n", gear.c_str(),
                     error.empty() ? "" : ": ", error.c_str());
        return 1;
    }
    for (PluginLibrary* plugin : plugins)
        std::fprintf(out, "%s\n", describePlugin(host, *plugin).c_str());
    return 0;
}

int renderCommand(const std::string& songPath, const std::string& wavPath, const std::string& gear,
                  std::FILE* out) {
    Host host;
    SongDocument song;
    std::string error;
    if (!loadSongFile(songPath, song, error) || !host.loadSong(song, gear, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    uint32_t end = song.endTick();
    bool terminal = isatty(fileno(stderr));
    host.renderSong(end, [&](int tick) {
        if (terminal)
            std::fprintf(stderr, "\rrendering: tick %d of %u", tick, end);
    });
    if (terminal)
        std::fprintf(stderr, "\r\033[K");
    if (!host.writeMasterWav(wavPath, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(out, "%s: %u ticks, %zu frames at %u Hz\n", wavPath.c_str(), end,
                 host.masterOutput.size() / 2, song.sampleRate);
    return 0;
}

std::string songInfo(Host& host) {
    auto& ui = platform::testing::ScriptedUi::instance();
    std::string text;
    for (HostPattern* pattern : host.patternsInOrder()) {
        size_t before = ui.messages().size();
        if (!host.sendEditorCommand(pattern->machine, pattern, commandInfo))
            continue;
        auto shown = ui.messages();
        text += pattern->machine.name + " / " + pattern->name + "\n";
        text += shown.size() > before ? shown.back().text : "(no report)\n";
        text += "\n";
    }
    return text;
}

int infoCommand(const std::string& songPath, const std::string& gear, std::FILE* out) {
    Host host;
    if (!loadSong(host, songPath, gear))
        return 1;
    platform::testing::ScriptedUi::instance().setEcho(false);
    std::fputs(songInfo(host).c_str(), out);
    return 0;
}

} // namespace host
