// What the emulated sensor sees: the 12-bit samples of each capture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Korvane::emulation {

class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Fills `samples` (width x height, row-major, values below 4096) for capture number
    // `sequence`, counted from 0 since the device was created.
    virtual void render(uint64_t sequence, uint32_t width, uint32_t height, std::vector<uint16_t>& samples) = 0;
};

// A pattern in which every sample of every capture differs from its neighbours, so that a
// misplaced line, byte or image shows.
class TestPattern final : public FrameSource {
public:
    static uint16_t sample(uint64_t sequence, uint32_t x, uint32_t y) {
        return static_cast<uint16_t>((sequence * 1031 + y * 241 + x * 7 + (x >> 3)) & 0xFFF);
    }
    void render(uint64_t sequence, uint32_t width, uint32_t height, std::vector<uint16_t>& samples) override {
        samples.resize(static_cast<size_t>(width) * height);
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) samples[static_cast<size_t>(y) * width + x] = sample(sequence, x, y);
        }
    }
};

}  // namespace Korvane::emulation
