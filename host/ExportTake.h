// One take of a song, or a stretch of it, out as a WAV file through the
// generator's own exporter.
#pragma once

#include <cstdio>
#include <string>

#include "generator/model/WavSampleFormat.h"

namespace host {

struct ExportOptions {
    std::string pattern;
    int take = 0; // its position in the pattern's takes
    bool selected = false;
    double from = 0.0, to = 0.0; // ticks of the pattern, when selected
    spoolex::WavSampleFormat format = spoolex::WavSampleFormat::Int16;
};

int exportCommand(const std::string& songPath, const std::string& wavPath,
                  const ExportOptions& options, const std::string& gear, std::FILE* out);

} // namespace host
