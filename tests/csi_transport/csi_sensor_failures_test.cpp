// Every step of open, start, stop and getFrame failing in the emulated kernel: the result
// code, the message on standard error, and that nothing is left half-acquired.
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <linux/media.h>
#include <linux/v4l2-subdev.h>
#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

#include "csi_rig.h"

namespace Korvane::testing {
namespace {

using emulation::Call;
using emulation::kVideoNode;

struct FailureCase {
    const char* what;
    BoardFamily family;
    std::function<void(EmulatedBoard&)> inject;
    int expected;
    std::string message;  // standard error, exactly
    BoardOptions options = {};
};

BoardOptions adapterNamed(const char* name) {
    BoardOptions options;
    options.adapterName = name;
    return options;
}

BoardOptions withoutStreaming() {
    BoardOptions options;
    options.streamingCapability = false;
    return options;
}

const std::string kNoBus = "Error: I2C bus name doesn't match any bus present!\n";

TEST(CsiOpenFailures, EachStepReportsItsCodeAndMessage) {
    const auto none = [](EmulatedBoard&) {};
    const FailureCase cases[] = {
        {"capture node cannot be opened", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().fail(Call::Open, kVideoNode, ENOENT); }, -2, ""},
        // Reported and refused instead of ending the process.
        {"capabilities cannot be queried", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().failIoctl(VIDIOC_QUERYCAP, EIO); }, -2, "VIDIOC_QUERYCAP: error - 5\n"},
        {"capture node cannot stream", BoardFamily::RaspberryPi, none, -2, "", withoutStreaming()},
        {"input 0 refused", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().failIoctl(VIDIOC_S_INPUT, EINVAL); }, -2, ""},
        {"device directory unreadable", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().fail(Call::ListDirectory, "/sys/dev/char/81:0/device", EACCES); }, -2,
         kNoBus},
        {"media device cannot be opened", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().fail(Call::Open, "/dev/media0", EACCES); }, -2, kNoBus},
        {"entities cannot be listed", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().failIoctl(MEDIA_IOC_ENUM_ENTITIES, EIO); }, -2, kNoBus},
        {"sensor's sysfs link unreadable", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().fail(Call::Readlink, "/sys/dev/char/81:1", ENOENT); }, -2, kNoBus},
        {"sensor sub-device cannot be opened", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().fail(Call::Open, "/dev/v4l-subdev0", EBUSY); }, -2, kNoBus},
        {"Pi 5 entity query fails", BoardFamily::RaspberryPi5,
         [](EmulatedBoard& b) { b.kernel().failIoctl(MEDIA_IOC_ENUM_ENTITIES, EIO); }, -2,
         "Query entity failed: Input/output error\n" + kNoBus},
        {"Pi 5 link refused", BoardFamily::RaspberryPi5,
         [](EmulatedBoard& b) { b.kernel().failIoctl(MEDIA_IOC_SETUP_LINK, EINVAL); }, -2, kNoBus},
        {"Jetson node cannot be examined", BoardFamily::JetsonXavier,
         [](EmulatedBoard& b) { b.kernel().fail(Call::Fstat, kVideoNode, EIO); }, -2, ""},
        {"Jetson node is no character device", BoardFamily::JetsonXavier,
         [](EmulatedBoard& b) { b.kernel().setCharacterDevice(kVideoNode, false); }, -2, ""},
        {"Jetson name file unreadable", BoardFamily::JetsonXavier,
         [](EmulatedBoard& b) { b.kernel().fail(Call::ReadFile, "/sys/dev/char/81:0/name", ENOENT); }, -2, ""},
        {"Jetson name of another sensor", BoardFamily::JetsonOrin,
         [](EmulatedBoard& b) { b.kernel().addFile("/sys/dev/char/81:0/name", "vi-output, imx219 30-0010\n"); }, -2,
         ""},
        {"bus number above 0xFFFFF", BoardFamily::RaspberryPi, none, -2, "Error: I2C bus out of range!\n",
         adapterNamed("1048576")},
        {"bus name shared by two adapters", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().addFile("/sys/class/i2c-dev/i2c-11/name", "cam_mux\n"); }, -2,
         "Error: I2C bus name is not unique!\n", adapterNamed("cam_mux")},
        {"I2C node missing", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().fail(Call::Open, "/dev/i2c-10", ENOENT); }, -2,
         "Error: Could not open file `/dev/i2c-10': No such file or directory\n"},
        {"I2C node not permitted", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().fail(Call::Open, "/dev/i2c-10", EACCES); }, -2,
         "Error: Could not open file `/dev/i2c-10': Permission denied\nRun as root?\n"},
        {"adapter functionality unreadable", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().failIoctl(I2C_FUNCS, EIO); }, -2,
         "Error: Could not get adapter functionality: Input/output error\n"},
        {"adapter without plain I2C transfers", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.cameraBus()->setFunctionality(I2C_FUNC_SMBUS_BYTE_DATA); }, -2,
         "Error: Adapter does not have I2C transfers capability\n"},
        {"sensor format unreadable", BoardFamily::RaspberryPi,
         [](EmulatedBoard& b) { b.kernel().failIoctl(VIDIOC_SUBDEV_G_FMT, EIO); }, -2, ""},
        {"capture format unreadable", BoardFamily::JetsonNano,
         [](EmulatedBoard& b) { b.kernel().failIoctl(VIDIOC_G_FMT, EIO); }, -2, ""},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        CsiRig rig(c.family, c.options);
        c.inject(rig.board);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(rig.sensor.open(rig.camera), c.expected);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.message);
        EXPECT_EQ(rig.board.kernel().openCount("/dev/media0"), 0) << "the media device never stays open";
        EXPECT_EQ(rig.sensor.close(), 0);
        EXPECT_EQ(rig.board.kernel().openDescriptors(), 0u);
    }
}

// A format that cannot be read still reports the bit depth and a size of zero, so the
// camera never works from a stale size.
TEST(CsiOpenFailures, UnreadableFormatReportsAnEmptyImage) {
    CsiRig rig(BoardFamily::RaspberryPi);
    rig.camera.setSensorFormat(640, 480, 8, 1);
    rig.board.kernel().failIoctl(VIDIOC_SUBDEV_G_FMT, EIO);
    EXPECT_EQ(rig.sensor.open(rig.camera), -2);
    const CameraInfo info = rig.camera.getCameraInfo();
    EXPECT_EQ(info.width, 0);
    EXPECT_EQ(info.height, 0);
    EXPECT_EQ(info.bit_width, 12);
    EXPECT_EQ(info.bpp, 2);
}

TEST(CsiStartFailures, EachStepFailsWithItsCodeAndLeavesTheDriverFreeForAnotherStart) {
    struct StartCase {
        const char* what;
        std::function<void(CsiRig&)> inject;
        int expected;
    };
    const StartCase cases[] = {
        {"format refused on trial", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_TRY_FMT, EINVAL); }, -1},
        {"format refused", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_S_FMT, EBUSY); }, -1},
        {"sensor format refused", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_SUBDEV_S_FMT, EIO); }, -1},
        {"read-back fails", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_SUBDEV_G_FMT, EIO); }, -1},
        {"sensor keeps another size", [](CsiRig& r) { r.sensor.setControl(FMT_WIDTH, 320); }, -1},
        {"buffers refused", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_REQBUFS, ENOMEM); }, -1},
        {"buffer query fails", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_QUERYBUF, EINVAL); }, -1},
        {"mapping fails", [](CsiRig& r) { r.board.kernel().fail(Call::Mmap, kVideoNode, ENOMEM); }, -1},
        {"queueing fails", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_QBUF, EIO); }, -1},
        {"stream refused", [](CsiRig& r) { r.board.kernel().failIoctl(VIDIOC_STREAMON, EPIPE); }, -2},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        CsiRig rig(BoardFamily::RaspberryPi);
        ASSERT_EQ(rig.sensor.open(rig.camera), 0);
        c.inject(rig);
        EXPECT_EQ(rig.sensor.start(), c.expected);
        EXPECT_FALSE(rig.board.video().isStreaming());
        EXPECT_EQ(rig.board.kernel().liveMappings(), 0u);
        EXPECT_EQ(rig.board.video().bufferCount(), 0u) << "buffers are given back";
        rig.sensor.setControl(FMT_WIDTH, 240);
        EXPECT_EQ(rig.sensor.start(), 0) << "a later start works";
    }
}

// A crop rectangle that cannot be read does not matter.
TEST(CsiStartFailures, UnreadableCropIsIgnored) {
    CsiRig rig(BoardFamily::RaspberryPi5);
    ASSERT_EQ(rig.sensor.open(rig.camera), 0);
    rig.board.kernel().failIoctl(VIDIOC_SUBDEV_G_SELECTION, EINVAL, -1);
    EXPECT_EQ(rig.sensor.start(), 0);
}

TEST(CsiStopFailures, StreamOffOrUnmapFailureReadsMinusTwo) {
    {
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.openAndStart();
        rig.board.kernel().failIoctl(VIDIOC_STREAMOFF, EIO);
        EXPECT_EQ(rig.sensor.stop(), -2);
    }
    {
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.openAndStart();
        rig.board.kernel().fail(Call::Munmap, "", EINVAL);
        EXPECT_EQ(rig.sensor.stop(), -2);
        EXPECT_FALSE(rig.board.video().isStreaming());
    }
}

TEST(CsiFrameFailures, DequeueAndRequeueFailuresAndUnknownBuffers) {
    {
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.openAndStart();
        rig.board.kernel().failIoctl(VIDIOC_DQBUF, EIO);
        EXPECT_EQ(rig.grab(), -2);
        EXPECT_EQ(rig.grab(), 0);
    }
    {
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.openAndStart();
        rig.board.video().reportIndexOnce(8);
        EXPECT_EQ(rig.grab(), 2) << "a buffer index beyond the mapped ones";
    }
    {
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.openAndStart();
        rig.board.kernel().failIoctl(VIDIOC_QBUF, EIO);
        EXPECT_EQ(rig.grab(), -2);
    }
}

}  // namespace
}  // namespace Korvane::testing
