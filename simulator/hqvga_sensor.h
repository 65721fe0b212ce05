// The 240 x 180 four-phase sensor: one frame is four phase planes of 12-bit samples.
//
// Sample coding: the low 11 bits hold the pixel's signed sample (two's complement,
// -1024 to 1023 ADC codes), bit 11 is clear. A reader takes v = low 11 bits as signed,
// times 16, and the four-phase arctangent phase = atan2(a, b) with
//   37.5 MHz: a = Q2 - Q0, b = Q3 - Q1
//   75 MHz:   a = Q1 - Q3, b = Q2 - Q0
// so plane k is sampled at reference offset psi = (s - k) * pi/2, s = 3 at 37.5 MHz and
// s = 2 at 75 MHz. Then phase is the true phase and 0.5 * sqrt(a^2 + b^2) is the signal
// amplitude in units of v (ADC codes x 16).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "optical_image.h"
#include "pinhole_camera.h"
#include "pixel_model.h"
#include "scene.h"

namespace Korvane::Sim {

enum class HqvgaModulation { MHz37_5, MHz75 };

double modulationFrequencyHz(HqvgaModulation modulation);

// Encodes a signed ADC code (-1024 to 1023) as a 12-bit sample, and back.
uint16_t encodeHqvgaSample(int32_t code);
int32_t decodeHqvgaSample(uint16_t sample);  // v = code * 16

struct HqvgaGroundTruth {
    std::vector<float> depthMm;    // true radial distance, millimetres; 0 = no surface
    std::vector<float> amplitude;  // noise-free signal amplitude in units of v (codes x 16)
};

class HqvgaSensor {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 180;
    static constexpr int kPlanes = 4;
    static constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;
    static constexpr size_t kSamplesPerFrame = kPixels * kPlanes;

    HqvgaSensor(const Scene& scene, const Intrinsics& intrinsics, const PixelModelParams& pixel, uint64_t seed);

    void setModulation(HqvgaModulation modulation);
    HqvgaModulation modulation() const { return modulation_; }

    // Renders frame number `sequence` into `planes` (kSamplesPerFrame samples, plane k at
    // k * kPixels). The noise is drawn from the seed and the sequence number alone, so a
    // frame can be rendered again identically.
    void render(uint64_t sequence, uint16_t* planes) const;

    const HqvgaGroundTruth& groundTruth() const { return truth_; }

private:
    void updatePhases();

    OpticalImage optics_;
    PixelModel pixel_;
    uint64_t seed_;
    HqvgaModulation modulation_ = HqvgaModulation::MHz37_5;
    std::vector<PixelSignal> signals_;
    std::vector<float> cosPhase_;  // of the current modulation
    std::vector<float> sinPhase_;
    HqvgaGroundTruth truth_;
};

}  // namespace Korvane::Sim
