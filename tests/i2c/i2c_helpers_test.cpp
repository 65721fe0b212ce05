// The exported C helpers, through the process-wide system calls, against an emulated
// adapter: what each ioctl receives, and the exact messages of each failure.
#include "transport/i2c/i2c_helpers.h"

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>

#include "emulated_kernel.h"
#include "i2c_adapter.h"
#include "transport/system/system_calls.h"

namespace Korvane::emulation {
namespace {

class I2cHelpers : public ::testing::Test {
protected:
    I2cHelpers() : adapter_(std::make_shared<EmulatedI2cAdapter>(kernel_.trace(), 3, I2C_FUNC_I2C | 0x7E0000)) {
        kernel_.addDevice("/dev/i2c-3", 89, 3, adapter_);
        adapter_->markBusy(0x0C);
    }
    int openBus() { return i2c_open_i2c_dev(3, nullptr, 0, 1); }

    EmulatedKernel kernel_;
    std::shared_ptr<EmulatedI2cAdapter> adapter_;
    sys::ScopedSystemCalls use_{kernel_};
};

TEST_F(I2cHelpers, OpenWritesTheNodeNameAndOpensIt) {
    char name[20] = {};
    const int fd = i2c_open_i2c_dev(3, name, sizeof name, 0);
    EXPECT_GE(fd, 0);
    EXPECT_STREQ(name, "/dev/i2c-3");
    EXPECT_EQ(kernel_.openCount("/dev/i2c-3"), 1);
}

TEST_F(I2cHelpers, OpenFailuresNameTheFileUnlessQuiet) {
    struct OpenCase {
        int error;
        int bus;
        bool quiet;
        std::string message;
    };
    const OpenCase cases[] = {
        {ENOENT, 7, false, "Error: Could not open file `/dev/i2c-7': No such file or directory\n"},
        {EACCES, 3, false, "Error: Could not open file `/dev/i2c-3': Permission denied\nRun as root?\n"},
        {EBUSY, 3, false, "Error: Could not open file `/dev/i2c-3': Device or resource busy\n"},
        {EACCES, 3, true, ""},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.message);
        kernel_.fail(emulation::Call::Open, "/dev/i2c-" + std::to_string(c.bus), c.error);
        char name[20] = {};
        ::testing::internal::CaptureStderr();
        EXPECT_LT(i2c_open_i2c_dev(c.bus, name, sizeof name, c.quiet ? 1 : 0), 0);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.message);
    }
}

TEST_F(I2cHelpers, FunctionalityIsTheAdaptersMask) {
    const int fd = openBus();
    unsigned long funcs = 0;
    EXPECT_EQ(i2c_get_functionality(fd, &funcs), 0);
    EXPECT_EQ(funcs, static_cast<unsigned long>(I2C_FUNC_I2C | 0x7E0000));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(i2c_get_functionality(9999, &funcs), -EBADF);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Could not get adapter functionality: Bad file descriptor\n");
}

TEST_F(I2cHelpers, SlaveAddressIsForcedOnlyWhenAsked) {
    const int fd = openBus();
    EXPECT_EQ(i2c_set_slave_addr(fd, 0x50, 0), 0);
    EXPECT_EQ(adapter_->slaveAddress(), 0x50);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(i2c_set_slave_addr(fd, 0x0C, 0), -EBUSY) << "a kernel driver owns 0x0c";
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Could not set address to 0x0c: Device or resource busy\n");
    EXPECT_EQ(i2c_set_slave_addr(fd, 0x0C, 1), 0);
    EXPECT_EQ(adapter_->slaveAddress(), 0x0C);
}

// Zero selects the defaults: a timeout of 3 and 2 retries.
TEST_F(I2cHelpers, TimeoutAndRetriesWithTheirDefaults) {
    const int fd = openBus();
    EXPECT_EQ(i2c_set_adapter_timeout(fd, 0), 0);
    EXPECT_EQ(adapter_->timeout(), 3);
    EXPECT_EQ(i2c_set_adapter_timeout(fd, 25), 0);
    EXPECT_EQ(adapter_->timeout(), 25);
    EXPECT_EQ(i2c_set_adapter_retries(fd, 0), 0);
    EXPECT_EQ(adapter_->retries(), 2);
    EXPECT_EQ(i2c_set_adapter_retries(fd, 5), 0);
    EXPECT_EQ(adapter_->retries(), 5);
}

TEST_F(I2cHelpers, TimeoutAndRetriesFailuresQuoteTheValueGiven) {
    const int fd = openBus();
    kernel_.failIoctl(I2C_TIMEOUT, EIO);
    kernel_.failIoctl(I2C_RETRIES, EINVAL);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(i2c_set_adapter_timeout(fd, 0), -EIO);
    EXPECT_EQ(i2c_set_adapter_retries(fd, 0), -EINVAL);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Error: Could not set timeout to 0: Input/output error\n"
              "Error: Could not set retries to 0: Invalid argument\n");
}

}  // namespace
}  // namespace Korvane::emulation
