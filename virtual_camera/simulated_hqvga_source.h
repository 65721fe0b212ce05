// The simulated 240 x 180 four-phase sensor as an image source: frames at the configured
// rate, four phase images 1 ms apart, modulation frequency switched by register writes.
#pragma once

#include <vector>

#include "hqvga_sensor.h"
#include "image_source.h"
#include "virtual_device_config.h"

namespace Korvane::Evk {

// Registers that select the modulation frequency, and their values for each frequency.
struct ModulationRegisters {
    static constexpr uint32_t kAddresses[4] = {0x216c, 0x2179, 0x217a, 0x217b};
    static constexpr uint32_t k75MHz[4] = {0x08, 0x0a, 0x0e, 0x12};
    static constexpr uint32_t k37_5MHz[4] = {0x10, 0x0e, 0x16, 0x1e};
};

class SimulatedHqvgaSource final : public ImageSource {
public:
    static constexpr uint64_t kPhaseIntervalMs = 1;  // between the four images of a frame

    explicit SimulatedHqvgaSource(const VirtualDeviceConfig& config);

    const SourceFormat& format() const override { return format_; }
    RegisterMap resetRegisters() const override;
    void registersChanged(const RegisterMap& registers) override;
    void restart(uint64_t clockMs) override { startClockMs_ = clockMs; }
    std::optional<uint64_t> frameDue(uint64_t index) const override;
    bool load(uint64_t index, SourceFrame& frame) override;

private:
    SourceFormat format_;
    Sim::HqvgaSensor sensor_;
    Sim::HqvgaModulation modulation_ = Sim::HqvgaModulation::MHz37_5;  // applied from the next frame
    uint64_t startClockMs_ = 0;
    std::vector<uint16_t> planes_;
};

}  // namespace Korvane::Evk
