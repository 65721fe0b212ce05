// Adapter discovery (/proc/bus/i2c, else the sysfs class directory found through
// /proc/mounts) and lookup of a bus by its adapter's name.
#include "transport/i2c/i2c_adapters.h"

#include <linux/i2c.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>

#include "emulated_kernel.h"
#include "i2c_adapter.h"

namespace Korvane::i2c {
namespace {

using emulation::EmulatedI2cAdapter;
using emulation::EmulatedKernel;

class I2cAdapters : public ::testing::Test {
protected:
    void mountSysfsAt(const std::string& point) {
        kernel_.addFile("/proc/mounts", "/dev/root / ext4 rw 0 0\nsysfs " + point + " SysFs rw,nosuid 0 0\n");
    }
    void addAdapter(int bus, unsigned long functionality) {
        auto adapter = std::make_shared<EmulatedI2cAdapter>(kernel_.trace(), bus, functionality);
        kernel_.addDevice("/dev/i2c-" + std::to_string(bus), 89, static_cast<unsigned>(bus), adapter);
    }
    int lookup(const std::string& name, std::string& messages) {
        ::testing::internal::CaptureStderr();
        const int bus = lookupI2cBusByName(kernel_, name);
        messages = ::testing::internal::GetCapturedStderr();
        return bus;
    }

    EmulatedKernel kernel_;
};

TEST_F(I2cAdapters, LegacyProcTableIsPreferred) {
    kernel_.addFile("/proc/bus/i2c",
                    "i2c-0\tsmbus     \tSMBus I801 adapter at 1880\tNon-I2C SMBus adapter  \n"
                    "i2c-7\ti2c\tcam_mux\tBit-shift algorithm\r\n"
                    "garbage without tabs\n"
                    "i2c-9\ti2c\tno algorithm field\n");
    mountSysfsAt("/sys");
    kernel_.addFile("/sys/class/i2c-dev/i2c-3/name", "cam_mux\n");  // not consulted
    const std::vector<I2cAdapter> adapters = gatherI2cAdapters(kernel_);
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[0].bus, 0);
    EXPECT_EQ(adapters[0].kind, "smbus     ");
    EXPECT_EQ(adapters[0].name, "SMBus I801 adapter at 1880");
    EXPECT_EQ(adapters[0].description, "Non-I2C SMBus adapter");
    EXPECT_EQ(adapters[1].description, "Bit-shift algorithm");
    std::string messages;
    EXPECT_EQ(lookup("cam_mux", messages), 7);
    EXPECT_EQ(messages, "");
}

// Without /proc/bus/i2c the adapters come from <sysfs>/class/i2c-dev, wherever sysfs is
// mounted; each name from the first readable of three places.
TEST_F(I2cAdapters, SysfsClassDirectoryWithItsNameFallbacksAndKinds) {
    mountSysfsAt("/mnt/sys");
    const std::string dir = "/mnt/sys/class/i2c-dev";
    kernel_.addFile(dir + "/i2c-1/name", "plain adapter\n");
    addAdapter(1, I2C_FUNC_I2C);
    kernel_.addFile(dir + "/i2c-2/device/name", "smbus only\n");
    addAdapter(2, I2C_FUNC_SMBUS_BYTE_DATA);
    kernel_.addDirectory(dir + "/i2c-3/device/power");
    kernel_.addFile(dir + "/i2c-3/device/i2c-3/name", "nested name\n");
    addAdapter(3, 0);
    kernel_.addFile(dir + "/i2c-4/name", "ISA main adapter\n");
    kernel_.addFile(dir + "/i2c-5/name", "no device node\n");
    kernel_.addFile(dir + "/i2c-6/name", "");  // unreadable: skipped with a message
    kernel_.addFile(dir + "/notanadapter/name", "stray\n");
    kernel_.addFile(dir + "/i2c-" + std::string(250, '8') + "/name", "path too long\n");

    ::testing::internal::CaptureStderr();
    const std::vector<I2cAdapter> adapters = gatherI2cAdapters(kernel_);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), dir + "/i2c-6/name: read error\n");
    ASSERT_EQ(adapters.size(), 5u);
    const struct {
        int bus;
        const char* name;
        const char* kind;
    } expected[] = {{1, "plain adapter", "i2c"}, {2, "smbus only", "smbus"}, {3, "nested name", "dummy"},
                    {4, "ISA main adapter", "isa"}, {5, "no device node", "unknown"}};
    for (size_t i = 0; i < adapters.size(); ++i) {
        EXPECT_EQ(adapters[i].bus, expected[i].bus);
        EXPECT_EQ(adapters[i].name, expected[i].name);
        EXPECT_EQ(adapters[i].kind, expected[i].kind);
    }
    EXPECT_EQ(kernel_.openDescriptors(), 0u) << "adapters opened to classify them are closed again";
}

TEST_F(I2cAdapters, LookupNeedsExactlyOneAdapterOfThatName) {
    mountSysfsAt("/sys");
    kernel_.addFile("/sys/class/i2c-dev/i2c-10/name", "cam_mux\n");
    kernel_.addFile("/sys/class/i2c-dev/i2c-11/name", "cam_mux 2\n");
    kernel_.addFile("/sys/class/i2c-dev/i2c-12/name", "twin\n");
    kernel_.addFile("/sys/class/i2c-dev/i2c-13/name", "twin\n");
    std::string messages;
    EXPECT_EQ(lookup("cam_mux", messages), 10) << "names are compared exactly";
    EXPECT_EQ(messages, "");
    EXPECT_LT(lookup("twin", messages), 0);
    EXPECT_EQ(messages, "Error: I2C bus name is not unique!\n");
    EXPECT_LT(lookup("cam", messages), 0);
    EXPECT_EQ(messages, "Error: I2C bus name doesn't match any bus present!\n");
}

TEST_F(I2cAdapters, NoSysfsMeansNoAdapters) {
    kernel_.addFile("/proc/mounts", "proc /proc proc rw 0 0\n");
    kernel_.addFile("/sys/class/i2c-dev/i2c-10/name", "cam_mux\n");
    std::string messages;
    EXPECT_LT(lookup("cam_mux", messages), 0);
    EXPECT_EQ(messages, "Error: I2C bus name doesn't match any bus present!\n");
}

TEST(I2cTextParsers, MountsAndProcLines) {
    EXPECT_EQ(sysfsMountPoint("none /sys sysfs rw 0 0\n"), "/sys");
    EXPECT_EQ(sysfsMountPoint("a b c\nsys /x/sys SYSFS rw 0 0\n"), "/x/sys");
    EXPECT_EQ(sysfsMountPoint("proc /proc proc rw 0 0\n"), std::nullopt);
    EXPECT_EQ(sysfsMountPoint(""), std::nullopt);
    EXPECT_FALSE(parseProcBusI2cLine("i2c-1\tname\talgo"));
    EXPECT_FALSE(parseProcBusI2cLine("bus-1\ti2c\tname\talgo"));
    EXPECT_FALSE(parseProcBusI2cLine("\t\t\t"));
    EXPECT_FALSE(parseProcBusI2cLine("i2c-99999999999\ti2c\tname\talgo")) << "beyond int";
    const std::optional<I2cAdapter> adapter = parseProcBusI2cLine("i2c-12\ti2c\t\talgo   ");
    ASSERT_TRUE(adapter);
    EXPECT_EQ(adapter->bus, 12);
    EXPECT_EQ(adapter->name, "");
    EXPECT_EQ(adapter->description, "algo");
}

}  // namespace
}  // namespace Korvane::i2c
