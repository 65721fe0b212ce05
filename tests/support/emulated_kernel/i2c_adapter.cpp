#include "i2c_adapter.h"

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace Korvane::emulation {

namespace {

uint16_t registerOf(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]); }

}  // namespace

bool ModuleController::write(const uint8_t* bytes, size_t count) {
    if (count < 2) return false;
    switch (registerOf(bytes)) {
        case 0x0633:
            if (count != 6) return false;
            frameRate_ = static_cast<int32_t>(static_cast<uint32_t>(bytes[2]) << 24 | bytes[3] << 16 | bytes[4] << 8 |
                                              bytes[5]);
            return true;
        case 0x0631:
            if (count != 6) return false;
            blockOffset_ = registerOf(bytes + 2);
            blockLength_ = registerOf(bytes + 4);
            blockRequested_ = true;
            readSelected_ = false;
            return true;
        case 0x0632:
            readSelected_ = count == 2 && blockRequested_;
            return readSelected_;
        default: return false;
    }
}

bool ModuleController::read(uint8_t* bytes, size_t count) {
    if (!readSelected_ || count > blockLength_) return false;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = blockOffset_ + i;
        bytes[i] = at < eeprom_.size() ? eeprom_[at] : 0xFF;  // erased cells read 0xFF
    }
    readSelected_ = false;
    return true;
}

EmulatedI2cAdapter::EmulatedI2cAdapter(Trace& trace, int bus, unsigned long functionality)
    : trace_(trace), bus_(bus), functionality_(functionality) {}

int EmulatedI2cAdapter::ioctl(unsigned long request, void* arg) {
    const long value = static_cast<long>(reinterpret_cast<intptr_t>(arg));
    switch (request) {
        case I2C_FUNCS:
            if (arg == nullptr) return -EFAULT;
            *static_cast<unsigned long*>(arg) = functionality_;
            return 0;
        case I2C_SLAVE:
        case I2C_SLAVE_FORCE:
            if (value < 0 || value > 0x7F) return -EINVAL;
            if (request == I2C_SLAVE && busy_.count(static_cast<uint16_t>(value))) return -EBUSY;
            slave_ = value;
            return 0;
        case I2C_TIMEOUT:
            if (value < 0) return -EINVAL;
            timeout_ = value;
            return 0;
        case I2C_RETRIES:
            if (value < 0) return -EINVAL;
            retries_ = value;
            return 0;
        case I2C_RDWR: return transfer(arg);
        default: return -ENOTTY;
    }
}

int EmulatedI2cAdapter::transfer(void* arg) {
    const auto* data = static_cast<const i2c_rdwr_ioctl_data*>(arg);
    if (data == nullptr || data->msgs == nullptr || data->nmsgs == 0 || data->nmsgs > I2C_RDWR_IOCTL_MAX_MSGS) {
        return -EINVAL;
    }
    uint32_t count = data->nmsgs;
    if (shortenAfter_ > 0) {
        --shortenAfter_;
    } else if (shorten_ > 0) {
        --shorten_;
        --count;
    }
    char head[32];
    for (uint32_t i = 0; i < count; ++i) {
        const i2c_msg& message = data->msgs[i];
        auto chip = chips_.find(message.addr);
        std::snprintf(head, sizeof head, "i2c-%d @%02x ", bus_, message.addr);
        if (chip == chips_.end()) return -ENXIO;
        if (message.flags & I2C_M_RD) {
            if (!chip->second->read(message.buf, message.len)) return -EREMOTEIO;
            trace_.record(head + std::string("read ") + std::to_string(message.len));
        } else {
            if (!chip->second->write(message.buf, message.len)) return -EREMOTEIO;
            trace_.record(head + std::string("write ") + hexBytes(message.buf, message.len));
        }
    }
    return static_cast<int>(count);
}

}  // namespace Korvane::emulation
