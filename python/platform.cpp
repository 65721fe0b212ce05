#include "platform.h"

#include "transport/system/system_calls.h"

namespace Korvane {

namespace {

constexpr size_t kModelLength = 99;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

PlatformType platformFromModel(std::string_view model) {
    if (contains(model, "Jetson")) {
        if (contains(model, "Xavier")) return PLATFORM_JETSON;
        if (contains(model, "TX1") || contains(model, "Nano")) return PLATFORM_JETSON_NANO;
        return PLATFORM_JETSON;
    }
    if (contains(model, " Orin")) return PLATFORM_JETSON;
    if (contains(model, "Raspberry")) {
        return contains(model, "Pi 5") ? PLATFORM_RASPBERRY_PI5 : PLATFORM_RASPBERRY_PI;
    }
    if (contains(model, "Radxa ROCK")) return PLATFORM_ROCK;
    return PLATFORM_UNKNOWN;
}

PlatformType detectPlatform(const std::string& modelPath) {
    std::string line;
    if (sys::readFirstLine(sys::systemCalls(), modelPath, kModelLength, line) != 0) return PLATFORM_UNKNOWN;
    return platformFromModel(line);
}

}  // namespace Korvane
