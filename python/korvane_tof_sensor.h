// Transport interface: how the camera reaches a sensor (CSI-2 through V4L2, or the USB
// adapter SDK). Implementations report results as TofErrorCode values or their own codes.
#pragma once

#include <cstdint>

#include "korvane_types.h"

namespace Korvane {

class KorvaneTOFCamera;

class KorvaneTOFSensor {
public:
    virtual ~KorvaneTOFSensor() = default;
    // Opens the transport and writes the camera's width, height, bit_width and bpp
    // (KorvaneTOFCamera::setSensorFormat). 0 on success.
    virtual int open(KorvaneTOFCamera& camera) = 0;
    virtual int close() = 0;
    virtual int start() = 0;  // stream on
    virtual int stop() = 0;   // stream off
    // The transport's own copy of the camera record.
    virtual CameraInfo getCameraInfo() = 0;
    // Captures imagesPerFrame() images one after another into the staging buffer
    // (width x height 16-bit samples each, back to back) and stores the timestamp in
    // milliseconds. Only -1 means that no frame was captured.
    virtual int getFrame(int16_t* staging, uint64_t* timestamp) = 0;
    virtual int setControl(CameraCtrl ctrl, int value) = 0;
    virtual int getControl(CameraCtrl ctrl, int* value) = 0;

    int32_t imagesPerFrame() const { return images_per_frame_; }
    void setImagesPerFrame(int32_t count) { images_per_frame_ = count; }

protected:
    int32_t images_per_frame_ = 1;  // 4 when the HQVGA model is chosen
};

}  // namespace Korvane
