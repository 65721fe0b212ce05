// What differs between the boards a CSI camera is attached to, decided once per transport.
#pragma once

#include <cstddef>
#include <cstdint>

#include "korvane_types.h"
#include "line_converters.h"

namespace Korvane::csi {

struct BoardProfile {
    uint32_t bufferType;      // V4L2_BUF_TYPE_VIDEO_CAPTURE or V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE
    uint32_t pixelFormat;     // requested on the video node
    bool mediaDiscovery;      // sub-devices and I2C bus found through the media controller
    const char* bridgeEntity;        // CSI-2 receiver sub-device to configure too; null: none
    const char* sensorEntityPart;    // text the sensor entity's name contains
    bool linkReceiverToCapture;      // enable the "csi2" -> "rp1-cfe-csi2_ch0" link first
    bool busFromNameFile;            // the video node's sysfs "name" gives the I2C bus
    LineConverter lineConverter;     // for buffers other than the 512-byte-stride layout
};

const BoardProfile& boardProfile(PlatformType platform);

// The converter of one kernel buffer of `bufferBytes` bytes on this board.
LineConverter chooseConverter(const BoardProfile& board, size_t bufferBytes);

}  // namespace Korvane::csi
