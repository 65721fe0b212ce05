#include "hqvga_depth.h"

#include <cmath>

#include "phasor_polar.h"

namespace Korvane::hqvga {

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kFourPi = 12.566371f;
constexpr float kSpeedOfLight = 3e8f;  // metres per second, as the sensor's depth scale uses

}  // namespace

float depthScale(float frequencyHz) { return kSpeedOfLight / (kFourPi * frequencyHz); }

void interleaveRawImages(const uint16_t* staging, uint8_t shift, int16_t* raw) {
    for (int k = 0; k < kPhases; ++k) {
        const uint16_t* plane = staging + k * kPixels;
        for (int r = 0; r < kHeight; ++r) {
            const uint16_t* in = plane + r * kWidth;
            int16_t* out = raw + (kPhases * r + k) * kWidth;
            for (int c = 0; c < kWidth; ++c) out[c] = convertSample(in[c], shift);
        }
    }
}

void computeDepth(const uint16_t* staging, const PhaseSettings& settings, float* depth, float* amplitude,
                  float* confidence) {
    const uint16_t* q0 = staging;
    const uint16_t* q1 = staging + kPixels;
    const uint16_t* q2 = staging + 2 * kPixels;
    const uint16_t* q3 = staging + 3 * kPixels;
    // The rotated order is the standard one read with planes Q3, Q0, Q1, Q2 in place of
    // Q0, Q1, Q2, Q3.
    if (settings.rotatedOrder) {
        const uint16_t* last = q3;
        q3 = q2;
        q2 = q1;
        q1 = q0;
        q0 = last;
    }
    const float scale = depthScale(settings.frequencyHz);
    const uint8_t shift = settings.shift;
    // One sensor row at a time: the phase differences, then their polar form.
    int32_t a[kWidth];
    int32_t b[kWidth];
    float phase[kWidth];
    for (size_t row = 0; row < kPixels; row += kWidth) {
        for (int c = 0; c < kWidth; ++c) {
            const size_t i = row + c;
            // Exact integers: both differences of two converted samples fit in int16.
            a[c] = convertSample(q2[i], shift) - convertSample(q0[i], shift);
            b[c] = convertSample(q3[i], shift) - convertSample(q1[i], shift);
        }
        phasorPolar(a, b, kWidth, phase, amplitude + row);
        for (int c = 0; c < kWidth; ++c) {
            const float wrapped = phase[c] < 0.0f ? phase[c] + kTwoPi : phase[c];
            depth[row + c] = wrapped * scale * 1000.0f;
            confidence[row + c] = amplitude[row + c];
        }
    }
}

}  // namespace Korvane::hqvga
