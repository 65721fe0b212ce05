#include "hqvga_sensor.h"

#include <cmath>

namespace Korvane::Sim {

double modulationFrequencyHz(HqvgaModulation modulation) {
    return modulation == HqvgaModulation::MHz75 ? 75e6 : 37.5e6;
}

uint16_t encodeHqvgaSample(int32_t code) { return static_cast<uint16_t>(static_cast<uint32_t>(code) & 0x7FFu); }

int32_t decodeHqvgaSample(uint16_t sample) {
    const int32_t code = static_cast<int32_t>(sample & 0x7FFu);
    return (code >= 1024 ? code - 2048 : code) * 16;
}

HqvgaSensor::HqvgaSensor(const Scene& scene, const Intrinsics& intrinsics, const PixelModelParams& pixel,
                         uint64_t seed)
    : optics_(renderOptics(scene, PinholeCamera(kWidth, kHeight, intrinsics))), pixel_(pixel), seed_(seed) {
    signals_.resize(kPixels);
    truth_.depthMm.resize(kPixels);
    truth_.amplitude.resize(kPixels);
    for (size_t i = 0; i < kPixels; ++i) {
        signals_[i] = pixel_.signal(optics_.distance[i], optics_.reflectivity[i], optics_.cosIncidence[i]);
        truth_.depthMm[i] = optics_.distance[i] * 1000.0f;
        truth_.amplitude[i] = static_cast<float>(16.0 * pixel_.amplitudeCodes(signals_[i]));
    }
    updatePhases();
}

void HqvgaSensor::setModulation(HqvgaModulation modulation) {
    if (modulation == modulation_) return;
    modulation_ = modulation;
    updatePhases();
}

void HqvgaSensor::updatePhases() {
    const double frequency = modulationFrequencyHz(modulation_);
    cosPhase_.resize(kPixels);
    sinPhase_.resize(kPixels);
    for (size_t i = 0; i < kPixels; ++i) {
        const double phase = modulationPhase(optics_.distance[i], frequency);
        cosPhase_[i] = static_cast<float>(std::cos(phase));
        sinPhase_[i] = static_cast<float>(std::sin(phase));
    }
}

void HqvgaSensor::render(uint64_t sequence, uint16_t* planes) const {
    Random random = Random::forStream(seed_, sequence);
    // Plane k is sampled at psi = (s - k) * pi/2; cos(phase - m * pi/2) for m = 0..3 is
    // cos, sin, -cos, -sin of the phase.
    const int s = modulation_ == HqvgaModulation::MHz75 ? 2 : 3;
    for (size_t i = 0; i < kPixels; ++i) {
        const double c = cosPhase_[i];
        const double sn = sinPhase_[i];
        const double correlations[4] = {c, sn, -c, -sn};
        for (int k = 0; k < kPlanes; ++k) {
            const int m = ((s - k) % 4 + 4) % 4;
            const int32_t code = pixel_.sample(signals_[i], correlations[m], random);
            planes[static_cast<size_t>(k) * kPixels + i] = encodeHqvgaSample(code);
        }
    }
}

}  // namespace Korvane::Sim
