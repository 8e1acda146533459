#include "generator/model/TakeMixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

namespace spoolex {

namespace {

// Both paths evaluate exactly this, in this order, in single precision.
inline float catmullRom(float xm1, float x0, float x1, float x2, float f) {
    float c = (x1 - xm1) * 0.5f;
    float v = x0 - x1;
    float w = c + v;
    float a = w + v + (x2 - x0) * 0.5f;
    float b = w + a;
    return ((a * f - b) * f + c) * f + x0;
}

// Positions this far outside a take read only zeros (and keep the frame
// index far from the int64 limits).
inline bool outsideTake(double p, size_t frames) {
    return !(p > -4.0 && p < static_cast<double>(frames) + 4.0);
}

} // namespace

float hermiteSample(const Take& take, double p, int channel) noexcept {
    const size_t count = take.samples().size();
    if (outsideTake(p, take.frameCount()))
        return 0.0f;
    const auto i = static_cast<int64_t>(p);
    const auto f = static_cast<float>(p - static_cast<double>(i));
    const float* data = take.samples().data();
    auto read = [&](int64_t index) {
        return index >= 0 && static_cast<uint64_t>(index) < count ? data[index] : 0.0f;
    };
    const int64_t at = 2 * i + channel;
    return catmullRom(read(at - 2), read(at), read(at + 2), read(at + 4), f);
}

void mixTakeChecked(const Take& take, double p, float* output, int n, float g, float d,
                    double rate) noexcept {
    for (int i = 0; i < n; ++i) {
        output[2 * i] += hermiteSample(take, p, 0) * g;
        output[2 * i + 1] += hermiteSample(take, p, 1) * g;
        p += rate;
        g += d;
    }
}

namespace {

// The first and last frames a run of n samples touches lie within the take:
// frame trunc(p) - 1 >= 0 and trunc(p) + 2 <= last frame, for every p of the
// run. The margin of one frame covers the rounding of the summed positions.
bool runInsideTake(double p, int n, double rate, size_t frames) {
    const double last = p + rate * static_cast<double>(n);
    const double lo = std::min(p, last) - 1.0;
    const double hi = std::max(p, last) + 1.0;
    return lo >= 1.0 && hi < static_cast<double>(frames) - 2.0 && hi < 2147483647.0;
}

#if defined(__SSE2__)
// The formula on four lanes at once; each lane rounds exactly as the scalar
// code does.
inline __m128 catmullRom4(__m128 xm1, __m128 x0, __m128 x1, __m128 x2, __m128 f) {
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 c = _mm_mul_ps(_mm_sub_ps(x1, xm1), half);
    const __m128 v = _mm_sub_ps(x0, x1);
    const __m128 w = _mm_add_ps(c, v);
    const __m128 a = _mm_add_ps(_mm_add_ps(w, v), _mm_mul_ps(_mm_sub_ps(x2, x0), half));
    const __m128 b = _mm_add_ps(w, a);
    __m128 y = _mm_sub_ps(_mm_mul_ps(a, f), b);
    y = _mm_add_ps(_mm_mul_ps(y, f), c);
    return _mm_add_ps(_mm_mul_ps(y, f), x0);
}
#endif

void mixTakeInside(const float* data, double p, float* output, int n, float g, float d, double rate,
                   size_t count) {
    int i = 0;
#if defined(__SSE2__)
    // Many players stream from many takes at once, more than the hardware
    // prefetcher follows: ask for what this player reads in its next block.
    {
        const double ahead = p + rate * static_cast<double>(n);
        const auto first = static_cast<size_t>(ahead) * 2;
        const auto last = std::min(count, static_cast<size_t>(ahead + rate * n + 4.0) * 2);
        for (size_t at = first; at < last; at += 16)
            _mm_prefetch(reinterpret_cast<const char*>(data + at), _MM_HINT_T0);
    }
    // Two output samples per step: lanes 0 and 1 carry the first one's left
    // and right, lanes 2 and 3 the second's.
    for (; i + 1 < n; i += 2) {
        const double pA = p;
        const float gA = g;
        p += rate;
        g += d;
        const double pB = p;
        const float gB = g;
        p += rate;
        g += d;
        // Both positions split at once; the run lies inside the take, so the
        // frame numbers fit in 32 bits.
        const __m128d positions = _mm_set_pd(pB, pA);
        const __m128i frames = _mm_cvttpd_epi32(positions);
        const __m128 fractions = _mm_cvtpd_ps(_mm_sub_pd(positions, _mm_cvtepi32_pd(frames)));
        const int64_t frameA = _mm_cvtsi128_si32(frames);
        const int64_t frameB = _mm_cvtsi128_si32(_mm_shuffle_epi32(frames, 1));
        const float* atA = data + 2 * frameA - 2;
        const float* atB = data + 2 * frameB - 2;
        const __m128 earlyA = _mm_loadu_ps(atA);    // x-1 (L, R), x0 (L, R)
        const __m128 lateA = _mm_loadu_ps(atA + 4); // x1, x2
        const __m128 earlyB = _mm_loadu_ps(atB);
        const __m128 lateB = _mm_loadu_ps(atB + 4);
        const __m128 y = catmullRom4(_mm_movelh_ps(earlyA, earlyB), _mm_movehl_ps(earlyB, earlyA),
                                     _mm_movelh_ps(lateA, lateB), _mm_movehl_ps(lateB, lateA),
                                     _mm_unpacklo_ps(fractions, fractions));
        float* out = output + 2 * i;
        _mm_storeu_ps(out,
                      _mm_add_ps(_mm_loadu_ps(out), _mm_mul_ps(y, _mm_set_ps(gB, gB, gA, gA))));
    }
#endif
    for (; i < n; ++i) {
        const auto frame = static_cast<int64_t>(p);
        const auto f = static_cast<float>(p - static_cast<double>(frame));
        const float* at = data + 2 * frame - 2;
        output[2 * i] += catmullRom(at[0], at[2], at[4], at[6], f) * g;
        output[2 * i + 1] += catmullRom(at[1], at[3], at[5], at[7], f) * g;
        p += rate;
        g += d;
    }
}

} // namespace

void mixTake(const Take& take, double p, float* output, int n, float g, float d,
             double rate) noexcept {
    if (n <= 0)
        return;
    if (runInsideTake(p, n, rate, take.frameCount()))
        mixTakeInside(take.samples().data(), p, output, n, g, d, rate, take.samples().size());
    else
        mixTakeChecked(take, p, output, n, g, d, rate);
}

} // namespace spoolex
