// How each board's capture hardware lays the lines of a 12-bit image out in a buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Korvane::emulation {

enum class LinePacking {
    Plain16,       // 16-bit little-endian samples, no padding
    Stride512,     // 16-bit samples in lines of 512 bytes (240-sample lines)
    PairedLines,   // two 240-sample lines per 960-byte block (Jetson Xavier and Orin)
    Packed12,      // 'Y12P': two samples in three bytes, lines padded to 16 bytes (Pi 5)
};

// Bytes of one packed image.
size_t packedBytes(LinePacking packing, uint32_t width, uint32_t height);

// Writes `samples` (each shifted left by `shift` first) into `buffer` (packedBytes long).
void packImage(LinePacking packing, const std::vector<uint16_t>& samples, uint32_t width, uint32_t height,
               unsigned shift, uint8_t* buffer);

}  // namespace Korvane::emulation
