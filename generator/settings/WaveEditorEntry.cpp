#include "generator/settings/WaveEditorEntry.h"

#include <tinyxml.h>

namespace spoolex {

namespace {

struct FormatKeyword {
    const char* keyword;
    WavSampleFormat format;
};

constexpr FormatKeyword formatKeywords[] = {{"16i", WavSampleFormat::Int16},
                                            {"24i", WavSampleFormat::Int24},
                                            {"32i", WavSampleFormat::Int32},
                                            {"32f", WavSampleFormat::Float32}};

bool readAttribute(const TiXmlElement& element, const char* name, std::string& value,
                   std::string& error) {
    const char* text = element.Attribute(name);
    if (!text) {
        error = std::string("Missing '") + name + "' attribute";
        return false;
    }
    value = text;
    return true;
}

} // namespace

bool parseWaveEditor(const TiXmlElement& element, WaveEditorEntry& entry, std::string& error) {
    std::string format;
    if (!readAttribute(element, "name", entry.name, error) ||
        !readAttribute(element, "path", entry.path, error) ||
        !readAttribute(element, "arguments", entry.arguments, error) ||
        !readAttribute(element, "format", format, error))
        return false;
    for (const FormatKeyword& known : formatKeywords) {
        if (format == known.keyword) {
            entry.format = known.format;
            return true;
        }
    }
    error = "Invalid 'format' attribute";
    return false;
}

} // namespace spoolex
