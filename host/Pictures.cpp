#include "host/Pictures.h"

#include <algorithm>
#include <cmath>

#include "generator/editor/SnapshotSettings.h"
#include "host/Commands.h"
#include "host/FileChecks.h"
#include "host/Host.h"
#include "host/SongDocument.h"
#include "platform/posix/SurfaceCairo.h"
#include "platform/testing/Headless.h"

namespace host {

namespace {

constexpr int flagPatternBox = 0x1000;

bool writePicture(platform::SurfaceCairo& picture, const std::string& path, std::FILE* out) {
    std::string error;
    if (!picture.writePng(path, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return false;
    }
    std::fprintf(out, "%s: %dx%d\n", path.c_str(), picture.width(), picture.height());
    return true;
}

bool pictureMayGo(const std::string& pngPath, const std::string& songPath) {
    std::string error;
    if (checkOutput(pngPath, {songPath}, error))
        return true;
    std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
    return false;
}

uint32_t themeArgb(Host& host, const char* name) {
    return platform::opaqueFromBgr(static_cast<uint32_t>(host.themeColours[name]));
}

} // namespace

int snapshotCommand(const std::string& songPath, const std::string& pngPath,
                    const SnapshotOptions& options, const std::string& gear, std::FILE* out) {
    Host host;
    if (!pictureMayGo(pngPath, songPath) || !loadSong(host, songPath, gear))
        return 1;
    HostPattern* pattern = editorPattern(host, options.pattern);
    if (!pattern) {
        std::fprintf(stderr, "spoolex-host: no pattern %s%swith an editor in %s\n",
                     options.pattern.c_str(), options.pattern.empty() ? "" : " ", songPath.c_str());
        return 1;
    }
    HostMachine& machine = pattern->machine;
    void* frame = host.editorWindow(machine);
    platform::headless::Window* view =
        frame ? platform::headless::findByName(frame, "pated") : nullptr;
    if (!view) {
        std::fprintf(stderr, "spoolex-host: %s made no editor view\n", machine.name.c_str());
        return 1;
    }
    machine.extension->showPattern(pattern->handle());
    const int width = std::clamp(options.width, 1, 16384);
    const int height = std::clamp(options.height, 1, 16384);
    platform::headless::resize(view, width, height);
    SnapshotSettings settings;
    settings.zoom = options.zoom;
    settings.rowHeight = options.rowHeight;
    settings.selStart = options.selStart;
    settings.selEnd = options.selEnd;
    settings.currentTake = options.take;
    platform::sendMessage(view, messageSnapshotSettings, 0, reinterpret_cast<intptr_t>(&settings));
    platform::SurfaceCairo picture(width, height);
    platform::headless::paintOnto(view, picture);
    // The marching frame is drawn straight onto the window by its timer.
    view->screenSurface = &picture;
    platform::headless::fireTimer(view, 2);
    view->screenSurface = nullptr;
    return writePicture(picture, pngPath, out) ? 0 : 1;
}

int sequenceCommand(const std::string& songPath, const std::string& pngPath, float ticksPerRow,
                    const std::string& gear, std::FILE* out) {
    Host host;
    if (!pictureMayGo(pngPath, songPath) || !loadSong(host, songPath, gear))
        return 1;
    if (!(ticksPerRow > 0.0f) || !std::isfinite(ticksPerRow)) {
        std::fprintf(stderr, "spoolex-host: the scale must be a positive number of ticks\n");
        return 1;
    }
    constexpr int columnWidth = 160;
    constexpr int gap = 8;
    const auto& sequences = host.allSequences();
    const auto rows =
        static_cast<int>(std::ceil(static_cast<float>(host.songEndTick()) / ticksPerRow));
    const int width =
        gap + static_cast<int>(std::max<size_t>(sequences.size(), 1)) * (columnWidth + gap);
    const int height = std::clamp(rows + 2 * gap, 1, 16384);
    platform::SurfaceCairo picture(width, height);
    // Outside the boxes: a neutral grey, apart from every theme colour.
    picture.fillRect(0, 0, static_cast<float>(width), static_cast<float>(height), 0xFF505050);
    for (size_t s = 0; s < sequences.size(); ++s) {
        HostSequence& sequence = *sequences[s];
        const int left = gap + static_cast<int>(s) * (columnWidth + gap);
        for (auto start = sequence.starts.begin(); start != sequence.starts.end(); ++start) {
            HostPattern* pattern = start->second;
            if (!pattern)
                continue;
            // A pattern cut short by the next start shows only what plays.
            auto next = std::next(start);
            int ticks = pattern->length;
            if (next != sequence.starts.end())
                ticks = std::min(ticks, next->first - start->first);
            const int top = gap + static_cast<int>(static_cast<float>(start->first) / ticksPerRow);
            const int boxHeight =
                std::max(1, static_cast<int>(std::ceil(static_cast<float>(ticks) / ticksPerRow)));
            picture.fillRect(static_cast<float>(left), static_cast<float>(top),
                             static_cast<float>(columnWidth), static_cast<float>(boxHeight),
                             themeArgb(host, "SE BG"));
            HostMachine& machine = sequence.machine;
            if (!machine.extension || !(machine.info().flags & flagPatternBox))
                continue;
            PatternBoxRequest request{pattern->handle(), &picture,  left,       top,
                                      columnWidth,       boxHeight, ticksPerRow};
            machine.extension->paintPatternBox(&request);
        }
    }
    return writePicture(picture, pngPath, out) ? 0 : 1;
}

} // namespace host
