// Configuration files the VGA device model carries inside the extension module and writes
// into the working directory at every start, in this order: "ConfigAlgorithm.json",
// "ConfigCamera.json", "register.json".
#pragma once

#include <array>
#include <string_view>

namespace Korvane {

struct EmbeddedConfigFile {
    const char* fileName;
    std::string_view text;  // exact bytes of the file, no terminating NUL
};

const std::array<EmbeddedConfigFile, 3>& embeddedConfigFiles();

}  // namespace Korvane
