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

spoolex::Samples withoutFrames(const spoolex::Samples& samples, size_t first, size_t end) {
    const size_t frames = samples.size() / 2;
    end = std::min(end, frames);
    if (first >= end)
        return samples;
    // Every sample of the new buffer is written once: fresh zero pages in
    // large pages (a fault per 2 MiB, not per 4 KiB) spare an hour's take
    // seconds of page faults. Not mapped ahead in one call: that holds the
    // process's memory map as long, and stalled the audio thread's faults.
    spoolex::Samples result = spoolex::bulkSamples(samples.size() - 2 * (end - first));
    auto to = std::copy(samples.begin(), samples.begin() + 2 * first, result.begin());
    std::copy(samples.begin() + 2 * end, samples.end(), to);
    return result;
}

spoolex::Samples withInserted(const spoolex::Samples& samples, size_t at,
                              const std::vector<float>& frames) {
    const size_t have = samples.size() / 2;
    const size_t before = std::min(have, at);
    // Fresh as above; the silence up to at is there already.
    spoolex::Samples result = spoolex::bulkSamples(2 * std::max(have, at) + frames.size());
    std::copy(samples.begin(), samples.begin() + 2 * before, result.begin());
    auto to = std::copy(frames.begin(), frames.end(), result.begin() + 2 * at);
    std::copy(samples.begin() + 2 * before, samples.end(), to);
    return result;
}
