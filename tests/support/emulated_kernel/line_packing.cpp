#include "line_packing.h"

#include <cstring>

namespace Korvane::emulation {

namespace {

constexpr size_t kStrideLine = 512;
constexpr size_t kPairedLineBytes = 480;
constexpr size_t kPairedBlock = 960;
constexpr size_t kPairedHead = 448;

size_t packed12Stride(uint32_t width) { return (static_cast<size_t>(width) * 3 / 2 + 15) / 16 * 16; }

void putSample(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

size_t packedBytes(LinePacking packing, uint32_t width, uint32_t height) {
    switch (packing) {
        case LinePacking::Plain16: return static_cast<size_t>(width) * height * 2;
        case LinePacking::Stride512: return kStrideLine * height;
        case LinePacking::PairedLines: return kPairedBlock * ((height + 1) / 2);
        case LinePacking::Packed12: return packed12Stride(width) * height;
    }
    return 0;
}

void packImage(LinePacking packing, const std::vector<uint16_t>& samples, uint32_t width, uint32_t height,
               unsigned shift, uint8_t* buffer) {
    std::memset(buffer, 0, packedBytes(packing, width, height));
    const auto value = [&](uint32_t x, uint32_t y) {
        return static_cast<uint16_t>(samples[static_cast<size_t>(y) * width + x] << shift);
    };
    for (uint32_t y = 0; y < height; ++y) {
        switch (packing) {
            case LinePacking::Plain16:
                for (uint32_t x = 0; x < width; ++x) putSample(buffer + (static_cast<size_t>(y) * width + x) * 2, value(x, y));
                break;
            case LinePacking::Stride512:
                for (uint32_t x = 0; x < width; ++x) putSample(buffer + y * kStrideLine + x * 2, value(x, y));
                break;
            case LinePacking::PairedLines: {
                // Line A: bytes 0-447 and, past line B (bytes 448-927), its last 32 bytes.
                uint8_t line[kPairedLineBytes] = {};
                for (uint32_t x = 0; x < width && x * 2 < kPairedLineBytes; ++x) putSample(line + x * 2, value(x, y));
                uint8_t* block = buffer + (y / 2) * kPairedBlock;
                if (y % 2 == 0) {
                    std::memcpy(block, line, kPairedHead);
                    std::memcpy(block + kPairedHead + kPairedLineBytes, line + kPairedHead, kPairedLineBytes - kPairedHead);
                } else {
                    std::memcpy(block + kPairedHead, line, kPairedLineBytes);
                }
                break;
            }
            case LinePacking::Packed12: {
                uint8_t* line = buffer + y * packed12Stride(width);
                for (uint32_t x = 0; x + 1 < width; x += 2) {
                    const uint16_t s1 = value(x, y) & 0xFFF, s2 = value(x + 1, y) & 0xFFF;
                    line[x / 2 * 3] = static_cast<uint8_t>(s1 >> 4);
                    line[x / 2 * 3 + 1] = static_cast<uint8_t>(s2 >> 4);
                    line[x / 2 * 3 + 2] = static_cast<uint8_t>((s1 & 0x0F) | ((s2 & 0x0F) << 4));
                }
                break;
            }
        }
    }
}

}  // namespace Korvane::emulation
