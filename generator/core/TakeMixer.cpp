#include "generator/core/TakeMixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
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

float hermiteSample(const Take& take, double p, int channel) {
    const size_t count = take.samples.size();
    if (outsideTake(p, take.frameCount()))
        return 0.0f;
    const auto i = static_cast<int64_t>(p);
    const auto f = static_cast<float>(p - static_cast<double>(i));
    const float* data = take.samples.data();
    auto read = [&](int64_t index) {
        return index >= 0 && static_cast<uint64_t>(index) < count ? data[index] : 0.0f;
    };
    const int64_t at = 2 * i + channel;
    return catmullRom(read(at - 2), read(at), read(at + 2), read(at + 4), f);
}

void mixTakeChecked(const Take& take, double p, float* output, int n, float g, float d,
                    double rate) {
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
    return lo >= 1.0 && hi < static_cast<double>(frames) - 2.0;
}

void mixTakeInside(const float* data, double p, float* output, int n, float g, float d,
                   double rate) {
#if defined(__SSE2__)
    const __m128 half = _mm_set1_ps(0.5f);
    for (int i = 0; i < n; ++i) {
        const auto frame = static_cast<int64_t>(p);
        const __m128 f = _mm_set1_ps(static_cast<float>(p - static_cast<double>(frame)));
        const float* at = data + 2 * frame - 2;
        // Lanes 0 and 1 carry left and right; 2 and 3 ride along unused.
        const __m128 early = _mm_loadu_ps(at);    // x-1 (L, R), x0 (L, R)
        const __m128 late = _mm_loadu_ps(at + 4); // x1, x2
        const __m128 xm1 = early;
        const __m128 x0 = _mm_movehl_ps(early, early);
        const __m128 x1 = late;
        const __m128 x2 = _mm_movehl_ps(late, late);
        const __m128 c = _mm_mul_ps(_mm_sub_ps(x1, xm1), half);
        const __m128 v = _mm_sub_ps(x0, x1);
        const __m128 w = _mm_add_ps(c, v);
        const __m128 a = _mm_add_ps(_mm_add_ps(w, v), _mm_mul_ps(_mm_sub_ps(x2, x0), half));
        const __m128 b = _mm_add_ps(w, a);
        __m128 y = _mm_sub_ps(_mm_mul_ps(a, f), b);
        y = _mm_add_ps(_mm_mul_ps(y, f), c);
        y = _mm_add_ps(_mm_mul_ps(y, f), x0);
        y = _mm_mul_ps(y, _mm_set1_ps(g));
        float* out = output + 2 * i;
        const __m128 before = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(out));
        _mm_storel_pi(reinterpret_cast<__m64*>(out), _mm_add_ps(before, y));
        p += rate;
        g += d;
    }
#else
    for (int i = 0; i < n; ++i) {
        const auto frame = static_cast<int64_t>(p);
        const auto f = static_cast<float>(p - static_cast<double>(frame));
        const float* at = data + 2 * frame - 2;
        output[2 * i] += catmullRom(at[0], at[2], at[4], at[6], f) * g;
        output[2 * i + 1] += catmullRom(at[1], at[3], at[5], at[7], f) * g;
        p += rate;
        g += d;
    }
#endif
}

} // namespace

void mixTake(const Take& take, double p, float* output, int n, float g, float d, double rate) {
    if (n <= 0)
        return;
    if (runInsideTake(p, n, rate, take.frameCount()))
        mixTakeInside(take.samples.data(), p, output, n, g, d, rate);
    else
        mixTakeChecked(take, p, output, n, g, d, rate);
}

} // namespace spoolex
