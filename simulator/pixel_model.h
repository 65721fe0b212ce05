// One continuous-wave ToF pixel: two taps integrate the returned light against the
// modulation and its inverse; the sample is their difference in ADC codes.
//
// For a target at radial distance d the returned light lags by phase = 4*pi*f*d / c. A
// sample taken at reference offset psi has the mean difference A*cos(phase - psi), where
// the amplitude A = contrast * S falls with reflectivity * cos(incidence) / d^2. Ambient
// light adds charge to both taps equally: it cancels in the mean but adds shot noise.
// Each tap is clipped at the full-well capacity, the difference gets read noise, is
// quantised and clamped to the ADC's range.
#pragma once

#include <cstdint>

#include "random.h"

namespace Korvane::Sim {

inline constexpr double kSpeedOfLight = 299'792'458.0;  // m/s
inline constexpr double kPi = 3.14159265358979323846;

// Phase of the returned modulation for a target at `distance` metres.
inline double modulationPhase(double distance, double frequencyHz) {
    return 4.0 * kPi * frequencyHz * distance / kSpeedOfLight;
}

struct PixelModelParams {
    // Signal charge (both taps together) from a white (reflectivity 1) target facing the
    // camera at 1 m; electrons per sample.
    double signalElectrons = 8000.0;
    double demodulationContrast = 0.8;  // 0 to 1
    // Ambient-light charge (both taps together) from a white surface; electrons per sample.
    double ambientElectrons = 800.0;
    double fullWellElectrons = 30000.0;  // per tap
    double electronsPerCode = 4.0;       // conversion gain
    double readNoiseElectrons = 20.0;    // rms, per sample
    int32_t adcMin = -1024;              // signed 11-bit samples
    int32_t adcMax = 1023;
};

// The noise-free charges of one pixel.
struct PixelSignal {
    double amplitude;  // electrons: half the peak-to-peak tap difference
    double tapCharge;  // electrons each tap collects on average (signal and ambient)
};

class PixelModel {
public:
    explicit PixelModel(const PixelModelParams& params) : params_(params) {}
    const PixelModelParams& params() const { return params_; }

    // A pixel seeing a surface at `distance` metres; distance 0 means no surface.
    PixelSignal signal(double distance, double reflectivity, double cosIncidence) const;
    // One sample in ADC codes, `correlation` = cos(phase - psi) of the reference offset.
    int32_t sample(const PixelSignal& signal, double correlation, Random& random) const;
    // Amplitude of the noise-free signal in ADC codes.
    double amplitudeCodes(const PixelSignal& signal) const { return signal.amplitude / params_.electronsPerCode; }

private:
    PixelModelParams params_;
};

}  // namespace Korvane::Sim
