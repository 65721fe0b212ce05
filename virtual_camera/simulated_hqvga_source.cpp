#include "simulated_hqvga_source.h"

#include <cmath>

namespace Korvane::Evk {

namespace {

bool registersHold(const RegisterMap& registers, const uint32_t (&values)[4]) {
    for (int i = 0; i < 4; ++i) {
        const auto it = registers.find(ModulationRegisters::kAddresses[i]);
        if (it == registers.end() || it->second != values[i]) return false;
    }
    return true;
}

// The sensor's 12-bit sample in the configured bit width.
uint16_t toBitWidth(uint16_t sample, uint32_t bitWidth) {
    return bitWidth >= 12 ? static_cast<uint16_t>(sample << (bitWidth - 12)) : static_cast<uint16_t>(sample >> (12 - bitWidth));
}

}  // namespace

SimulatedHqvgaSource::SimulatedHqvgaSource(const VirtualDeviceConfig& config)
    : sensor_(config.scene, config.intrinsics, config.pixel, config.seed),
      planes_(Sim::HqvgaSensor::kSamplesPerFrame) {
    format_.width = Sim::HqvgaSensor::kWidth;
    format_.height = Sim::HqvgaSensor::kHeight;
    format_.bitWidth = config.bitWidth;
    format_.bytesPerSample = config.bitWidth > 8 ? 2 : 1;
    format_.imagesPerFrame = Sim::HqvgaSensor::kPlanes;
    format_.frameRate = config.frameRate;
}

RegisterMap SimulatedHqvgaSource::resetRegisters() const {
    RegisterMap registers;
    for (int i = 0; i < 4; ++i) registers[ModulationRegisters::kAddresses[i]] = ModulationRegisters::k37_5MHz[i];
    return registers;
}

void SimulatedHqvgaSource::registersChanged(const RegisterMap& registers) {
    // While a set is being written the registers hold a mix; the frequency changes only
    // once all four hold one set.
    if (registersHold(registers, ModulationRegisters::k75MHz)) modulation_ = Sim::HqvgaModulation::MHz75;
    if (registersHold(registers, ModulationRegisters::k37_5MHz)) modulation_ = Sim::HqvgaModulation::MHz37_5;
}

std::optional<uint64_t> SimulatedHqvgaSource::frameDue(uint64_t index) const {
    return static_cast<uint64_t>(std::llround(static_cast<double>(index) * 1000.0 / format_.frameRate));
}

bool SimulatedHqvgaSource::load(uint64_t index, SourceFrame& frame) {
    sensor_.setModulation(modulation_);
    sensor_.render(index, planes_.data());
    frame.samples.resize(planes_.size() * format_.bytesPerSample);
    uint8_t* out = frame.samples.data();
    for (const uint16_t sample : planes_) {
        const uint16_t value = toBitWidth(sample, format_.bitWidth);
        *out++ = static_cast<uint8_t>(value);
        if (format_.bytesPerSample == 2) *out++ = static_cast<uint8_t>(value >> 8);
    }
    const uint64_t due = *frameDue(index);
    frame.timestamps.resize(Sim::HqvgaSensor::kPlanes);
    frame.dueMs.resize(Sim::HqvgaSensor::kPlanes);
    for (uint32_t k = 0; k < Sim::HqvgaSensor::kPlanes; ++k) {
        frame.dueMs[k] = due + k * kPhaseIntervalMs;
        frame.timestamps[k] = startClockMs_ + frame.dueMs[k];
    }
    return true;
}

}  // namespace Korvane::Evk
