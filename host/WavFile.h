// Writing the master output as a WAV file.
#pragma once

#include <string>
#include <vector>

namespace host {

// Writes interleaved stereo samples (normalised, full scale +-1.0) as a
// 32-bit float WAV file. False with error set when the file cannot be
// written.
bool writeFloatWav(const std::string& path, int sampleRate, const std::vector<float>& stereo,
                   std::string& error);

} // namespace host
