// Discovery of the system's I2C adapters and lookup of a bus number by adapter name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transport/system/system_calls.h"

namespace Korvane::i2c {

struct I2cAdapter {
    int bus;
    std::string name;
    std::string kind;         // "dummy", "isa", "i2c", "smbus" or "unknown" (procfs: as listed)
    std::string description;  // "I2C adapter", ... (procfs: the algorithm text)
};

// The adapters of the legacy table "/proc/bus/i2c" when it exists, otherwise those of the
// i2c-dev class directory under the sysfs mount point named in "/proc/mounts".
// Throws std::bad_alloc only.
std::vector<I2cAdapter> gatherI2cAdapters(sys::SystemCalls& sys);

// The bus number of the one adapter whose name is exactly `name`; -1 (with a message on
// standard error) when no adapter or several carry that name.
int lookupI2cBusByName(sys::SystemCalls& sys, const std::string& name);

// Parsers of the kernel's texts, kept apart so that they can be fed arbitrary input.
// One line of "/proc/bus/i2c": "i2c-<n>\t<kind>\t<name>\t<algorithm>".
std::optional<I2cAdapter> parseProcBusI2cLine(std::string_view line);
// The mount point of the first sysfs file system listed in the text of "/proc/mounts".
std::optional<std::string> sysfsMountPoint(const std::string& mounts);

}  // namespace Korvane::i2c
