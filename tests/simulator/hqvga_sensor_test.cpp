#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "hqvga_decode.h"
#include "hqvga_sensor.h"

namespace Korvane::Sim {
namespace {

using Korvane::testing::decodeFourPhase;
using Korvane::testing::phaseError;

const Intrinsics kIntrinsics{170.0, 170.0, 119.5, 89.5};

// Nearly noise-free pixels: a strong signal read with a coarse conversion gain, so the
// shot noise stays near one code while the amplitude is 800 codes at the image centre of
// a wall `metres` away.
PixelModelParams quietPixels(double metres) {
    PixelModelParams params;
    params.signalElectrons = 1e6 * metres * metres / 0.8;
    params.ambientElectrons = 0.0;
    params.electronsPerCode = 1000.0;
    params.readNoiseElectrons = 0.0;
    params.fullWellElectrons = 1e9;
    return params;
}

TEST(HqvgaSampleCoding, SignedElevenBitsTimesSixteen) {
    EXPECT_EQ(encodeHqvgaSample(-1), 0x7FF);
    EXPECT_EQ(encodeHqvgaSample(1023), 0x3FF);
    EXPECT_EQ(encodeHqvgaSample(-1024), 0x400);
    for (int32_t code : {-1024, -1, 0, 1, 1023}) {
        EXPECT_EQ(decodeHqvgaSample(encodeHqvgaSample(code)), code * 16);
        EXPECT_EQ(Korvane::testing::hqvgaValue(encodeHqvgaSample(code)), code * 16) << "the device model's conversion";
    }
    EXPECT_EQ(encodeHqvgaSample(5) & 0xF800, 0) << "bits 11 and above stay clear";
}

struct EncodingCase {
    HqvgaModulation modulation;
    int range;
    double wallMetres;
};

class HqvgaEncoding : public ::testing::TestWithParam<EncodingCase> {};

// Catches a plane order that does not match the decoder at either frequency (a wrong
// order shows as a phase off by multiples of pi/2 or mirrored), and an amplitude scale
// that differs from the ground truth.
TEST_P(HqvgaEncoding, FourPhaseDecodeRecoversTrueParametersAtEachFrequency) {
    const EncodingCase c = GetParam();
    Scene scene;
    scene.add(Plane{{0, 0, 1}, c.wallMetres, 0.8});
    HqvgaSensor sensor(scene, kIntrinsics, quietPixels(c.wallMetres), 3);
    sensor.setModulation(c.modulation);
    std::vector<uint16_t> planes(HqvgaSensor::kSamplesPerFrame);
    sensor.render(0, planes.data());
    const HqvgaGroundTruth& truth = sensor.groundTruth();
    const double frequency = modulationFrequencyHz(c.modulation);
    double worstPhase = 0.0, worstAmplitude = 0.0;
    for (size_t i = 0; i < HqvgaSensor::kPixels; i += 7) {
        const auto decoded = decodeFourPhase(planes.data(), HqvgaSensor::kPixels, i, c.range);
        const double expected = std::fmod(modulationPhase(truth.depthMm[i] / 1000.0, frequency), 2.0 * kPi);
        worstPhase = std::fmax(worstPhase, phaseError(decoded.phase, expected));
        worstAmplitude = std::fmax(worstAmplitude, std::fabs(decoded.amplitude / truth.amplitude[i] - 1.0));
    }
    EXPECT_LT(worstPhase, 0.02);
    EXPECT_LT(worstAmplitude, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Walls, HqvgaEncoding,
                         ::testing::Values(EncodingCase{HqvgaModulation::MHz37_5, 4000, 0.9},
                                           EncodingCase{HqvgaModulation::MHz37_5, 4000, 3.1},
                                           EncodingCase{HqvgaModulation::MHz75, 2000, 0.9},
                                           EncodingCase{HqvgaModulation::MHz75, 2000, 1.7}));

TEST(HqvgaSensor, GroundTruthIsRadialDistanceAndFallsOffWithIt) {
    Scene scene;
    scene.add(Plane{{0, 0, 1}, 1.5, 0.8});
    HqvgaSensor sensor(scene, kIntrinsics, PixelModelParams{}, 1);
    const HqvgaGroundTruth& truth = sensor.groundTruth();
    const size_t centre = 90 * 240 + 119, corner = 0;
    EXPECT_NEAR(truth.depthMm[centre], 1500.0f * std::sqrt(1.0f + (0.5f / 170.0f) * (0.5f / 170.0f) * 2), 0.01f);
    EXPECT_GT(truth.depthMm[corner], 1.3f * 1500.0f);
    EXPECT_LT(truth.amplitude[corner], truth.amplitude[centre]);
}

TEST(HqvgaSensor, SameSeedAndFrameRenderIdenticallyOthersDiffer) {
    Scene scene;
    scene.add(Plane{{0, 0, 1}, 1.0, 0.5});
    const HqvgaSensor a(scene, kIntrinsics, PixelModelParams{}, 11);
    const HqvgaSensor b(scene, kIntrinsics, PixelModelParams{}, 11);
    const HqvgaSensor otherSeed(scene, kIntrinsics, PixelModelParams{}, 12);
    std::vector<uint16_t> first(HqvgaSensor::kSamplesPerFrame), again(first.size()), next(first.size()),
        other(first.size());
    a.render(4, first.data());
    b.render(4, again.data());
    a.render(5, next.data());
    otherSeed.render(4, other.data());
    EXPECT_EQ(first, again);
    EXPECT_NE(first, next) << "noise must change from frame to frame";
    EXPECT_NE(first, other);
}

// Catches saturation that is not modelled: a close bright object clips at the ADC range
// (its taps stay below the full well), so its decoded amplitude falls short of the true one.
TEST(HqvgaSensor, CloseBrightObjectSaturates) {
    Scene scene;
    scene.add(Plane{{0, 0, 1}, 0.6, 1.0});
    HqvgaSensor sensor(scene, kIntrinsics, PixelModelParams{}, 2);
    std::vector<uint16_t> planes(HqvgaSensor::kSamplesPerFrame);
    sensor.render(0, planes.data());
    const size_t centre = 90 * 240 + 120;
    int clipped = 0;
    for (int k = 0; k < 4; ++k) {
        const int32_t v = Korvane::testing::hqvgaValue(planes[k * HqvgaSensor::kPixels + centre]);
        clipped += v == 1023 * 16 || v == -1024 * 16;
    }
    EXPECT_GE(clipped, 2);
    const auto decoded = decodeFourPhase(planes.data(), HqvgaSensor::kPixels, centre, 4000);
    EXPECT_LT(decoded.amplitude, 0.5 * sensor.groundTruth().amplitude[centre]);
}

}  // namespace
}  // namespace Korvane::Sim
