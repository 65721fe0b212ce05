#include "line_converters.h"

#include <algorithm>
#include <cstring>

namespace Korvane::csi {

namespace {

constexpr size_t kStrideLine = 512;
constexpr size_t kStrideKept = 480;
constexpr size_t kPairBlock = 960;
constexpr size_t kPairHead = 448;        // bytes 0-447 open line A
constexpr size_t kPairTailOffset = 896;  // bytes 896-927 close line A
constexpr size_t kPairTail = 32;
constexpr size_t kPairLineB = 480;       // bytes 448-927

// Appends up to `count` bytes at dst[*written], never past dstBytes; false once full.
bool append(uint8_t* dst, size_t dstBytes, size_t* written, const uint8_t* src, size_t count) {
    const size_t n = std::min(count, dstBytes - *written);
    std::memcpy(dst + *written, src, n);
    *written += n;
    return *written < dstBytes;
}

}  // namespace

void plainCopy(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int) {
    std::memcpy(dst, src, std::min(srcBytes, dstBytes));
}

void strideCopy(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int) {
    size_t written = 0;
    for (size_t line = 0; line + kStrideLine <= srcBytes; line += kStrideLine) {
        if (!append(dst, dstBytes, &written, src + line, kStrideKept)) return;
    }
}

void pairedLineCopy(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int) {
    size_t written = 0;
    for (size_t block = 0; block + kPairBlock <= srcBytes; block += kPairBlock) {
        const uint8_t* b = src + block;
        if (!append(dst, dstBytes, &written, b, kPairHead) ||
            !append(dst, dstBytes, &written, b + kPairTailOffset, kPairTail) ||
            !append(dst, dstBytes, &written, b + kPairHead, kPairLineB)) {
            return;
        }
    }
}

void unpackPacked12(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int width) {
    if (width <= 0) return;
    const size_t lineBytes = static_cast<size_t>(width) * 3 / 2;
    const size_t padding = (lineBytes + 15) / 16 * 16 - lineBytes;
    const size_t samples = dstBytes / 2;
    size_t position = 0;  // in samples
    // Every complete group inside the buffer is read, so the last samples of a line whose
    // length needs no padding are not lost.
    for (size_t offset = 0; offset + 3 <= srcBytes && position + 2 <= samples;) {
        const uint8_t b0 = src[offset], b1 = src[offset + 1], b2 = src[offset + 2];
        const uint16_t pair[2] = {static_cast<uint16_t>((b0 << 4) | (b2 & 0x0F)),
                                  static_cast<uint16_t>((b1 << 4) | (b2 >> 4))};
        std::memcpy(dst + position * 2, pair, sizeof pair);
        position += 2;
        offset += 3;
        if (padding != 0 && position % static_cast<size_t>(width) == 0) offset += padding;
    }
}

}  // namespace Korvane::csi
