// The real system-call layer with a root prefix over a directory tree standing in for a
// board's /sys, /proc and /dev.
#include "transport/system/system_calls.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform.h"
#include "transport/system/ioctl.h"
#include "transport/system/mapped_memory.h"
#include "transport/system/unique_fd.h"

namespace Korvane::sys {
namespace {

namespace fs = std::filesystem;

class RootedSystemCalls : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/korvane-root-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        write("sys/firmware/devicetree/base/model", std::string("Raspberry Pi 5 Model B Rev 1.0\0", 31));
        write("proc/mounts", "sysfs /sys sysfs rw 0 0\nproc /proc proc rw 0 0\n");
        write("sys/class/i2c-dev/i2c-4/name", "rp1 i2c\n");
        write("sys/class/i2c-dev/i2c-1/name", "");
        write("dev/fake-node", std::string(8192, 'k'));
        fs::create_directories(root_ / "sys/dev/char");
        fs::create_symlink("../../devices/camera/video4linux/v4l-subdev3", root_ / "sys/dev/char/81:3");
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const std::string& relative, const std::string& content) {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << content;
    }

    fs::path root_;
};

TEST_F(RootedSystemCalls, SysProcAndDevPathsAreReadBelowTheRoot) {
    RealSystemCalls real(root_.string());
    std::string line;
    ASSERT_EQ(readFirstLine(real, "/sys/firmware/devicetree/base/model", 99, line), 0);
    EXPECT_EQ(line, "Raspberry Pi 5 Model B Rev 1.0") << "cut at the device tree's NUL";
    ASSERT_EQ(readFirstLine(real, "/proc/mounts", 10, line), 0);
    EXPECT_EQ(line, "sysfs /sys");

    std::vector<std::string> names;
    ASSERT_EQ(real.listDirectory("/sys/class/i2c-dev", names), 0);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"i2c-1", "i2c-4"})) << "without . and ..";

    std::string target;
    ASSERT_EQ(real.readlink("/sys/dev/char/81:3", target), 0);
    EXPECT_EQ(target, "../../devices/camera/video4linux/v4l-subdev3");

    EXPECT_EQ(readFirstLine(real, "/sys/class/i2c-dev/i2c-1/name", 120, line), -1);
    EXPECT_EQ(errno, ENODATA) << "an empty file has no first line";
    EXPECT_EQ(real.readFile("/sys/nothing", line), -1);
    EXPECT_EQ(errno, ENOENT);
}

// Only whole leading components count: "/system" or "/tmp" are not prefixed.
TEST_F(RootedSystemCalls, OtherPathsAreLeftAlone) {
    RealSystemCalls real(root_.string());
    EXPECT_EQ(real.resolve("/sys"), root_.string() + "/sys");
    EXPECT_EQ(real.resolve("/dev/video0"), root_.string() + "/dev/video0");
    EXPECT_EQ(real.resolve("/system/x"), "/system/x");
    EXPECT_EQ(real.resolve("/tmp/x"), "/tmp/x");
    EXPECT_EQ(RealSystemCalls().resolve("/sys/x"), "/sys/x");
}

TEST_F(RootedSystemCalls, DescriptorsAndMappingsAreOwnedAndReleased) {
    RealSystemCalls real(root_.string());
    UniqueFd fd(real, real.open("/dev/fake-node", O_RDWR));
    ASSERT_TRUE(fd.isValid());
    struct stat status{};
    ASSERT_EQ(real.fstat(fd.get(), &status), 0);
    EXPECT_EQ(status.st_size, 8192);
    {
        MappedMemory mapping(real, fd.get(), 4096, 4096);
        ASSERT_TRUE(mapping.isValid());
        EXPECT_EQ(mapping.data()[4095], 'k');
        EXPECT_EQ(mapping.unmap(), 0);
        EXPECT_EQ(mapping.unmap(), 0) << "a second unmap does nothing";
    }
    MappedMemory beyond(real, fd.get(), 4096, 3);  // unaligned offset
    EXPECT_FALSE(beyond.isValid());

    // A regular file knows no ioctl: the error comes back at once, without retries.
    EXPECT_EQ(callIoctl(real, fd.get(), 0x80045601 /* arbitrary */, nullptr, 5), -ENOTTY);

    const int raw = fd.get();
    UniqueFd moved(std::move(fd));
    EXPECT_FALSE(fd.isValid());
    EXPECT_EQ(moved.get(), raw);
    moved.reset();
    EXPECT_EQ(::fcntl(raw, F_GETFD), -1) << "the descriptor was closed";
}

TEST_F(RootedSystemCalls, BoardDetectionReadsTheModelThroughTheInstalledLayer) {
    RealSystemCalls real(root_.string());
    ScopedSystemCalls use(real);
    EXPECT_EQ(detectPlatform(), PLATFORM_RASPBERRY_PI5);
    EXPECT_EQ(&systemCalls(), &real);
}

TEST(SystemCallsDefault, IsTheRunningKernelAgainOnceTheOverrideEnds) {
    SystemCalls* before = &systemCalls();
    {
        RealSystemCalls other("/nonexistent");
        ScopedSystemCalls use(other);
        EXPECT_EQ(&systemCalls(), &other);
    }
    EXPECT_EQ(&systemCalls(), before);
    EXPECT_NE(dynamic_cast<RealSystemCalls*>(before), nullptr);
}

}  // namespace
}  // namespace Korvane::sys
