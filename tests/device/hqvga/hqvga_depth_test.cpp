// Arithmetic of the 240 x 180 model: sample conversion, raw interleave and four-phase depth.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "hqvga_planes.h"

namespace Korvane::testing {
namespace {

struct ConversionCase {
    uint16_t sample;
    uint8_t shift;
    int16_t expected;
};

// Catches a conversion that keeps bit 11 and above, misses the sign of the 11-bit value,
// or applies the Jetson shift at the wrong place.
TEST(HqvgaSampleConversion, ElevenBitSignedTimesSixteen) {
    const ConversionCase cases[] = {
        {0x07FF, 0, -16},    {0x03FF, 0, 16368},  {0x0400, 0, -16384}, {0x0000, 0, 0},
        {0x0001, 0, 16},     {0x0801, 0, 16},     {0xFBFF, 0, 16368},  {0x7FF0, 4, -16},
        {0x3FF0, 4, 16368},  {0x000F, 4, 0},      {0x7FF0, 0, -256},
    };
    for (const ConversionCase& c : cases) {
        EXPECT_EQ(hqvga::convertSample(c.sample, c.shift), c.expected)
            << std::hex << "sample 0x" << c.sample << " shift " << int(c.shift);
    }
}

// Catches a swapped plane/row order: sensor row r must become output rows 4r..4r+3, one
// per phase plane, each converted.
TEST(HqvgaRawInterleave, RowsFollowPlaneOrder) {
    HqvgaFrame frame;
    for (int k = 0; k < hqvga::kPhases; ++k) {
        for (size_t i = 0; i < hqvga::kPixels; ++i) frame.sample(k, i) = static_cast<uint16_t>((k * 251 + i) % 1024);
    }
    std::vector<int16_t> raw(hqvga::kPixels * hqvga::kPhases, -1);
    hqvga::interleaveRawImages(frame.staging.data(), 0, raw.data());

    EXPECT_EQ(raw[0], hqvga::convertSample(frame.sample(0, 0), 0));  // row 0 = Q0 row 0
    EXPECT_EQ(raw[719 * 240 + 239], hqvga::convertSample(frame.sample(3, hqvga::kPixels - 1), 0));  // row 719 = Q3 row 179
    for (int r = 0; r < hqvga::kHeight; ++r) {
        for (int k = 0; k < hqvga::kPhases; ++k) {
            for (int c = 0; c < hqvga::kWidth; ++c) {
                ASSERT_EQ(raw[(4 * r + k) * 240 + c], hqvga::convertSample(frame.sample(k, r * 240 + c), 0))
                    << "plane " << k << " row " << r << " column " << c;
            }
        }
    }
}

constexpr double kPi = 3.14159265358979323846;

// Each pixel gets its own phasor (a, b) in sample units (Q0 = Q1 = 512, Q2 = 512 + a,
// Q3 = 512 + b): depth must be phase / 2 pi of the unambiguous range c / 2f and amplitude
// half the phasor length. Catches plane offsets, per-pixel indexing and quadrant errors.
TEST(HqvgaDepth, EveryPixelMatchesItsPhasor) {
    HqvgaFrame frame;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> component(-500, 500);
    std::vector<std::pair<int, int>> phasors(hqvga::kPixels);
    for (size_t i = 0; i < hqvga::kPixels; ++i) {
        const int a = component(random), b = component(random);
        phasors[i] = {a, b};
        frame.sample(0, i) = 512;
        frame.sample(1, i) = 512;
        frame.sample(2, i) = static_cast<uint16_t>(512 + a);
        frame.sample(3, i) = static_cast<uint16_t>(512 + b);
    }
    for (const float frequency : {hqvga::kFrequency37M5, hqvga::kFrequency75M}) {
        DepthPlanes out;
        hqvga::computeDepth(frame.staging.data(), {0, false, frequency}, out.depth.data(), out.amplitude.data(),
                            out.confidence.data());
        const double unambiguousMm = 3e8 / (2.0 * frequency) * 1000.0;
        for (size_t i = 0; i < hqvga::kPixels; ++i) {
            const auto [a, b] = phasors[i];
            double phase = std::atan2(16.0 * a, 16.0 * b);
            if (phase < 0) phase += 2 * kPi;
            ASSERT_NEAR(out.depth[i], phase / (2 * kPi) * unambiguousMm, 2e-3) << "pixel " << i;
            ASSERT_NEAR(out.amplitude[i], 8.0 * std::hypot(a, b), 1e-3) << "pixel " << i;
            ASSERT_EQ(out.confidence[i], out.amplitude[i]);
        }
    }
}

}  // namespace
}  // namespace Korvane::testing
