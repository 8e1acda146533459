#include "host/cli/Values.h"

#include "host/cli/Numbers.h"

namespace host::cli {

namespace {

// NAME<separator>NUMBER, split at the last separator so names may hold it.
bool split(const std::string& text, char separator, std::string& name, std::string& number) {
    const size_t at = text.rfind(separator);
    if (at == std::string::npos || at == 0)
        return false;
    name = text.substr(0, at);
    number = text.substr(at + 1);
    return true;
}

} // namespace

bool readPatternSpec(const std::string& text, std::vector<NewPattern>& patterns,
                     std::string& error) {
    std::string name, number;
    int ticks = 0;
    if (!split(text, ':', name, number)) {
        error = "--pattern takes NAME:TICKS, not \"" + text + "\"";
        return false;
    }
    if (!readWhole("--pattern " + name + ":", number, 1, longestPattern, ticks, error))
        return false;
    patterns.push_back({name, ticks});
    return true;
}

bool readPlaySpec(const std::string& text, std::vector<NewPlay>& plays, std::string& error) {
    std::string name, number;
    long tick = 0;
    if (!split(text, '@', name, number)) {
        error = "--play takes NAME@TICK, not \"" + text + "\"";
        return false;
    }
    if (!readWhole("--play " + name + "@", number, 0L, latestStart, tick, error))
        return false;
    plays.push_back({name, static_cast<uint32_t>(tick)});
    return true;
}

bool readExportFormat(const std::string& text, spoolex::WavSampleFormat& format,
                      std::string& error) {
    using spoolex::WavSampleFormat;
    static const std::pair<const char*, WavSampleFormat> formats[] = {
        {"16i", WavSampleFormat::Int16},
        {"24i", WavSampleFormat::Int24},
        {"32i", WavSampleFormat::Int32},
        {"32f", WavSampleFormat::Float32}};
    for (const auto& [name, value] : formats)
        if (text == name) {
            format = value;
            return true;
        }
    error = "--format takes 16i, 24i, 32i or 32f, not \"" + text + "\"";
    return false;
}

} // namespace host::cli
