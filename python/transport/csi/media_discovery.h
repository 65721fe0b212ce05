// Finding the camera's V4L2 sub-devices and I2C bus through the media controller
// (Raspberry Pi, Raspberry Pi 5 and Radxa ROCK boards).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "board_profile.h"
#include "transport/system/system_calls.h"
#include "transport/system/unique_fd.h"

namespace Korvane::csi {

inline constexpr size_t kMaxSubdevices = 4;

struct MediaTopology {
    std::vector<sys::UniqueFd> subdevices;  // in the order found, at most kMaxSubdevices
    std::optional<size_t> sensor;           // index of the sensor's sub-device
    std::string busName;                    // from the sensor entity's name; empty: not found
};

// Walks the media device next to the video node `videoNode` (its device number). Any
// failure ends the walk and keeps what was found so far: without a sensor the bus name
// stays empty, which the caller reports.
MediaTopology discoverMediaTopology(sys::SystemCalls& sys, dev_t videoNode, const BoardProfile& board);

// "/sys/dev/char/<major>:<minor>" of a character device.
std::string sysfsCharDevice(unsigned major, unsigned minor);

}  // namespace Korvane::csi
