// Reading a take at a fractional frame position and mixing it into a block.
#pragma once

#include "generator/model/Take.h"

namespace spoolex {

// 4-point third-order Hermite (Catmull-Rom) value of one channel (0 left,
// 1 right) at take frame p. Frames outside the take read as 0.
float hermiteSample(const Take& take, double p, int channel) noexcept;

// Adds n stereo samples of take to output, starting at frame p and advancing
// rate frames per sample, with gain g changing by d per sample. Blocks that
// read entirely inside the take take a path without bounds checks; its output
// is bit-identical to the checked one.
void mixTake(const Take& take, double p, float* output, int n, float g, float d,
             double rate) noexcept;

// The checked path alone, for comparing the two.
void mixTakeChecked(const Take& take, double p, float* output, int n, float g, float d,
                    double rate) noexcept;

} // namespace spoolex
