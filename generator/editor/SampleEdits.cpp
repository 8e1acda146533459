#include "generator/editor/SampleEdits.h"

#include <algorithm>
#include <cmath>

#include "generator/model/Take.h"
#include "generator/model/TimeUnits.h"

double framesPerTickOf(const spoolex::Take& take, const CMasterInfo& timing) {
    return spoolex::framesPerTick(spoolex::rateRatio(take.sampleRate, timing.samplesPerSec),
                                  spoolex::samplesPerTick(timing));
}

uint32_t frameAt(double frames) {
    if (!(frames > 0.0))
        return 0;
    if (frames >= 4294967295.0)
        return 4294967295u;
    return static_cast<uint32_t>(frames);
}

FrameRange selectionFrames(double framesPerTick, double selStart, double selEnd) {
    return {frameAt(framesPerTick * selStart), frameAt(framesPerTick * selEnd - 1.0)};
}

std::vector<float> withoutFrames(const std::vector<float>& samples, size_t first, size_t end) {
    const size_t frames = samples.size() / 2;
    end = std::min(end, frames);
    if (first >= end)
        return samples;
    std::vector<float> result;
    result.reserve(samples.size() - 2 * (end - first));
    result.insert(result.end(), samples.begin(), samples.begin() + 2 * first);
    result.insert(result.end(), samples.begin() + 2 * end, samples.end());
    return result;
}

std::vector<float> withInserted(const std::vector<float>& samples, size_t at,
                                const std::vector<float>& frames) {
    const size_t have = samples.size() / 2;
    const size_t before = std::min(have, at);
    std::vector<float> result;
    result.reserve(2 * std::max(have, at) + frames.size());
    result.insert(result.end(), samples.begin(), samples.begin() + 2 * before);
    result.resize(2 * at, 0.0f);
    result.insert(result.end(), frames.begin(), frames.end());
    result.insert(result.end(), samples.begin() + 2 * before, samples.end());
    return result;
}
