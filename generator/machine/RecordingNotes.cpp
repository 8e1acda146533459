#include "generator/machine/RecordingNotes.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace spoolex {

namespace {

const char* const firstLine = "Korvane Spoolex recording";

std::string number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// Names may hold anything but a line break.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

std::string describeRecording(const RecordingNotes& n) {
    std::string text = std::string(firstLine) + "\n";
    auto field = [&](const char* key, const std::string& value) {
        text += key;
        text += ": ";
        text += oneLine(value);
        text += "\n";
    };
    field("machine", n.machine);
    field("pattern", n.pattern);
    field("pattern length in ticks", std::to_string(n.patternTicks));
    field("start tick", number(n.startTick));
    field("write position", std::to_string(n.writePosition));
    field("tempo", std::to_string(n.beatsPerMinute));
    field("ticks per beat", std::to_string(n.ticksPerBeat));
    field("sample rate", std::to_string(n.sampleRate));
    field("take frames", std::to_string(n.takeFrames));
    field("started", n.started);
    field("record source", n.recordSource);
    field("song data", n.songData);
    field("audio", n.audioFile);
    return text;
}

std::string activeLine(const std::vector<TickStretch>& active) {
    std::string line = "active:";
    for (const TickStretch& s : active)
        line += " " + number(s.first) + " " + number(s.second);
    return line + "\n";
}

bool readRecordingNotes(const std::string& text, RecordingNotes& n) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != firstLine)
        return false;
    bool complete = false;
    while (std::getline(in, line)) {
        // A line cut short by a crash has no line break: it is skipped.
        if (in.eof())
            break;
        if (line == "saved") {
            n.saved = true;
            continue;
        }
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = line.substr(0, colon);
        std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
        if (key == "machine")
            n.machine = value;
        else if (key == "pattern")
            n.pattern = value;
        else if (key == "pattern length in ticks")
            n.patternTicks = std::atoi(value.c_str());
        else if (key == "start tick")
            n.startTick = std::atof(value.c_str());
        else if (key == "write position")
            n.writePosition = std::atoll(value.c_str());
        else if (key == "tempo")
            n.beatsPerMinute = std::atoi(value.c_str());
        else if (key == "ticks per beat")
            n.ticksPerBeat = std::atoi(value.c_str());
        else if (key == "sample rate")
            n.sampleRate = std::atoi(value.c_str());
        else if (key == "take frames")
            n.takeFrames = std::atoll(value.c_str());
        else if (key == "started")
            n.started = value;
        else if (key == "record source")
            n.recordSource = value;
        else if (key == "song data")
            n.songData = value;
        else if (key == "audio") {
            n.audioFile = value;
            complete = true;
        } else if (key == "active") {
            n.active.clear();
            std::istringstream values(line.substr(colon + 1));
            double from, to;
            while (values >> from >> to)
                n.active.push_back({from, to});
        }
    }
    return complete && n.sampleRate > 0 && n.takeFrames >= 0;
}

} // namespace spoolex
