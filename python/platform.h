// Board detection from the device-tree model string.
#pragma once

#include <string>
#include <string_view>

#include "korvane_types.h"

namespace Korvane {

inline constexpr const char* kDeviceTreeModelPath = "/sys/firmware/devicetree/base/model";

// Classifies a model string such as "Raspberry Pi 5 Model B Rev 1.0".
PlatformType platformFromModel(std::string_view model);

// Reads the first line (at most 99 characters) of the model file through the process-wide
// system calls (so an emulated kernel can supply it); PLATFORM_UNKNOWN when
// it cannot be read.
PlatformType detectPlatform(const std::string& modelPath = kDeviceTreeModelPath);

}  // namespace Korvane
