// Builds staging frames for the 240 x 180 model: four phase planes of raw samples.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "device/hqvga/hqvga_depth.h"

namespace Korvane::testing {

struct HqvgaFrame {
    std::vector<uint16_t> staging = std::vector<uint16_t>(hqvga::kPixels * hqvga::kPhases);

    uint16_t& sample(int plane, size_t pixel) { return staging[plane * hqvga::kPixels + pixel]; }
    // Every pixel of plane k gets samples[k].
    void fill(const std::array<uint16_t, 4>& samples) {
        for (int k = 0; k < hqvga::kPhases; ++k) {
            for (size_t i = 0; i < hqvga::kPixels; ++i) sample(k, i) = samples[k];
        }
    }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(staging.data()); }
};

struct DepthPlanes {
    std::vector<float> depth = std::vector<float>(hqvga::kPixels);
    std::vector<float> amplitude = std::vector<float>(hqvga::kPixels);
    std::vector<float> confidence = std::vector<float>(hqvga::kPixels);
};

}  // namespace Korvane::testing
