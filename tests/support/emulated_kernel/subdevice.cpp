#include "subdevice.h"

#include <linux/media-bus-format.h>
#include <linux/videodev2.h>

#include <cerrno>

namespace Korvane::emulation {

EmulatedSubdevice::EmulatedSubdevice(SubdeviceConfig config) : config_(std::move(config)) {
    active_.width = config_.width;
    active_.height = config_.height;
    active_.code = MEDIA_BUS_FMT_Y12_1X12;
    active_.field = V4L2_FIELD_NONE;
    try_ = active_;
}

int EmulatedSubdevice::ioctl(unsigned long request, void* arg) {
    switch (request) {
        case VIDIOC_SUBDEV_G_FMT:
        case VIDIOC_SUBDEV_S_FMT: {
            auto* format = static_cast<v4l2_subdev_format*>(arg);
            if (format->pad >= config_.pads) return -EINVAL;
            if (format->which != V4L2_SUBDEV_FORMAT_TRY && format->which != V4L2_SUBDEV_FORMAT_ACTIVE) return -EINVAL;
            v4l2_mbus_framefmt& state = format->which == V4L2_SUBDEV_FORMAT_TRY ? try_ : active_;
            if (request == VIDIOC_SUBDEV_S_FMT) {
                v4l2_mbus_framefmt wanted = format->format;
                wanted.code = MEDIA_BUS_FMT_Y12_1X12;  // the only code there is
                wanted.field = V4L2_FIELD_NONE;
                if (config_.fixedSize) {
                    wanted.width = config_.width;
                    wanted.height = config_.height;
                }
                state = wanted;
                ++formatsSet_;
            }
            format->format = state;
            return 0;
        }
        case VIDIOC_SUBDEV_G_SELECTION: {
            auto* selection = static_cast<v4l2_subdev_selection*>(arg);
            if (selection->pad >= config_.pads || selection->target != V4L2_SEL_TGT_CROP) return -EINVAL;
            selection->r = {0, 0, config_.width, config_.height};
            return 0;
        }
        case VIDIOC_G_CTRL:
        case VIDIOC_S_CTRL: {
            auto* control = static_cast<v4l2_control*>(arg);
            auto it = config_.controls.find(control->id);
            if (it == config_.controls.end()) return -EINVAL;
            if (request == VIDIOC_S_CTRL) it->second = control->value;
            control->value = it->second;
            return 0;
        }
        default: return -ENOTTY;
    }
}

}  // namespace Korvane::emulation
