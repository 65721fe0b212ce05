#include "bus_names.h"

#include <cctype>

namespace Korvane::csi {

namespace {

constexpr size_t kEntityBusLength = 7;
constexpr size_t kNameFileBusDigits = 8;

}  // namespace

std::optional<std::string> busNameFromSensorEntity(std::string_view entityName) {
    const size_t blank = entityName.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    std::string_view bus = entityName.substr(blank + 1, kEntityBusLength);
    return std::string(bus.substr(0, bus.find('-')));
}

std::optional<std::string> busNameFromJetsonName(std::string_view line) {
    const size_t driver = line.find("korvane");
    if (driver == std::string_view::npos) return std::nullopt;
    const size_t blank = line.find(' ', driver);
    std::string digits;
    if (blank == std::string_view::npos) return digits;
    for (size_t i = blank + 1; i < line.size() && digits.size() < kNameFileBusDigits &&
                               std::isdigit(static_cast<unsigned char>(line[i]));
         ++i) {
        digits.push_back(line[i]);
    }
    return digits;
}

}  // namespace Korvane::csi
