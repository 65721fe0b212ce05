// Polar form of integer phasors (a, b): the phase atan2(a, b) and half the length, both
// rounded to float. Bit for bit the values of (float)std::atan2(double(a), double(b)) and
// (float)(0.5 * std::sqrt(double(a) * a + double(b) * b)), several times faster than the
// library's arctangent. Exact for |a|, |b| <= 32767 (every difference of two converted
// samples).
#pragma once

#include <cstddef>
#include <cstdint>

namespace Korvane::hqvga {

// Scalar reference; also finishes what the vector loop leaves.
float phasorAngle(int a, int b);
float phasorHalfLength(int a, int b);

// n phasors at once, 4 per vector step.
void phasorPolar(const int32_t* a, const int32_t* b, size_t n, float* angle, float* halfLength);

}  // namespace Korvane::hqvga
