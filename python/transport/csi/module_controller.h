// The camera module's microcontroller on the I2C bus: frame-rate register and EEPROM.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transport/system/system_calls.h"

namespace Korvane::csi {

inline constexpr uint16_t kModuleControllerAddress = 0x0C;
inline constexpr size_t kEepromBlockBytes = 512;

// Writes register 0x0633 (frames per second, 4 bytes, most significant first) in one
// message. False when the transfer failed or was short.
bool writeFrameRate(sys::SystemCalls& sys, int fd, uint16_t address, int32_t framesPerSecond);

// Reads the 512-byte EEPROM block at `offset` into dst: the request (register 0x0631 with
// offset and length), a 100 ms pause while the controller fetches it, then register
// 0x0632 read back in one combined transfer. False when a transfer failed or was short.
bool readEepromBlock(sys::SystemCalls& sys, int fd, uint16_t address, uint16_t offset, uint8_t* dst);

}  // namespace Korvane::csi
