// The parsers of texts the kernel hands the CSI transport: /proc/bus/i2c lines,
// /proc/mounts, sensor entity names and the Jetson capture node's name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "transport/csi/bus_names.h"
#include "transport/i2c/i2c_adapters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Korvane::i2c::parseProcBusI2cLine(text);
    Korvane::i2c::sysfsMountPoint(text);
    Korvane::csi::busNameFromSensorEntity(text);
    Korvane::csi::busNameFromJetsonName(text);
    return 0;
}
