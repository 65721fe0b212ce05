#include "i2c_adapters.h"

#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "i2c_helpers.h"
#include "transport/system/ioctl.h"
#include "transport/system/unique_fd.h"

namespace Korvane::i2c {

namespace {

constexpr size_t kProcLineLength = 120;
constexpr size_t kMountsLineLength = 255;
constexpr size_t kNameLength = 120;
constexpr size_t kMaxPathLength = 254;
constexpr unsigned long kAnySmbusFunction = 0x7E0000;

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The number of a name "i2c-<n>" (what follows the digits does not matter); nullopt
// without digits or beyond the range of int.
std::optional<int> busNumber(const std::string& name) {
    if (name.compare(0, 4, "i2c-") != 0) return std::nullopt;
    const char* digits = name.c_str() + 4;
    char* end = nullptr;
    errno = 0;
    const long bus = std::strtol(digits, &end, 10);
    if (end == digits || errno == ERANGE || bus < INT_MIN || bus > INT_MAX) return std::nullopt;
    return static_cast<int>(bus);
}

// The adapter's name from the first readable of its name files; nullopt skips the entry.
std::optional<std::string> adapterName(sys::SystemCalls& sys, const std::string& classDir, const std::string& entry) {
    std::vector<std::string> candidates{classDir + "/" + entry + "/name", classDir + "/" + entry + "/device/name"};
    std::vector<std::string> deviceEntries;
    if (sys.listDirectory(classDir + "/" + entry + "/device", deviceEntries) == 0) {
        for (const std::string& sub : deviceEntries) {
            if (startsWith(sub, "i2c-")) {
                candidates.push_back(classDir + "/" + entry + "/device/" + sub + "/name");
                break;
            }
        }
    }
    for (const std::string& path : candidates) {
        if (path.size() > kMaxPathLength) return std::nullopt;
        std::string content;
        if (sys.readFile(path, content) != 0) continue;
        std::optional<std::string> name = sys::firstLine(content, kNameLength);
        if (!name) std::fprintf(stderr, "%s: read error\n", path.c_str());
        return name;
    }
    return std::nullopt;
}

// Kind and description of an adapter found in sysfs.
void classify(sys::SystemCalls& sys, I2cAdapter& adapter) {
    struct Kind {
        const char* name;
        const char* description;
    };
    static constexpr Kind kDummy{"dummy", "Dummy bus"}, kIsa{"isa", "ISA bus"}, kI2c{"i2c", "I2C adapter"},
        kSmbus{"smbus", "SMBus adapter"}, kUnknown{"unknown", "N/A"};
    Kind kind = kUnknown;
    if (startsWith(adapter.name, "ISA ")) {
        kind = kIsa;
    } else {
        sys::UniqueFd fd(sys, openI2cDev(sys, adapter.bus, nullptr, 0, true));
        unsigned long funcs = 0;
        if (fd.isValid() && sys::callIoctl(sys, fd.get(), I2C_FUNCS, &funcs) >= 0) {
            kind = (funcs & I2C_FUNC_I2C) ? kI2c : (funcs & kAnySmbusFunction) ? kSmbus : kDummy;
        }
    }
    adapter.kind = kind.name;
    adapter.description = kind.description;
}

std::vector<I2cAdapter> adaptersFromSysfs(sys::SystemCalls& sys) {
    std::vector<I2cAdapter> adapters;
    std::string mounts;
    if (sys.readFile("/proc/mounts", mounts) != 0) return adapters;
    const std::optional<std::string> sysfs = sysfsMountPoint(mounts);
    if (!sysfs) return adapters;
    const std::string classDir = *sysfs + "/class/i2c-dev";
    std::vector<std::string> entries;
    if (sys.listDirectory(classDir, entries) != 0) return adapters;
    for (const std::string& entry : entries) {
        std::optional<std::string> name = adapterName(sys, classDir, entry);
        if (!name) continue;
        const std::optional<int> bus = busNumber(entry);
        if (!bus) continue;
        I2cAdapter adapter{*bus, std::move(*name), {}, {}};
        classify(sys, adapter);
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

}  // namespace

std::optional<I2cAdapter> parseProcBusI2cLine(std::string_view line) {
    const size_t algoTab = line.rfind('\t');
    if (algoTab == std::string_view::npos || algoTab == 0) return std::nullopt;
    const size_t nameTab = line.rfind('\t', algoTab - 1);
    if (nameTab == std::string_view::npos || nameTab == 0) return std::nullopt;
    const size_t kindTab = line.rfind('\t', nameTab - 1);
    if (kindTab == std::string_view::npos) return std::nullopt;

    std::string_view algorithm = line.substr(algoTab + 1);
    const size_t last = algorithm.find_last_not_of(" \r\n");
    algorithm = last == std::string_view::npos ? std::string_view() : algorithm.substr(0, last + 1);

    const std::optional<int> bus = busNumber(std::string(line.substr(0, kindTab)));
    if (!bus) return std::nullopt;
    return I2cAdapter{*bus, std::string(line.substr(nameTab + 1, algoTab - nameTab - 1)),
                      std::string(line.substr(kindTab + 1, nameTab - kindTab - 1)), std::string(algorithm)};
}

std::optional<std::string> sysfsMountPoint(const std::string& mounts) {
    for (const std::string& line : sys::splitLines(mounts, kMountsLineLength)) {
        char point[kMountsLineLength + 1] = {};
        char type[kMountsLineLength + 1] = {};
        if (std::sscanf(line.c_str(), "%*[^ ] %255[^ ] %255[^ ] %*s", point, type) != 2) continue;
        if (strcasecmp(type, "sysfs") == 0) return std::string(point);
    }
    return std::nullopt;
}

std::vector<I2cAdapter> gatherI2cAdapters(sys::SystemCalls& sys) {
    std::string table;
    if (sys.readFile("/proc/bus/i2c", table) != 0) return adaptersFromSysfs(sys);
    std::vector<I2cAdapter> adapters;
    for (const std::string& line : sys::splitLines(table, kProcLineLength)) {
        if (std::optional<I2cAdapter> adapter = parseProcBusI2cLine(line)) adapters.push_back(std::move(*adapter));
    }
    return adapters;
}

int lookupI2cBusByName(sys::SystemCalls& sys, const std::string& name) {
    std::vector<I2cAdapter> adapters;
    try {
        adapters = gatherI2cAdapters(sys);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Error: Out of memory!\n");
        return -1;
    }
    int found = -1;
    for (const I2cAdapter& adapter : adapters) {
        if (adapter.name != name) continue;
        if (found >= 0) {
            std::fprintf(stderr, "Error: I2C bus name is not unique!\n");
            return -1;
        }
        found = adapter.bus;
    }
    if (found < 0) std::fprintf(stderr, "Error: I2C bus name doesn't match any bus present!\n");
    return found;
}

}  // namespace Korvane::i2c
