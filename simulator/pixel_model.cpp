#include "pixel_model.h"

#include <algorithm>
#include <cmath>

namespace Korvane::Sim {

PixelSignal PixelModel::signal(double distance, double reflectivity, double cosIncidence) const {
    if (distance <= 0.0) return PixelSignal{0.0, 0.0};
    const double returned = params_.signalElectrons * reflectivity * cosIncidence / (distance * distance);
    const double ambient = params_.ambientElectrons * reflectivity;
    return PixelSignal{params_.demodulationContrast * returned, 0.5 * (returned + ambient)};
}

int32_t PixelModel::sample(const PixelSignal& signal, double correlation, Random& random) const {
    const double difference = signal.amplitude * correlation;
    const double tapA = signal.tapCharge + 0.5 * difference;
    const double tapB = signal.tapCharge - 0.5 * difference;
    const double readVariance = params_.readNoiseElectrons * params_.readNoiseElectrons;
    double electrons;
    const double highest = std::max(tapA, tapB);
    if (std::min(tapA, tapB) >= 30.0 && highest + 6.0 * std::sqrt(highest) < params_.fullWellElectrons) {
        // Far from clipping, with counts large enough for the normal approximation, the
        // difference of two independent shot-noise counts plus read noise is one normal
        // draw with the summed variance.
        electrons = difference + std::sqrt(tapA + tapB + readVariance) * random.normal();
    } else {
        const double a = std::min(random.poisson(tapA), params_.fullWellElectrons);
        const double b = std::min(random.poisson(tapB), params_.fullWellElectrons);
        electrons = a - b + params_.readNoiseElectrons * random.normal();
    }
    const double code = std::round(electrons / params_.electronsPerCode);
    return static_cast<int32_t>(std::clamp(code, static_cast<double>(params_.adcMin), static_cast<double>(params_.adcMax)));
}

}  // namespace Korvane::Sim
