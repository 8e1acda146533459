// One stereo recording (or imported sound) belonging to one pattern.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "hostsdk/Timing.h"

namespace spoolex {

class Pattern;
class mi;

// Created only through its pattern. Held by shared ownership: the pattern's
// take list and every take player reading it, so a take that leaves the list
// lives on exactly as long as a fading player still reads it.
struct Take : std::enable_shared_from_this<Take> {
    Pattern* owner = nullptr; // the pattern whose take list holds (or held) it
    mi* machine = nullptr;
    // Interleaved stereo, left then right, in the host sample scale.
    std::vector<float> samples;
    int32_t sampleRate = 44100;

    size_t frameCount() const { return samples.size() / 2; }
};

} // namespace spoolex
