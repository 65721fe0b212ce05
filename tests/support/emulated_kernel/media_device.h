// An emulated media controller: entities with their device numbers, and links between pads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulated_kernel.h"

namespace Korvane::emulation {

struct MediaEntity {
    uint32_t id;
    std::string name;
    uint32_t function;  // MEDIA_ENT_F_*
    unsigned major, minor;
    uint16_t pads;
};

struct MediaLink {
    uint32_t source;
    uint16_t sourcePad;
    uint32_t sink;
    uint16_t sinkPad;
    bool enabled;
};

class EmulatedMediaDevice final : public EmulatedDevice {
public:
    EmulatedMediaDevice(std::vector<MediaEntity> entities, std::vector<MediaLink> links)
        : entities_(std::move(entities)), links_(std::move(links)) {}

    int ioctl(unsigned long request, void* arg) override;

    bool linkEnabled(const std::string& source, uint16_t sourcePad, const std::string& sink, uint16_t sinkPad) const;

private:
    uint32_t idOf(const std::string& name) const;

    std::vector<MediaEntity> entities_;  // in id order
    std::vector<MediaLink> links_;
};

}  // namespace Korvane::emulation
