// One opened virtual camera: an image source, its registers and the paced stream.
//
// Pacing: image k of frame n is handed out no earlier than its due time after the
// stream started. The adapter buffers 8 frames: a caller that falls further behind loses
// the oldest whole frames, as with a real adapter whose buffer overflows.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "image_source.h"
#include "korvane_evk_sdk.h"
#include "virtual_device_config.h"

namespace Korvane::Evk {

class VirtualDevice {
public:
    static constexpr uint64_t kBufferedFrames = 8;

    // Builds the device's source; on failure returns null with the KORVANE_EVK_* code in
    // `result` and the reason in `error`.
    static std::unique_ptr<VirtualDevice> create(const VirtualDeviceConfig& config, int& result, std::string& error);

    int init();
    KorvaneCameraConfig cameraConfig() const;
    int start();
    int stop();
    // Fills `image` with a copy of the next image (malloc'd; freed by KorvaneFreeImage).
    int capture(KorvaneImage& image, uint32_t timeoutMs);
    int writeRegister(uint32_t reg, uint32_t value);
    uint32_t readRegister(uint32_t reg);

private:
    using Clock = std::chrono::steady_clock;

    VirtualDevice(const VirtualDeviceConfig& config, std::unique_ptr<ImageSource> source);
    // Loads the frame to hand out next, dropping frames the buffer could not hold.
    // Returns KORVANE_EVK_OK, or END_OF_STREAM / RECORDING.
    int loadNextFrame(Clock::time_point now);

    const std::string type_;
    const std::vector<std::pair<uint32_t, uint32_t>> initRegisters_;
    const Clock::time_point openTime_ = Clock::now();

    std::mutex mutex_;  // guards everything below
    std::condition_variable wake_;  // stop and start wake a waiting capture
    std::unique_ptr<ImageSource> source_;
    RegisterMap registers_;
    bool initialised_ = false;
    bool streaming_ = false;
    uint64_t generation_ = 0;  // counts starts and stops
    Clock::time_point streamStart_;
    uint64_t nextFrame_ = 0;
    bool frameLoaded_ = false;
    uint32_t nextImage_ = 0;
    SourceFrame frame_;
};

}  // namespace Korvane::Evk
