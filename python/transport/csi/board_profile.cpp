#include "board_profile.h"

#include <linux/videodev2.h>

#include "v4l2_compat.h"

namespace Korvane::csi {

namespace {

constexpr const char* kSensorEntity = "korvane-tessaline";

constexpr BoardProfile kRaspberryPi{V4L2_BUF_TYPE_VIDEO_CAPTURE, V4L2_PIX_FMT_Y12, true, nullptr, kSensorEntity,
                                    false, false, plainCopy};
constexpr BoardProfile kRaspberryPi5{V4L2_BUF_TYPE_VIDEO_CAPTURE, V4L2_PIX_FMT_Y12P, true, "csi2", kSensorEntity,
                                     true, false, unpackPacked12};
constexpr BoardProfile kRock{V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE, V4L2_PIX_FMT_Y12, true, "rockchip-csi2-dphy1",
                             "tessaline", false, false, plainCopy};
// Of the Jetson family only Xavier and Orin boards deliver paired lines.
constexpr BoardProfile kJetson{V4L2_BUF_TYPE_VIDEO_CAPTURE, V4L2_PIX_FMT_Y12, false, nullptr, nullptr,
                               false, true, pairedLineCopy};
constexpr BoardProfile kJetsonNano{V4L2_BUF_TYPE_VIDEO_CAPTURE, V4L2_PIX_FMT_Y12, false, nullptr, nullptr,
                                   false, true, plainCopy};
constexpr BoardProfile kOther{V4L2_BUF_TYPE_VIDEO_CAPTURE, V4L2_PIX_FMT_Y12, false, nullptr, nullptr,
                              false, false, plainCopy};

}  // namespace

const BoardProfile& boardProfile(PlatformType platform) {
    switch (platform) {
        case PLATFORM_RASPBERRY_PI: return kRaspberryPi;
        case PLATFORM_RASPBERRY_PI5: return kRaspberryPi5;
        case PLATFORM_ROCK: return kRock;
        case PLATFORM_JETSON: return kJetson;
        default: return isJetsonFamily(platform) ? kJetsonNano : kOther;
    }
}

LineConverter chooseConverter(const BoardProfile& board, size_t bufferBytes) {
    return bufferBytes == kStrideBufferBytes ? strideCopy : board.lineConverter;
}

}  // namespace Korvane::csi
