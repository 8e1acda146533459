#include "host/cli/CommandTable.h"

#include "host/Commands.h"
#include "host/ExportTake.h"
#include "host/NewSong.h"
#include "host/Pictures.h"
#include "host/Recorder.h"
#include "host/Recover.h"
#include "host/WaveCommands.h"
#include "host/cli/Numbers.h"
#include "host/cli/Values.h"
#if !defined(_WIN32)
#include "host/Editing.h"
#endif

namespace host::cli {

namespace {

// Reads each option a command takes into its settings; false with a usage
// error for the first one that does not read.
using OptionReader = std::function<bool(const std::string& value, std::string& error)>;

bool readOptions(const Invocation& invocation,
                 const std::vector<std::pair<const char*, OptionReader>>& readers,
                 std::string& error) {
    for (const auto& [name, value] : invocation.options)
        for (const auto& [option, read] : readers)
            if (name == option && !read(value, error))
                return false;
    return true;
}

// The options of a picture of the editor: snapshot's, and show's view.
std::vector<OptionSpec> viewOptions() {
    return {{"--pattern", "NAME"},   {"--size", "WxH"},       {"--zoom", "Z"},
            {"--rows-height", "PX"}, {"--select", "FROM:TO"}, {"--take", "N"}};
}

constexpr int largestPicture = 16384;

bool readView(const Invocation& invocation, SnapshotOptions& view, std::string& error) {
    return readOptions(invocation,
                       {{"--pattern",
                         [&](const std::string& v, std::string&) {
                             view.pattern = v;
                             return true;
                         }},
                        {"--size",
                         [&](const std::string& v, std::string& e) {
                             return readSize("--size", v, largestPicture, view.width, view.height,
                                             e);
                         }},
                        {"--zoom",
                         [&](const std::string& v, std::string& e) {
                             return readNumber("--zoom", v, 1.0, 65536.0, view.zoom, e);
                         }},
                        {"--rows-height",
                         [&](const std::string& v, std::string& e) {
                             double px = 0.0;
                             bool ok = readNumber("--rows-height", v, 8.0, largestPicture, px, e);
                             view.rowHeight = static_cast<float>(px);
                             return ok;
                         }},
                        {"--select",
                         [&](const std::string& v, std::string& e) {
                             return readTickRange("--select", v, view.selStart, view.selEnd, e);
                         }},
                        {"--take",
                         [&](const std::string& v, std::string& e) {
                             return readWhole("--take", v, 0, 1 << 20, view.take, e);
                         }}},
                       error);
}

int runNew(const Invocation& invocation) {
    NewSongOptions options;
    std::string error;
    long tempo = options.beatsPerMinute, ticks = options.ticksPerBeat, rate = options.sampleRate;
    if (!readOptions(
            invocation,
            {{"--tempo",
              [&](const std::string& v, std::string& e) {
                  return readWhole("--tempo", v, 1L, 1000L, tempo, e);
              }},
             {"--ticks-per-beat",
              [&](const std::string& v, std::string& e) {
                  return readWhole("--ticks-per-beat", v, 1L, 256L, ticks, e);
              }},
             {"--rate",
              [&](const std::string& v, std::string& e) {
                  return readWhole("--rate", v, 1000L, 768000L, rate, e);
              }},
             {"--pattern", [&](const std::string& v,
                               std::string& e) { return readPatternSpec(v, options.patterns, e); }},
             {"--play", [&](const std::string& v,
                            std::string& e) { return readPlaySpec(v, options.plays, e); }}},
            error))
        return usageMistake(error);
    options.beatsPerMinute = static_cast<uint32_t>(tempo);
    options.ticksPerBeat = static_cast<uint32_t>(ticks);
    options.sampleRate = static_cast<uint32_t>(rate);
    return newSongCommand(invocation.operands[0], options, invocation.gear, invocation.out);
}

int runRecord(const Invocation& invocation) {
    RecordOptions options;
    std::string error;
    if (!readOptions(invocation,
                     {{"--latency",
                       [&](const std::string& v, std::string& e) {
                           return readWhole("--latency", v, 0, 65534, options.latency, e);
                       }},
                      {"--threshold",
                       [&](const std::string& v, std::string& e) {
                           return readWhole("--threshold", v, 1, 4096, options.threshold, e);
                       }},
                      {"--release",
                       [&](const std::string& v, std::string& e) {
                           return readWhole("--release", v, 0, 2000, options.release, e);
                       }}},
                     error))
        return usageMistake(error);
    if ((invocation.has("--threshold") || invocation.has("--release")) &&
        !invocation.has("--auto-punch"))
        return usageMistake("--threshold and --release set auto punch: add --auto-punch");
    options.autoPunch = invocation.has("--auto-punch");
    options.inputAfter = invocation.has("--input-after");
    options.realtime = invocation.has("--realtime");
    options.progress = invocation.out;
    if (invocation.has("--recordings"))
        useRecordingsFolder(invocation.value("--recordings"));
    return recordCommand(invocation.operands[0], invocation.value("--input"), options,
                         invocation.gear, invocation.out);
}

int runRecover(const Invocation& invocation) {
    if (invocation.has("--recordings"))
        useRecordingsFolder(invocation.value("--recordings"));
    return recoverCommand(invocation.operands[0], invocation.value("--out"),
                          invocation.has("--list"), invocation.gear, invocation.out);
}

int runExport(const Invocation& invocation) {
    ExportOptions options;
    std::string error;
    options.pattern = invocation.value("--pattern");
    if (!readOptions(
            invocation,
            {{"--take",
              [&](const std::string& v, std::string& e) {
                  return readWhole("--take", v, 0, 1 << 20, options.take, e);
              }},
             {"--select",
              [&](const std::string& v, std::string& e) {
                  options.selected = true;
                  return readTickRange("--select", v, options.from, options.to, e);
              }},
             {"--format", [&](const std::string& v,
                              std::string& e) { return readExportFormat(v, options.format, e); }}},
            error))
        return usageMistake(error);
    return exportCommand(invocation.operands[0], invocation.operands[1], options, invocation.gear,
                         invocation.out);
}

#if !defined(_WIN32)
std::vector<OptionSpec> editOptions() {
    std::vector<OptionSpec> options{{"--out", "SONG2"}};
    for (const EditActionOption& action : editActionOptions())
        options.push_back({action.option, action.value, true});
    return options;
}

// The editor's command names, indented under --command.
std::string indentedCommandNames() {
    std::string names;
    const std::string listed = editCommandNames();
    for (size_t at = 0; at < listed.size();) {
        const size_t end = listed.find('\n', at);
        names += "    " + listed.substr(at, end - at + 1);
        at = end == std::string::npos ? listed.size() : end + 1;
    }
    return names;
}

int runEdit(const Invocation& invocation) {
    std::vector<EditAction> actions;
    for (const auto& [name, value] : invocation.options)
        if (name != "--out")
            actions.push_back({name, value});
    return editCommand(invocation.operands[0], invocation.value("--out"), actions, invocation.gear,
                       invocation.out);
}
#endif

std::vector<CommandSpec> makeTable() {
    std::vector<CommandSpec> table;
    table.push_back(
        {"new",
         {"SONG"},
         {{"--tempo", "BPM"},
          {"--ticks-per-beat", "N"},
          {"--rate", "HZ"},
          {"--pattern", "NAME:TICKS", true},
          {"--play", "NAME@TICK", true}},
         "    a new song with the generator and an input machine, its patterns (default:\n"
         "    one pattern A of 16 beats) and a sequence that plays them (default: each\n"
         "    once, one after the other); tempo 1-1000 (126), ticks per beat 1-256 (4),\n"
         "    rate 1000-768000 Hz (44100). An existing SONG is never replaced.\n",
         runNew});
    table.push_back(
        {"info",
         {"SONG"},
         {},
         "    the song's timing and length; each pattern's length, takes and active\n"
         "    takes, and the report its editor's Info command shows\n",
         [](const Invocation& i) { return infoCommand(i.operands[0], i.gear, i.out); }});
    table.push_back(
        {"record",
         {"SONG"},
         {{"--input", "IN.wav", false, true},
          {"--latency", "N"},
          {"--auto-punch", ""},
          {"--threshold", "N"},
          {"--release", "MS"},
          {"--input-after", ""},
          {"--realtime", ""},
          {"--recordings", "FOLDER"}},
         "    play the song in record mode with IN.wav as the input machine's live input,\n"
         "    until the song or the input ends, and save it. Without --auto-punch every\n"
         "    pass is punched in throughout; with it, the input punches in while its level\n"
         "    reaches the threshold and out after release ms (0-2000, default 100) without\n"
         "    it. The threshold N (1-4096, default 128) is the level (N/4096)^3.5 of full\n"
         "    scale: 4096 is full scale, 2048 about -21 dB, 1024 -42 dB, 512 -63 dB, and\n"
         "    128 (-105 dB) is far below one 16-bit step. --latency: the input's latency\n"
         "    compensation in samples (0-65534). --input-after: the input machine renders\n"
         "    after the generator. --realtime: at the pace of real time, as a live session,\n"
         "    printing how far it played. --recordings: the folder for the copies of\n"
         "    recordings made without a project folder, instead of the user's own.\n",
         runRecord});
    table.push_back(
        {"recover",
         {"SONG"},
         {{"--list", ""}, {"--out", "SONG2"}, {"--recordings", "FOLDER"}},
         "    the copies on disk of recordings made on this song and never saved in it:\n"
         "    with --list only listed; otherwise added to their patterns as new takes and\n"
         "    the song saved (to SONG2 when given). --recordings: as record's.\n",
         runRecover});
    table.push_back({"render",
                     {"SONG", "OUT.wav"},
                     {},
                     "    play the song from start to end into a 32-bit float WAV file, with 2048\n"
                     "    frames more at the end for the last fades to ring out\n",
                     [](const Invocation& i) {
                         return renderCommand(i.operands[0], i.operands[1], i.gear, i.out);
                     }});
    table.push_back(
        {"export",
         {"SONG", "OUT.wav"},
         {{"--pattern", "NAME", false, true},
          {"--take", "N", false, true},
          {"--select", "FROM:TO"},
          {"--format", "FORMAT"}},
         "    one take of a pattern (N from 0, as info lists them), or the stretch FROM:TO\n"
         "    of it in ticks of the pattern, as a stereo WAV file in FORMAT 16i, 24i, 32i\n"
         "    or 32f (default 16i)\n",
         runExport});
#if !defined(_WIN32)
    table.push_back(
        {"edit",
         {"SONG"},
         editOptions(),
         "    open the generator's editor, replay the actions in order and save the song\n"
         "    (to SONG2 when given); nothing is saved when an action fails:\n"
         "      --pattern NAME      show that pattern\n"
         "      --take N            click on take row N (from 0) with Shift: it becomes\n"
         "                          current\n"
         "      --select FROM:TO    drag a selection in ticks on the current row, no\n"
         "                          snapping\n"
         "      --command NAME|ID   an editor command, by number or one of\n" +
             indentedCommandNames() +
             "      --answer ANSWER     yes, no, ok or cancel: the answer to the next question\n"
             "                          (every question needs one; each is printed)\n"
             "      --choose-file PATH  the file chosen in the next file dialog\n"
             "      --choose-item ITEM  the item chosen in the next pop-up menu: its text,\n"
             "                          its position from 1, or its identifier (100 for\n"
             "                          the first wave editor)\n"
             "      --export-to WAVE:FORMAT\n"
             "                          the answer to the next export-to-wavetable dialog:\n"
             "                          wave slot 1-200 (0x.. for hex) and format 1\n"
             "                          (32-bit float) or 2 (16-bit int); unanswered, the\n"
             "                          dialog is cancelled\n"
             "      --snapshot OUT.png  a picture of the editor view as it is now\n"
             "    A box shown while a launched program runs is answered once it has\n"
             "    ended.\n",
         runEdit});
#endif
#ifdef SPOOLEX_HOST_PICTURES
    table.push_back({"snapshot",
                     {"SONG", "OUT.png"},
                     viewOptions(),
                     "    a picture of the machine's editor on one pattern: zoom from 1, rows\n"
                     "    8 px and taller, the selection in ticks, take row N current\n",
                     [](const Invocation& i) {
                         SnapshotOptions view;
                         std::string error;
                         if (!readView(i, view, error))
                             return usageMistake(error);
                         return snapshotCommand(i.operands[0], i.operands[1], view, i.gear, i.out);
                     }});
    table.push_back(
        {"sequence",
         {"SONG", "OUT.png"},
         {{"--scale", "TICKS_PER_ROW"}},
         "    a picture of the sequence view's pattern boxes, TICKS_PER_ROW ticks to a\n"
         "    row of pixels (default 1)\n",
         [](const Invocation& i) {
             double scale = 1.0;
             std::string error;
             if (i.has("--scale") &&
                 !readAbove("--scale", i.value("--scale"), 0.0, 1 << 20, scale, error))
                 return usageMistake(error);
             return sequenceCommand(i.operands[0], i.operands[1], static_cast<float>(scale), i.gear,
                                    i.out);
         }});
#endif
#if defined(_WIN32)
    std::vector<OptionSpec> showOptions = viewOptions();
    showOptions.push_back({"--screenshot", "OUT.png"});
    showOptions.push_back({"--view", "OUT.png"});
    table.push_back(
        {"show",
         {"SONG"},
         showOptions,
         "    the song's sequences and a machine's editor in a window, with the snapshot's\n"
         "    view options; --screenshot: a picture of the window, --view: of the editor\n"
         "    view alone (WxH), then exit\n",
         [](const Invocation& i) {
             SnapshotOptions view;
             ShowOptions show;
             std::string error;
             if (!readView(i, view, error))
                 return usageMistake(error);
             show.screenshot = i.value("--screenshot");
             show.viewPicture = i.value("--view");
             return showCommand(i.operands[0], view, show, i.gear, i.out);
         }});
#endif
    table.push_back({"demo",
                     {"[FOLDER]"},
                     {},
                     "    record two passes over a pattern into FOLDER/demo.sxs (default: here),\n"
                     "    reload it and render it to demo.wav\n",
                     [](const Invocation& i) {
                         return demoCommand(i.operands.empty() ? "." : i.operands[0], i.gear,
                                            i.out);
                     }});
    table.push_back({"wave-load",
                     {"SONG", "SLOT", "IN.wav"},
                     {},
                     "    a WAV file into wave slot SLOT of the song's wavetable (1-200, 0x.. for\n"
                     "    hexadecimal); a SONG that does not exist yet is made\n",
                     [](const Invocation& i) {
                         return waveLoadCommand(i.operands[0], i.operands[1], i.operands[2], i.out);
                     }});
    table.push_back({"wave-select",
                     {"SONG", "SLOT"},
                     {},
                     "    the wave the host has selected: a used slot, or 0 for none\n",
                     [](const Invocation& i) {
                         return waveSelectCommand(i.operands[0], i.operands[1], i.out);
                     }});
    table.push_back({"wave-save",
                     {"SONG", "SLOT", "OUT.wav"},
                     {},
                     "    a wave slot as a WAV file\n",
                     [](const Invocation& i) {
                         return waveSaveCommand(i.operands[0], i.operands[1], i.operands[2], i.out);
                     }});
    table.push_back({"describe",
                     {},
                     {},
                     "    describe every plug-in in the Gear folder\n",
                     [](const Invocation& i) { return describeCommand(i.gear, i.out); }});
    return table;
}

} // namespace

const std::vector<CommandSpec>& commandTable() {
    static const std::vector<CommandSpec> table = makeTable();
    return table;
}

} // namespace host::cli
