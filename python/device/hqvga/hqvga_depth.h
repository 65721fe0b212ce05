// Four-phase continuous-wave depth of the 240 x 180 sensor: sample conversion, the raw
// interleave and the per-pixel arctangent. Plain functions over the staging layout so the
// device model, its tests and the benchmark share one implementation.
//
// Staging layout: four phase planes Q0..Q3 in capture order, each 240 x 180 unsigned
// 16-bit samples, row-major, back to back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Korvane::hqvga {

inline constexpr int kWidth = 240;
inline constexpr int kHeight = 180;
inline constexpr int kPhases = 4;
inline constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;

inline constexpr float kFrequency37M5 = 37'500'000.0f;  // range 4000 mm
inline constexpr float kFrequency75M = 75'000'000.0f;   // range 2000 mm

// Bits 0..10 of (sample >> shift) read as a signed 11-bit number, times 16
// (-16384 .. 16368); higher bits are discarded.
inline int16_t convertSample(uint16_t sample, uint8_t shift) {
    const auto widened = static_cast<uint16_t>((sample >> shift) << 5);
    return static_cast<int16_t>(static_cast<int16_t>(widened) >> 1);
}

// Millimetres per radian of phase at a modulation frequency in hertz.
float depthScale(float frequencyHz);

// raw (240 x 720 int16): sensor row r becomes output rows 4r .. 4r+3, one per phase plane.
void interleaveRawImages(const uint16_t* staging, uint8_t shift, int16_t* raw);

struct PhaseSettings {
    uint8_t shift;       // sample shift of the platform
    bool rotatedOrder;   // range 2000: a = Q1 - Q3, b = Q2 - Q0 (else a = Q2 - Q0, b = Q3 - Q1)
    float frequencyHz;   // modulation frequency the depth is computed for
};

// depth in millimetres (0 .. c / 2f), amplitude = confidence = half the phasor length;
// each plane holds kPixels floats.
void computeDepth(const uint16_t* staging, const PhaseSettings& settings, float* depth, float* amplitude,
                  float* confidence);

}  // namespace Korvane::hqvga
