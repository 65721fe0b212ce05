// The I2C bus of a camera module, read from the names the kernel gives its devices.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Korvane::csi {

// A sensor entity is named "<driver> <bus>-<address>", for example
// "korvane-tessaline 10-000c": the text after the first blank, at most 7 characters, cut
// at the first '-' ("10"). Nullopt for a name without a blank.
std::optional<std::string> busNameFromSensorEntity(std::string_view entityName);

// The first line of a Jetson video node's sysfs "name" file must contain "korvane"; the
// bus is the run of up to 8 decimal digits after the first blank that follows it (empty
// when there is none). Nullopt when "korvane" is missing.
std::optional<std::string> busNameFromJetsonName(std::string_view line);

}  // namespace Korvane::csi
