// The I2C helpers the extension module exports under plain C names, and their internal
// forms, which take the system calls to use. Every failure is reported once on standard
// error and returned as a negative value; nothing throws.
#pragma once

#include <cstddef>
#include <string>

#include "transport/system/system_calls.h"

#define KORVANE_C_EXPORT extern "C" __attribute__((visibility("default")))

// Writes "/dev/i2c-<bus>" into filename (at most size bytes; a null filename is allowed)
// and opens it read-write. The descriptor, or -1. Quiet suppresses the messages.
KORVANE_C_EXPORT int i2c_open_i2c_dev(int bus, char* filename, size_t size, int quiet);
// I2C_FUNCS into *funcs. 0 or -errno.
KORVANE_C_EXPORT int i2c_get_functionality(int fd, unsigned long* funcs);
// I2C_SLAVE_FORCE when force is non-zero, else I2C_SLAVE. 0 or -errno.
KORVANE_C_EXPORT int i2c_set_slave_addr(int fd, int address, int force);
// I2C_TIMEOUT (units of 10 ms); 0 selects 3. 0 or -errno.
KORVANE_C_EXPORT int i2c_set_adapter_timeout(int fd, int timeout);
// I2C_RETRIES; 0 selects 2. 0 or -errno.
KORVANE_C_EXPORT int i2c_set_adapter_retries(int fd, int retries);

namespace Korvane::i2c {

int openI2cDev(sys::SystemCalls& sys, int bus, char* filename, size_t size, bool quiet);
int getFunctionality(sys::SystemCalls& sys, int fd, unsigned long* funcs);
int setSlaveAddress(sys::SystemCalls& sys, int fd, int address, bool force);
int setAdapterTimeout(sys::SystemCalls& sys, int fd, int timeout);
int setAdapterRetries(sys::SystemCalls& sys, int fd, int retries);

}  // namespace Korvane::i2c
