// Transport over the USB evaluation-kit adapter: sequences the adapter SDK's calls,
// checks image sizes and converts samples into the 16-bit staging layout (12 significant
// bits).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "korvane_evk_sdk.h"
#include "korvane_tof_sensor.h"
#include "korvane_types.h"

namespace Korvane {

class KorvaneTOFUSBSensor final : public KorvaneTOFSensor {
public:
    static constexpr uint32_t kCaptureTimeoutMs = 2000;

    // `configPath` may be empty: the adapter then opens its default device.
    KorvaneTOFUSBSensor(std::string configPath, int index);
    // Closes a camera left open, so a transport replaced or destroyed without close does
    // not leak the adapter's handle.
    ~KorvaneTOFUSBSensor() override;
    KorvaneTOFUSBSensor(const KorvaneTOFUSBSensor&) = delete;
    KorvaneTOFUSBSensor& operator=(const KorvaneTOFUSBSensor&) = delete;

    // Throws std::out_of_range for a configuration path shorter than four characters.
    int open(KorvaneTOFCamera& camera) override;
    int close() override;
    int start() override;
    int stop() override;
    CameraInfo getCameraInfo() override { return info_; }
    int getFrame(int16_t* staging, uint64_t* timestamp) override;
    int setControl(CameraCtrl ctrl, int value) override;
    int getControl(CameraCtrl ctrl, int* value) override;

    int32_t deviceIndex() const { return index_; }

private:
    void convertImage(const KorvaneImage& image, uint8_t* out) const;

    KorvaneCameraHandle handle_ = nullptr;
    KorvaneImage image_{};  // the image being converted, as the adapter filled it
    CameraInfo info_{};
    std::atomic<bool> streaming_{false};
    std::string configPath_;
    int32_t index_;  // stored only; the adapter finds its device itself
};

}  // namespace Korvane
