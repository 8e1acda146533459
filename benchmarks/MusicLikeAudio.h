// Stands in for music in the take store's benchmarks: decaying notes with
// harmonics, different in each channel, over a quiet noise floor. It
// compresses about as real recordings do, unlike noise or silence.
#pragma once

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

namespace benchmarks {

// Interleaved stereo in the host scale.
inline std::vector<float> musicLikeAudio(size_t frames, int sampleRate) {
    std::vector<float> samples(frames * 2);
    std::mt19937 random(2026);
    std::normal_distribution<float> noise(0.0f, 20.0f);
    const double pi = 3.141592653589793;
    const double notes[] = {110.0, 146.83, 164.81, 220.0, 261.63, 329.63, 392.0};
    for (size_t frame = 0; frame < frames; ++frame) {
        double t = static_cast<double>(frame) / sampleRate;
        size_t beat = static_cast<size_t>(t * 2.0);
        double sinceBeat = t - beat * 0.5;
        double note = notes[beat % 7];
        double envelope = std::exp(-4.0 * sinceBeat);
        double tone = 0.0;
        for (int harmonic = 1; harmonic <= 5; ++harmonic)
            tone += std::sin(2 * pi * note * harmonic * t) / harmonic;
        double pad = 0.2 * std::sin(2 * pi * 55.0 * t);
        for (int channel = 0; channel < 2; ++channel) {
            double pan = channel == 0 ? 0.8 : 0.6;
            double value = 9000.0 * (pan * envelope * tone + pad) + noise(random);
            samples[frame * 2 + channel] = static_cast<float>(value);
        }
    }
    return samples;
}

} // namespace benchmarks
