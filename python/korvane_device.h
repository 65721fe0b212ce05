// Device-model interface: turns one captured staging frame into output planes.
#pragma once

#include <cstdint>

#include "korvane_tof_sensor.h"
#include "korvane_types.h"

namespace Korvane {

class KorvaneDevice {
public:
    explicit KorvaneDevice(PlatformType platform) : platform_(platform) {}
    virtual ~KorvaneDevice() = default;

    virtual int getDeviceType() = 0;  // DeviceType value of the model
    virtual void getFormats(FrameGeometry& raw, FrameGeometry& depth) = 0;
    // Binds the transport, which the model does not own.
    virtual int init(KorvaneTOFSensor* sensor) = 0;
    virtual int close() = 0;
    virtual int prepare() = 0;  // before the stream starts
    virtual int start() = 0;    // after the stream has started
    virtual int stop() = 0;
    virtual int setControl(CameraCtrl ctrl, int value) = 0;
    virtual int setControlExt(CameraCtrl ctrl, const char* value) = 0;
    virtual int getControl(CameraCtrl ctrl, int* value) = 0;
    virtual int getControlExt(CameraCtrl ctrl, const char** value) = 0;
    virtual int getRawImages(const uint8_t* staging, int16_t* raw) = 0;
    // Non-zero on success.
    virtual int getPhaseImage(const uint8_t* staging, float* depth, float* amplitude, float* confidence) = 0;

protected:
    PlatformType platform_;
    KorvaneTOFSensor* sensor_ = nullptr;  // bound by init, not owned
};

}  // namespace Korvane
