// spoolex-host: the stand-in host on the command line.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/Commands.h"
#include "host/Pictures.h"
#include "host/Recorder.h"
#include "host/WaveCommands.h"
#include "platform/ModulePath.h"
#if defined(_WIN32)
#include "platform/win32/GdiPlusSession.h"
#endif

#if !defined(_WIN32)
#include "host/Editing.h"
#define SPOOLEX_HOST_EDITS 1
#endif

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: spoolex-host COMMAND [ARGUMENTS] [--gear FOLDER]\n"
        "  describe              describe every plug-in in the Gear folder\n"
        "  render SONG OUT.wav   play the song from start to end into a WAV file\n"
        "  info SONG             each pattern's name and Info report\n"
        "  record SONG --input IN.wav [--latency N] [--threshold N] [--release MS]\n"
        "         [--auto-punch] [--input-after]\n"
        "                        record IN.wav into the song's generator and save the song:\n"
        "                        latency compensation in samples, auto punch with its\n"
        "                        threshold (1..4096) and release, the input rendered after\n"
        "                        the generator\n"
        "  demo [FOLDER]         record two passes over a pattern, save, reload and render\n"
        "  wave-load SONG SLOT IN.wav   a WAV file into wave slot 1-200 (0x.. for hex)\n"
        "  wave-select SONG SLOT        the wave the host has selected (0: none)\n"
        "  wave-save SONG SLOT OUT.wav  a wave slot as a WAV file\n"
        "  snapshot SONG OUT.png [--pattern NAME] [--size WxH] [--zoom Z]\n"
        "           [--rows-height PX] [--select FROM:TO] [--take N]\n"
        "                        a picture of the machine's editor on one pattern\n"
        "  sequence SONG OUT.png [--scale TICKS_PER_ROW]\n"
        "                        a picture of the sequence view's pattern boxes\n"
        "  show SONG [--pattern NAME] [--size WxH] [--screenshot OUT.png]\n"
        "           [--view OUT.png] [the snapshot's view options]\n"
        "                        (Windows) the song's sequences and a machine's editor in\n"
        "                        a window; --screenshot: a picture of the window, --view:\n"
        "                        of the editor view alone (WxH), then exit\n"
#if SPOOLEX_HOST_EDITS
        "  edit SONG [--out SONG2] ACTION...\n"
        "                        open the generator's editor, replay the actions in order\n"
        "                        and save the song (to SONG2 when given); a box shown while\n"
        "                        a launched program runs is answered once it has ended:\n"
        "    --pattern NAME      show that pattern\n"
        "    --take N            click on take row N (from 0) with Shift: it becomes current\n"
        "    --select FROM:TO    drag a selection in ticks on the current row, no snapping\n"
        "    --command NAME|ID   an editor command, by number or one of\n"
        "%s"
        "    --answer yes|no|ok|cancel\n"
        "                        the answer to the next question (printed when shown)\n"
        "    --choose-file PATH  the file chosen in the next file dialog\n"
        "    --choose-item ITEM  the item chosen in the next pop-up menu: its text, its\n"
        "                        position from 1, or its identifier (100 for the first\n"
        "                        wave editor)\n"
        "    --export-to WAVE:FORMAT\n"
        "                        the answer to the next export-to-wavetable dialog: wave\n"
        "                        slot 1-200 (0x.. for hex) and format 1 (32-bit float) or\n"
        "                        2 (16-bit int); unanswered, the dialog is cancelled\n"
        "    --snapshot OUT.png  a picture of the editor view as it is now\n"
#endif
        "  --gear FOLDER         the Gear folder (default: the one beside this program)\n"
#if SPOOLEX_HOST_EDITS
        ,
        host::editCommandNames().c_str()
#endif
    );
    return 2;
}

std::string defaultGearFolder() {
    static int anchor;
    return platform::folderOf(platform::modulePath(&anchor)) + "Gear";
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // As the real host: the plug-ins draw with GDI+ and never start it.
    platform::win32::GdiPlusSession gdiPlus;
#endif
    std::vector<std::string> words;
    std::string gear = defaultGearFolder();
    std::string input;
    std::string outPath;
    bool ok = true;
    host::RecordOptions options;
    host::SnapshotOptions snapshot;
    host::ShowOptions show;
    [[maybe_unused]] float scale = 1.0f; // the sequence picture's; not on Windows
#if SPOOLEX_HOST_EDITS
    std::vector<host::EditAction> actions;
#endif
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        bool hasValue = i + 1 < argc;
        if (word == "--gear" && hasValue)
            gear = argv[++i];
        else if (word == "--input" && hasValue)
            input = argv[++i];
        else if (word == "--out" && hasValue)
            outPath = argv[++i];
        else if (word == "--latency" && hasValue)
            options.latency = std::atoi(argv[++i]);
        else if (word == "--threshold" && hasValue)
            options.threshold = std::atoi(argv[++i]);
        else if (word == "--release" && hasValue)
            options.release = std::atoi(argv[++i]);
#if SPOOLEX_HOST_EDITS
        // The edit command's actions, in order; the same words set the
        // pictures' view for the other commands.
        else if (!words.empty() && words[0] == "edit" && host::isEditAction(word) && hasValue)
            actions.push_back({word, argv[++i]});
#endif
        else if (word == "--pattern" && hasValue)
            snapshot.pattern = argv[++i];
        else if (word == "--screenshot" && hasValue)
            show.screenshot = argv[++i];
        else if (word == "--view" && hasValue)
            show.viewPicture = argv[++i];
        else if (word == "--size" && hasValue)
            ok = std::sscanf(argv[++i], "%dx%d", &snapshot.width, &snapshot.height) == 2 && ok;
        else if (word == "--zoom" && hasValue)
            snapshot.zoom = std::atof(argv[++i]);
        else if (word == "--rows-height" && hasValue)
            snapshot.rowHeight = static_cast<float>(std::atof(argv[++i]));
        else if (word == "--select" && hasValue)
            ok = std::sscanf(argv[++i], "%lf:%lf", &snapshot.selStart, &snapshot.selEnd) == 2 && ok;
        else if (word == "--take" && hasValue)
            snapshot.take = std::atoi(argv[++i]);
        else if (word == "--scale" && hasValue)
            scale = static_cast<float>(std::atof(argv[++i]));
        else if (word == "--auto-punch")
            options.autoPunch = true;
        else if (word == "--input-after")
            options.inputAfter = true;
        else if (word.rfind("--", 0) == 0)
            return usage();
        else
            words.push_back(word);
    }
    if (words.empty() || !ok)
        return usage();
    const std::string& command = words[0];
    if (command == "describe" && words.size() == 1)
        return host::describeCommand(gear, stdout);
    if (command == "render" && words.size() == 3)
        return host::renderCommand(words[1], words[2], gear, stdout);
    if (command == "info" && words.size() == 2)
        return host::infoCommand(words[1], gear, stdout);
    if (command == "record" && words.size() == 2 && !input.empty())
        return host::recordCommand(words[1], input, options, gear, stdout);
    if (command == "wave-load" && words.size() == 4)
        return host::waveLoadCommand(words[1], words[2], words[3], stdout);
    if (command == "wave-select" && words.size() == 3)
        return host::waveSelectCommand(words[1], words[2], stdout);
    if (command == "wave-save" && words.size() == 4)
        return host::waveSaveCommand(words[1], words[2], words[3], stdout);
#if defined(_WIN32)
    if (command == "show" && words.size() == 2)
        return host::showCommand(words[1], snapshot, show, gear, stdout);
#endif
#ifdef SPOOLEX_HOST_PICTURES
    if (command == "snapshot" && words.size() == 3)
        return host::snapshotCommand(words[1], words[2], snapshot, gear, stdout);
    if (command == "sequence" && words.size() == 3)
        return host::sequenceCommand(words[1], words[2], scale, gear, stdout);
#endif
    if (command == "demo" && words.size() <= 2)
        return host::demoCommand(words.size() == 2 ? words[1] : ".", gear, stdout);
#if SPOOLEX_HOST_EDITS
    if (command == "edit" && words.size() == 2)
        return host::editCommand(words[1], outPath, actions, gear, stdout);
#endif
    return usage();
}
