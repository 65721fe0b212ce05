#include "simulator_frame_source.h"

#include <algorithm>

#include "emulated_board.h"

namespace Korvane::emulation {

void SimulatorFrameSource::render(uint64_t sequence, uint32_t width, uint32_t height, std::vector<uint16_t>& samples) {
    constexpr size_t kPixels = Sim::HqvgaSensor::kPixels;
    samples.assign(static_cast<size_t>(width) * height, 0);
    if (width != Sim::HqvgaSensor::kWidth || height != Sim::HqvgaSensor::kHeight) return;  // no such sensor
    const uint64_t frame = sequence / Sim::HqvgaSensor::kPlanes;
    if (frame != renderedFrame_) {
        if (rangeControl_ != nullptr) {
            sensor_.setModulation(rangeControl_->control(kRangeControlId) != 0 ? Sim::HqvgaModulation::MHz75
                                                                                : Sim::HqvgaModulation::MHz37_5);
        }
        planes_.resize(Sim::HqvgaSensor::kSamplesPerFrame);
        sensor_.render(frame, planes_.data());
        renderedFrame_ = frame;
    }
    const auto plane = planes_.begin() + static_cast<std::ptrdiff_t>((sequence % Sim::HqvgaSensor::kPlanes) * kPixels);
    std::copy(plane, plane + static_cast<std::ptrdiff_t>(kPixels), samples.begin());
}

}  // namespace Korvane::emulation
