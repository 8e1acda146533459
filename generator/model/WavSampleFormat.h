// Sample formats of the WAV files the generator writes.
#pragma once

#include <cstdint>

namespace spoolex {

enum class WavSampleFormat : uint32_t { Int16 = 0, Float32 = 1, Int32 = 2, Int24 = 3 };

} // namespace spoolex
