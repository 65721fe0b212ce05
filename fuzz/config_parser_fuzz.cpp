// Fuzz target: arbitrary bytes as a camera configuration file for korvane_parse_config.
// The bytes are written to an in-memory file that the parser opens by its /proc path.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "korvane_config_parser.h"

namespace {

struct MemoryFile {
    int fd = memfd_create("korvane-config", 0);
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    ~MemoryFile() {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file;
    if (file.fd < 0 || ftruncate(file.fd, 0) != 0) std::abort();
    size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(file.fd, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0) std::abort();
        written += static_cast<size_t>(n);
    }
    CameraConfigRecord config{};
    const int result = korvane_parse_config(file.path.c_str(), &config);
    // Every entry handed out must be readable and consistent with its count.
    for (uint32_t i = 0; i < config.register_count; ++i) {
        if (config.registers[i].count > KORVANE_CONFIG_MAX_VALUES) std::abort();
    }
    for (uint32_t i = 0; i < config.control_count; ++i) {
        if (config.controls[i].ctrl_name[KORVANE_CONFIG_NAME_SIZE - 1] != '\0') std::abort();
        if (config.controls[i].code != nullptr) (void)std::string(config.controls[i].code);
    }
    if (config.type[KORVANE_CONFIG_TYPE_SIZE - 1] != '\0' || result < 0) std::abort();
    korvane_free_config(&config);
    return 0;
}
