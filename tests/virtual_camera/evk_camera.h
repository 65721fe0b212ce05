// A camera of the virtual adapter for tests, closed however the test ends.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvane_evk_sdk.h"

namespace Korvane::testing {

struct CapturedImage {
    uint64_t timestamp;
    uint32_t index;
    std::vector<uint8_t> samples;
};

class EvkCamera {
public:
    EvkCamera() = default;
    EvkCamera(const EvkCamera&) = delete;
    EvkCamera& operator=(const EvkCamera&) = delete;
    ~EvkCamera() {
        if (handle != nullptr) KorvaneCloseCamera(handle);
    }

    // Opens `path` (the default device when empty) and initialises it.
    int open(const std::string& path = "") {
        KorvaneOpenParam param;
        KorvaneDefaultParam(&param);
        if (!path.empty()) param.config_file = path.c_str();
        const int result = KorvaneOpenCamera(&handle, &param);
        return result != KORVANE_EVK_OK ? result : KorvaneInitCamera(handle);
    }

    KorvaneCameraConfig config() {
        KorvaneCameraConfig config{};
        EXPECT_EQ(KorvaneGetCameraConfig(handle, &config), KORVANE_EVK_OK);
        return config;
    }

    // Captures `count` images; stops at the first failure, whose code goes to `result`.
    std::vector<CapturedImage> capture(size_t count, uint32_t timeoutMs = 2000, int* result = nullptr) {
        std::vector<CapturedImage> images;
        for (size_t i = 0; i < count; ++i) {
            KorvaneImage image{};
            const int r = KorvaneCaptureImage(handle, &image, timeoutMs);
            if (result != nullptr) *result = r;
            if (r != KORVANE_EVK_OK) break;
            images.push_back({image.timestamp, image.image_index, std::vector<uint8_t>(image.data, image.data + image.size)});
            KorvaneFreeImage(handle, image);
        }
        return images;
    }

    KorvaneCameraHandle handle = nullptr;
};

// Little-endian 16-bit samples of an image.
inline std::vector<uint16_t> samples16(const std::vector<uint8_t>& bytes) {
    std::vector<uint16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return out;
}

}  // namespace Korvane::testing
