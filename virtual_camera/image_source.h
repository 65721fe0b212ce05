// Where a virtual device's images come from: a simulated sensor or a recording. A source
// hands out whole frames by their number in the stream; the device paces them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace Korvane::Evk {

struct SourceFormat {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitWidth = 0;
    uint32_t bytesPerSample = 0;
    uint32_t imagesPerFrame = 0;
    double frameRate = 0.0;

    size_t imageBytes() const { return static_cast<size_t>(width) * height * bytesPerSample; }
};

struct SourceFrame {
    std::vector<uint8_t> samples;      // every image of the frame, back to back
    std::vector<uint64_t> timestamps;  // per image, milliseconds on the device clock
    std::vector<uint64_t> dueMs;       // per image, when it is available: ms after the stream started
};

using RegisterMap = std::map<uint32_t, uint32_t>;

class ImageSource {
public:
    virtual ~ImageSource() = default;
    virtual const SourceFormat& format() const = 0;
    // Register contents after power-on.
    virtual RegisterMap resetRegisters() const { return {}; }
    // Called after every register write.
    virtual void registersChanged(const RegisterMap&) {}
    // A stream starts; `clockMs` is the device clock then (milliseconds since open).
    virtual void restart(uint64_t clockMs) = 0;
    // When the first image of frame `index` is available (ms after the stream started);
    // nothing when the stream ends before that frame.
    virtual std::optional<uint64_t> frameDue(uint64_t index) const = 0;
    // Produces frame `index`; false when it cannot be read.
    virtual bool load(uint64_t index, SourceFrame& frame) = 0;
};

}  // namespace Korvane::Evk
