// Captures from the ToF simulator's four-phase sensor: capture n is phase plane n mod 4 of
// simulated frame n / 4. The modulation frequency can follow the emulated sensor's range
// control (1: 75 MHz, 0: 37.5 MHz), read at the first plane of every frame, as the real
// module switches it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame_source.h"
#include "hqvga_sensor.h"
#include "subdevice.h"

namespace Korvane::emulation {

class SimulatorFrameSource final : public FrameSource {
public:
    explicit SimulatorFrameSource(Sim::HqvgaSensor& sensor) : sensor_(sensor) {}

    // From now on each frame uses the modulation `subdevice`'s range control selects.
    void followRangeControl(const EmulatedSubdevice& subdevice) { rangeControl_ = &subdevice; }

    void render(uint64_t sequence, uint32_t width, uint32_t height, std::vector<uint16_t>& samples) override;

private:
    Sim::HqvgaSensor& sensor_;
    const EmulatedSubdevice* rangeControl_ = nullptr;
    std::vector<uint16_t> planes_;
    uint64_t renderedFrame_ = UINT64_MAX;
};

}  // namespace Korvane::emulation
