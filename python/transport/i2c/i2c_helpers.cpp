#include "i2c_helpers.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "transport/system/ioctl.h"

namespace Korvane::i2c {

namespace {

// I2C_SLAVE, I2C_TIMEOUT and I2C_RETRIES take their value in place of a pointer.
void* asArgument(int value) { return reinterpret_cast<void*>(static_cast<intptr_t>(value)); }

}  // namespace

int openI2cDev(sys::SystemCalls& sys, int bus, char* filename, size_t size, bool quiet) {
    char local[32];
    if (filename == nullptr || size == 0) {
        filename = local;
        size = sizeof local;
    }
    std::snprintf(filename, size, "/dev/i2c-%d", bus);
    const int fd = sys.open(filename, O_RDWR);
    if (fd < 0 && !quiet) {
        const int error = errno;
        if (error == ENOENT) {
            std::fprintf(stderr, "Error: Could not open file `/dev/i2c-%d': %s\n", bus, std::strerror(error));
        } else {
            std::fprintf(stderr, "Error: Could not open file `%s': %s\n", filename, std::strerror(error));
            if (error == EACCES) std::fprintf(stderr, "Run as root?\n");
        }
    }
    return fd;
}

int getFunctionality(sys::SystemCalls& sys, int fd, unsigned long* funcs) {
    const int r = sys::callIoctl(sys, fd, I2C_FUNCS, funcs);
    if (r < 0) {
        std::fprintf(stderr, "Error: Could not get adapter functionality: %s\n", std::strerror(-r));
        return r;
    }
    return 0;
}

int setSlaveAddress(sys::SystemCalls& sys, int fd, int address, bool force) {
    const int r = sys::callIoctl(sys, fd, force ? I2C_SLAVE_FORCE : I2C_SLAVE, asArgument(address));
    if (r < 0) {
        std::fprintf(stderr, "Error: Could not set address to 0x%02x: %s\n", address, std::strerror(-r));
        return r;
    }
    return 0;
}

int setAdapterTimeout(sys::SystemCalls& sys, int fd, int timeout) {
    const int r = sys::callIoctl(sys, fd, I2C_TIMEOUT, asArgument(timeout != 0 ? timeout : 3));
    if (r < 0) {
        std::fprintf(stderr, "Error: Could not set timeout to %d: %s\n", timeout, std::strerror(-r));
        return r;
    }
    return 0;
}

int setAdapterRetries(sys::SystemCalls& sys, int fd, int retries) {
    const int r = sys::callIoctl(sys, fd, I2C_RETRIES, asArgument(retries != 0 ? retries : 2));
    if (r < 0) {
        std::fprintf(stderr, "Error: Could not set retries to %d: %s\n", retries, std::strerror(-r));
        return r;
    }
    return 0;
}

}  // namespace Korvane::i2c

int i2c_open_i2c_dev(int bus, char* filename, size_t size, int quiet) {
    return Korvane::i2c::openI2cDev(Korvane::sys::systemCalls(), bus, filename, size, quiet != 0);
}

int i2c_get_functionality(int fd, unsigned long* funcs) {
    return Korvane::i2c::getFunctionality(Korvane::sys::systemCalls(), fd, funcs);
}

int i2c_set_slave_addr(int fd, int address, int force) {
    return Korvane::i2c::setSlaveAddress(Korvane::sys::systemCalls(), fd, address, force != 0);
}

int i2c_set_adapter_timeout(int fd, int timeout) {
    return Korvane::i2c::setAdapterTimeout(Korvane::sys::systemCalls(), fd, timeout);
}

int i2c_set_adapter_retries(int fd, int retries) {
    return Korvane::i2c::setAdapterRetries(Korvane::sys::systemCalls(), fd, retries);
}
