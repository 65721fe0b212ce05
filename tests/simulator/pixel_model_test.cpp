#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pixel_model.h"
#include "random.h"

namespace Korvane::Sim {
namespace {

struct Moments {
    double mean;
    double stddev;
};

Moments sampleMoments(const PixelModel& model, const PixelSignal& signal, double correlation, int count, uint64_t seed) {
    Random random(seed);
    double sum = 0.0, sumSquares = 0.0;
    for (int i = 0; i < count; ++i) {
        const double v = model.sample(signal, correlation, random);
        sum += v;
        sumSquares += v * v;
    }
    const double mean = sum / count;
    return Moments{mean, std::sqrt(sumSquares / count - mean * mean)};
}

TEST(PixelModel, PhaseFollowsTheRoundTripOfTheModulation) {
    // One full cycle of 37.5 MHz is a round trip of c / f, so 4 m of distance.
    EXPECT_NEAR(modulationPhase(kSpeedOfLight / (2.0 * 37.5e6), 37.5e6), 2.0 * kPi, 1e-12);
    EXPECT_NEAR(modulationPhase(1.0, 75e6), 4.0 * kPi * 75e6 / kSpeedOfLight, 1e-12);
}

// Catches amplitude that ignores distance, reflectivity or incidence, and ambient light
// that adds signal instead of charge.
TEST(PixelModel, AmplitudeFallsWithDistanceSquaredAndScalesWithReflectivity) {
    PixelModelParams params;
    const PixelModel model(params);
    const PixelSignal near = model.signal(1.0, 1.0, 1.0);
    EXPECT_DOUBLE_EQ(near.amplitude, params.demodulationContrast * params.signalElectrons);
    EXPECT_DOUBLE_EQ(near.tapCharge, 0.5 * (params.signalElectrons + params.ambientElectrons));
    EXPECT_DOUBLE_EQ(model.signal(2.0, 0.5, 1.0).amplitude, near.amplitude / 8.0);
    EXPECT_DOUBLE_EQ(model.signal(1.0, 1.0, 0.5).amplitude, near.amplitude / 2.0);
    EXPECT_DOUBLE_EQ(model.amplitudeCodes(near), near.amplitude / params.electronsPerCode);
    const PixelSignal nothing = model.signal(0.0, 1.0, 1.0);
    EXPECT_EQ(nothing.amplitude, 0.0);
    EXPECT_EQ(nothing.tapCharge, 0.0);
}

// Catches noise of the wrong size: shot noise of both taps (signal and ambient) plus read
// noise, in the normal-approximation and the exact-count regimes.
TEST(PixelModel, SampleMeanAndNoiseMatchTheChargeStatistics) {
    struct Case {
        double signal, ambient, readNoise, correlation;
    };
    for (const Case c : {Case{8000.0, 800.0, 20.0, 0.7}, Case{20.0, 10.0, 1.0, -1.0}, Case{0.0, 4000.0, 5.0, 1.0}}) {
        PixelModelParams params;
        params.signalElectrons = c.signal;
        params.ambientElectrons = c.ambient;
        params.readNoiseElectrons = c.readNoise;
        params.electronsPerCode = 1.0;
        params.adcMin = -100000;  // wide enough to see the unclipped statistics
        params.adcMax = 100000;
        const PixelModel model(params);
        const PixelSignal signal = model.signal(1.0, 1.0, 1.0);
        const Moments m = sampleMoments(model, signal, c.correlation, 40000, 7);
        const double expectedStd = std::sqrt(2.0 * signal.tapCharge + c.readNoise * c.readNoise);
        SCOPED_TRACE(c.signal);
        EXPECT_NEAR(m.mean, signal.amplitude * c.correlation, 4.0 * expectedStd / std::sqrt(40000.0) + 0.5);
        EXPECT_NEAR(m.stddev, expectedStd, 0.05 * expectedStd + 0.3);
    }
}

TEST(PixelModel, SamplesSaturateAtTheAdcRangeAndTheFullWell) {
    // 10000 signal electrons at 10 m: amplitude 8000 e = 2000 codes, taps 9000 and 1000 e.
    PixelModelParams params;
    params.signalElectrons = 1e6;
    params.ambientElectrons = 0.0;
    params.readNoiseElectrons = 0.0;
    const PixelModel adcLimited(params);
    Random random(1);
    const PixelSignal strong = adcLimited.signal(10.0, 1.0, 1.0);
    EXPECT_EQ(adcLimited.sample(strong, 1.0, random), params.adcMax);
    EXPECT_EQ(adcLimited.sample(strong, -1.0, random), params.adcMin);

    // With a 5000 e well the brighter tap clips: the difference drops from 8000 to about
    // 5000 - 1000 electrons.
    params.fullWellElectrons = 5000.0;
    params.electronsPerCode = 1.0;
    params.adcMax = 100000;
    const PixelModel wellLimited(params);
    EXPECT_NEAR(wellLimited.sample(strong, 1.0, random), 4000, 160);
}

TEST(Random, SameSeedAndStreamRepeatOthersDiffer) {
    Random a = Random::forStream(5, 9), b = Random::forStream(5, 9);
    Random otherStream = Random::forStream(5, 10), otherSeed = Random::forStream(6, 9);
    const uint64_t first = a.next();
    EXPECT_EQ(first, b.next());
    EXPECT_NE(first, otherStream.next());
    EXPECT_NE(first, otherSeed.next());
}

}  // namespace
}  // namespace Korvane::Sim
