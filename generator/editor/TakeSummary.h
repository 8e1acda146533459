// A take's minimum and maximum per block of frames, at two block sizes, so
// the view can find the extremes of any stretch of frames without reading
// all of them: raw frames at the stretch's ragged ends, blocks in between.
// The result is exactly what reading every frame would give.
//
// Size: four floats per 128 frames and per 8192 frames, under 1/32 of the
// take's own two floats per frame.
#pragma once

#include <cstdint>
#include <vector>

namespace spoolex {
class TakeSamples;
}

class TakeSummary {
public:
    static constexpr int64_t fineBlock = 128;
    static constexpr int64_t coarseBlock = 8192;

    // Reads every frame once.
    void build(spoolex::TakeSamples& samples);
    int64_t frames() const { return frameCount; }

    // Folds frames a .. b - 1 into extremes {minL, maxL, minR, maxR}.
    void fold(spoolex::TakeSamples& samples, int64_t a, int64_t b, float extremes[4]) const;

private:
    static void foldRaw(spoolex::TakeSamples& samples, int64_t a, int64_t b, float extremes[4]);
    static void foldBlocks(const std::vector<float>& blocks, int64_t first, int64_t end,
                           float extremes[4]);

    int64_t frameCount = 0;
    std::vector<float> fine;   // four per fine block
    std::vector<float> coarse; // four per coarse block
};
