// An emulated V4L2 sub-device (a sensor or a CSI-2 receiver): pad formats, crop and controls.
#pragma once

#include <linux/v4l2-subdev.h>

#include <cstdint>
#include <map>
#include <string>

#include "emulated_kernel.h"

namespace Korvane::emulation {

struct SubdeviceConfig {
    uint32_t width = 240, height = 180;  // the format both the active and the try state start with
    bool fixedSize = true;               // a sensor keeps its size; a receiver takes any
    uint32_t pads = 1;
    std::map<uint32_t, int32_t> controls;  // id -> value; other ids are refused
};

class EmulatedSubdevice final : public EmulatedDevice {
public:
    explicit EmulatedSubdevice(SubdeviceConfig config);

    int ioctl(unsigned long request, void* arg) override;

    const v4l2_mbus_framefmt& activeFormat() const { return active_; }
    int32_t control(uint32_t id) const { return config_.controls.at(id); }
    void setControl(uint32_t id, int32_t value) { config_.controls[id] = value; }
    int formatsSet() const { return formatsSet_; }

private:
    SubdeviceConfig config_;
    v4l2_mbus_framefmt active_{};
    v4l2_mbus_framefmt try_{};
    int formatsSet_ = 0;
};

}  // namespace Korvane::emulation
