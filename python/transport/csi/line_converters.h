// Unpacking of one captured kernel buffer into 16-bit samples. Boards deliver the lines of
// a 12-bit image in different layouts; each converter reads `srcBytes` bytes of a buffer
// and writes at most `dstBytes` bytes at `dst` (one image's slot in the staging buffer):
// a longer buffer is cut there.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Korvane::csi {

using LineConverter = void (*)(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int width);

// The bytes as they are (16-bit little-endian samples without line padding).
void plainCopy(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int width);

// Lines of 512 bytes of which the first 480 carry samples.
void strideCopy(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int width);

// Blocks of 960 bytes holding two lines: line A is bytes 0-447 followed by bytes 896-927,
// line B is bytes 448-927.
void pairedLineCopy(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int width);

// Packed 12-bit lines ('Y12P'): groups of 3 bytes b0 b1 b2 give the samples
// (b0 << 4) | (b2 & 0x0F) and (b1 << 4) | (b2 >> 4); each line of width x 1.5 bytes is
// padded to a multiple of 16 bytes.
void unpackPacked12(const uint8_t* src, size_t srcBytes, uint8_t* dst, size_t dstBytes, int width);

// The byte size of a buffer whose 512-byte lines are converted by strideCopy (180 lines).
inline constexpr size_t kStrideBufferBytes = 92160;

}  // namespace Korvane::csi
