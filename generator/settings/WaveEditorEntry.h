// One external wave editor from the settings file.
#pragma once

#include <string>

#include "generator/model/WavSampleFormat.h"

class TiXmlElement;

namespace spoolex {

struct WaveEditorEntry {
    std::string name;      // menu text
    std::string path;      // program to launch
    std::string arguments; // command line; "%1" stands for the quoted temporary file
    WavSampleFormat format = WavSampleFormat::Int16;
};

// Fills entry from an <editor> element. False with error set to the message
// for the user when an attribute is missing or the format is not a keyword.
bool parseWaveEditor(const TiXmlElement& element, WaveEditorEntry& entry, std::string& error);

} // namespace spoolex
