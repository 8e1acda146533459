#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "generator/model/TakeMixer.h"

namespace {

using spoolex::hermiteSample;
using spoolex::mixTake;
using spoolex::mixTakeChecked;
using spoolex::Take;

Take randomTake(size_t frames, std::mt19937& random) {
    std::uniform_real_distribution<float> value(-32768.0f, 32768.0f);
    Take take;
    take.changeSamples().resize(2 * frames);
    for (float& v : take.changeSamples())
        v = value(random);
    return take;
}

TEST(TakeMixer, HermiteReadsZeroOutsideTheTake) {
    Take take;
    take.changeSamples() = {10, -10, 20, -20, 40, -40};
    // At a whole frame the curve passes through the sample itself.
    EXPECT_EQ(hermiteSample(take, 0.0, 0), 10.0f);
    EXPECT_EQ(hermiteSample(take, 2.0, 1), -40.0f);
    // Between frames 0 and 1, frame -1 reads 0: c = 10, v = -10, w = 0,
    // a = -10 + 15 = 5, b = 5.
    EXPECT_EQ(hermiteSample(take, 0.5, 0), ((5 * 0.5f - 5) * 0.5f + 10) * 0.5f + 10);
    EXPECT_EQ(hermiteSample(take, 3.0, 0), 0.0f);
    EXPECT_EQ(hermiteSample(take, -2.0, 0), 0.0f);
    EXPECT_EQ(hermiteSample(take, 1e30, 0), 0.0f);
    EXPECT_EQ(hermiteSample(take, -1e30, 1), 0.0f);
    Take empty;
    EXPECT_EQ(hermiteSample(empty, 0.25, 0), 0.0f);
}

// Catmull-Rom reproduces straight lines and parabolas exactly: its slopes
// are central differences, which are exact up to second order.
TEST(TakeMixer, HermiteFollowsALineAndAParabola) {
    Take take;
    for (int i = 0; i < 10; ++i) {
        take.changeSamples().push_back(3.0f * i + 5.0f);           // left: a line
        take.changeSamples().push_back(static_cast<float>(i * i)); // right: a parabola
    }
    for (double p : {2.0, 2.25, 3.5, 4.75, 6.125}) {
        EXPECT_EQ(hermiteSample(take, p, 0), static_cast<float>(3.0 * p + 5.0)) << p;
        EXPECT_EQ(hermiteSample(take, p, 1), static_cast<float>(p * p)) << p;
    }
}

// The unchecked path for runs inside a take must give exactly the checked
// path's bits, at every rate and gain ramp and near both ends.
TEST(TakeMixer, TheFastPathIsBitIdenticalToTheFormula) {
    std::mt19937 random(4);
    const size_t frames = 4000;
    Take take = randomTake(frames, random);
    std::uniform_real_distribution<double> start(-300.0, frames + 300.0);
    const double rates[] = {1.0, 0.5, 2.0, 44100.0 / 48000.0, 48000.0 / 44100.0, 0.0, 3.7};
    for (double rate : rates)
        for (int trial = 0; trial < 300; ++trial) {
            double p =
                trial < 4 ? (trial < 2 ? 1.0 + trial : frames - 300.0 - trial) : start(random);
            int n = 1 + static_cast<int>(random() % 256);
            float g = static_cast<float>(random() % 100) * 0.01f;
            float d = trial % 3 == 0 ? 0.0f : (trial % 3 == 1 ? 0.01f : -0.001f);
            std::vector<float> base(2 * n);
            for (float& v : base)
                v = static_cast<float>(random() % 1000) - 500.0f;
            std::vector<float> fast = base;
            std::vector<float> plain = base;
            mixTake(take, p, fast.data(), n, g, d, rate);
            mixTakeChecked(take, p, plain.data(), n, g, d, rate);
            ASSERT_EQ(std::memcmp(fast.data(), plain.data(), fast.size() * sizeof(float)), 0)
                << "rate " << rate << " p " << p << " n " << n;
        }
}

} // namespace
