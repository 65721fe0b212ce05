// Device model of the 240 x 180 sensor: four phase images per frame, from which the
// model itself computes depth, amplitude and confidence.
#pragma once

#include <atomic>
#include <cstdint>

#include "korvane_device.h"

namespace Korvane {

class KorvaneDeviceHQVGA final : public KorvaneDevice {
public:
    explicit KorvaneDeviceHQVGA(PlatformType platform);

    int getDeviceType() override;
    void getFormats(FrameGeometry& raw, FrameGeometry& depth) override;
    int init(KorvaneTOFSensor* sensor) override;
    int close() override;
    int prepare() override;
    int start() override;
    int stop() override;
    // RANGE 2000 selects 75 MHz, 4000 selects 37.5 MHz, any other value keeps the
    // frequency; the range is stored in every case and the result is 0. Every other
    // control answers 1.
    int setControl(CameraCtrl ctrl, int value) override;
    int setControlExt(CameraCtrl ctrl, const char* value) override;
    // RANGE answers the stored range; every other control is the transport's.
    int getControl(CameraCtrl ctrl, int* value) override;
    int getControlExt(CameraCtrl ctrl, const char** value) override;
    int getRawImages(const uint8_t* staging, int16_t* raw) override;
    int getPhaseImage(const uint8_t* staging, float* depth, float* amplitude, float* confidence) override;

    float frequencyHz() const { return settings_.load().frequencyHz; }

private:
    // Range and frequency change together on the caller's thread and are read once per
    // frame by the capture thread; one atomic word keeps every frame on a consistent pair.
    struct RangeSetting {
        int32_t rangeMm;
        float frequencyHz;
    };

    std::atomic<RangeSetting> settings_;
    const uint8_t sampleShift_;
};

}  // namespace Korvane
