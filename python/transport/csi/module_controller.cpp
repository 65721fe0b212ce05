#include "module_controller.h"

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <chrono>

#include "transport/system/ioctl.h"

namespace Korvane::csi {

namespace {

constexpr std::chrono::milliseconds kEepromFetchTime{100};

// One I2C_RDWR transfer; true only when every message went through.
bool transfer(sys::SystemCalls& sys, int fd, i2c_msg* messages, uint32_t count) {
    i2c_rdwr_ioctl_data data{messages, count};
    return sys::callIoctl(sys, fd, I2C_RDWR, &data) == static_cast<int>(count);
}

}  // namespace

bool writeFrameRate(sys::SystemCalls& sys, int fd, uint16_t address, int32_t framesPerSecond) {
    const uint32_t v = static_cast<uint32_t>(framesPerSecond);
    uint8_t bytes[6] = {0x06, 0x33, static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    i2c_msg message{address, 0, sizeof bytes, bytes};
    return transfer(sys, fd, &message, 1);
}

bool readEepromBlock(sys::SystemCalls& sys, int fd, uint16_t address, uint16_t offset, uint8_t* dst) {
    uint8_t request[6] = {0x06, 0x31, static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset),
                          static_cast<uint8_t>(kEepromBlockBytes >> 8), static_cast<uint8_t>(kEepromBlockBytes)};
    i2c_msg requestMessage{address, 0, sizeof request, request};
    if (!transfer(sys, fd, &requestMessage, 1)) return false;

    sys.sleepFor(kEepromFetchTime);

    uint8_t readRegister[2] = {0x06, 0x32};
    i2c_msg readBack[2] = {{address, 0, sizeof readRegister, readRegister},
                           {address, I2C_M_RD, static_cast<uint16_t>(kEepromBlockBytes), dst}};
    return transfer(sys, fd, readBack, 2);
}

}  // namespace Korvane::csi
