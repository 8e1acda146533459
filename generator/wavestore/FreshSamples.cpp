#include "generator/wavestore/FreshSamples.h"

namespace spoolex {

float* appendFreshSamples(Samples& samples, size_t count) {
    const size_t at = samples.size();
    if (samples.capacity() - at >= count)
        mapPagesNow(samples.data() + at, count * sizeof(float));
    samples.resize(at + count);
    return samples.data() + at;
}

} // namespace spoolex
