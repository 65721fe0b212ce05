// The HQVGA device model's four-phase arithmetic, for checking what simulated sensors and
// the virtual adapter deliver: v(s) = low 11 bits of the sample as signed, times 16;
// 37.5 MHz (range 4000): a = Q2 - Q0, b = Q3 - Q1; 75 MHz (range 2000): a = Q1 - Q3,
// b = Q2 - Q0; phase = atan2(a, b) in [0, 2 pi); amplitude = 0.5 * sqrt(a^2 + b^2).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace Korvane::testing {

inline int32_t hqvgaValue(uint16_t sample) {
    return static_cast<int16_t>(static_cast<uint16_t>(sample << 5)) >> 1;
}

struct FourPhase {
    double phase;      // radians, 0 to 2 pi
    double amplitude;  // units of v
    float depthMm;     // phase * 3e8 / (4 pi f) * 1000, as the device model computes it
};

// `planes`: four planes Q0..Q3 of `pixels` samples each; `range` 2000 or 4000.
inline FourPhase decodeFourPhase(const uint16_t* planes, size_t pixels, size_t i, int range) {
    const int32_t q[4] = {hqvgaValue(planes[i]), hqvgaValue(planes[pixels + i]), hqvgaValue(planes[2 * pixels + i]),
                          hqvgaValue(planes[3 * pixels + i])};
    const double a = range == 2000 ? q[1] - q[3] : q[2] - q[0];
    const double b = range == 2000 ? q[2] - q[0] : q[3] - q[1];
    float phase = static_cast<float>(std::atan2(a, b));
    if (phase < 0.0f) phase += 6.2831855f;
    const float frequency = range == 2000 ? 75e6f : 37.5e6f;
    const float k = 3e8f / (12.566371f * frequency);
    return FourPhase{phase, 0.5 * std::sqrt(a * a + b * b), phase * k * 1000.0f};
}

// Distance between two phases on the circle.
inline double phaseError(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 2.0 * M_PI);
    return std::fmin(d, 2.0 * M_PI - d);
}

}  // namespace Korvane::testing
