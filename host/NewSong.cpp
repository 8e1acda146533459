#include "host/NewSong.h"

#include <filesystem>

#include "host/Host.h"
#include "host/PluginFiles.h"
#include "host/SongSummary.h"

namespace host {

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "spoolex-host: %s\n", why.c_str());
    return 1;
}

} // namespace

int newSongCommand(const std::string& songPath, const NewSongOptions& options,
                   const std::string& gear, std::FILE* out) {
    std::error_code status;
    if (std::filesystem::symlink_status(songPath, status).type() !=
        std::filesystem::file_type::not_found)
        return fail(songPath + " already exists: new never replaces a file");
    std::vector<NewPattern> patterns = options.patterns;
    if (patterns.empty())
        patterns.push_back({"A", static_cast<int>(16 * options.ticksPerBeat)});
    std::vector<NewPlay> plays = options.plays;
    if (plays.empty()) {
        uint32_t tick = 0;
        for (const NewPattern& pattern : patterns) {
            plays.push_back({pattern.name, tick});
            tick += static_cast<uint32_t>(pattern.ticks);
        }
    }

    Host host;
    std::string error;
    host.setTiming(static_cast<int>(options.sampleRate), static_cast<int>(options.beatsPerMinute),
                   static_cast<int>(options.ticksPerBeat));
    PluginLibrary* generator = host.loadPlugin(generatorPluginFile(gear), error);
    PluginLibrary* input = generator ? host.loadPlugin(inputPluginFile(gear), error) : nullptr;
    if (!generator || !input)
        return fail(error);
    HostMachine* spoolex = host.createMachine(*generator, "Spoolex");
    if (!spoolex || !host.createMachine(*input, "Input"))
        return fail("the plug-ins in " + gear + " did not create their machines");
    for (const NewPattern& pattern : patterns) {
        if (host.findPattern(pattern.name))
            return fail("two patterns are named \"" + pattern.name + "\"");
        host.createPattern(*spoolex, pattern.name, pattern.ticks);
    }
    HostSequence* sequence = host.addSequence(*spoolex);
    for (const NewPlay& play : plays) {
        HostPattern* pattern = host.findPattern(play.pattern);
        if (!pattern)
            return fail("--play names the pattern \"" + play.pattern +
                        "\", which no --pattern makes");
        if (sequence->starts.count(static_cast<int>(play.tick)))
            return fail("two patterns start at tick " + std::to_string(play.tick));
        sequence->place(static_cast<int>(play.tick), pattern);
    }
    if (!saveSongFile(songPath, host.saveSong(), error))
        return fail(error);
    std::fprintf(out, "%s: a new song\n%s", songPath.c_str(), songSummary(host).c_str());
    return 0;
}

} // namespace host
