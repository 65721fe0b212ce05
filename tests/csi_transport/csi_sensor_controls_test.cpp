// Controls and the module's microcontroller: the I2C transfers byte for byte, the V4L2
// controls of the sensor sub-device, and their failures.
#include <linux/i2c-dev.h>
#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "csi_rig.h"

namespace Korvane::testing {
namespace {

using Events = std::vector<std::string>;

class CsiControls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(rig.sensor.open(rig.camera), 0);
        rig.board.kernel().trace().clear();
    }
    Events trace() { return rig.board.kernel().trace().events(); }

    CsiRig rig{BoardFamily::RaspberryPi};
};

TEST_F(CsiControls, FrameRateIsOneWriteOfRegister0633MostSignificantFirst) {
    EXPECT_EQ(rig.sensor.setControl(FRAME_RATE, 30), 0);
    EXPECT_EQ(rig.sensor.setControl(FRAME_RATE, 0x01020304), 0);
    EXPECT_EQ(trace(), (Events{"i2c-10 @0c write 06 33 00 00 00 1e", "i2c-10 @0c write 06 33 01 02 03 04"}));
    EXPECT_EQ(rig.board.controller().frameRate(), 0x01020304);
    int value = 0;
    EXPECT_EQ(rig.sensor.getControl(FRAME_RATE, &value), 0);
    EXPECT_EQ(value, 0x01020304);
}

// A rate the module never received is not reported as the current one.
TEST_F(CsiControls, FailedFrameRateWriteKeepsTheLastAcceptedRate) {
    ASSERT_EQ(rig.sensor.setControl(FRAME_RATE, 25), 0);
    rig.board.cameraBus()->shortenTransfers(1);
    EXPECT_EQ(rig.sensor.setControl(FRAME_RATE, 10), -2);
    rig.board.kernel().failIoctl(I2C_RDWR, ENXIO);
    EXPECT_EQ(rig.sensor.setControl(FRAME_RATE, 12), -2);
    int value = 0;
    EXPECT_EQ(rig.sensor.getControl(FRAME_RATE, &value), 0);
    EXPECT_EQ(value, 25);
    EXPECT_EQ(rig.board.controller().frameRate(), 25);
}

TEST_F(CsiControls, EepromBlockIsRequestedThenReadBackAfter100ms) {
    std::vector<uint8_t> block(512, 0);
    ASSERT_EQ(rig.sensor.readEeprom(0x3C50, block.data()), 0);
    EXPECT_EQ(trace(), (Events{"i2c-10 @0c write 06 31 3c 50 02 00", "sleep 100000us", "i2c-10 @0c write 06 32",
                               "i2c-10 @0c read 512"}));
    const std::vector<uint8_t>& eeprom = rig.board.controller().eeprom();
    EXPECT_EQ(block, std::vector<uint8_t>(eeprom.begin() + 0x3C50, eeprom.begin() + 0x3C50 + 512));
}

TEST_F(CsiControls, FailedOrShortEepromTransfersReadMinusTwo) {
    std::vector<uint8_t> block(512, 0);
    rig.board.cameraBus()->shortenTransfers(1);  // the request
    EXPECT_EQ(rig.sensor.readEeprom(80, block.data()), -2);
    EXPECT_EQ(trace(), Events{}) << "no pause and no read-back after a failed request";

    rig.board.cameraBus()->shortenTransfers(1, 1);  // the read-back
    EXPECT_EQ(rig.sensor.readEeprom(80, block.data()), -2);

    rig.board.kernel().failIoctl(I2C_RDWR, EREMOTEIO);
    EXPECT_EQ(rig.sensor.readEeprom(80, block.data()), -2);
    EXPECT_EQ(block, std::vector<uint8_t>(512, 0));
}

// RANGE reaches the driver's modulation control: 2 or 4 as (value / 2) mod 2, and the
// millimetre ranges 2000 (75 MHz, value 1) and 4000 (37.5 MHz, value 0).
TEST_F(CsiControls, RangeSetsTheModulationControl) {
    struct RangeCase {
        int range;
        int result;
        int32_t control;  // afterwards
        int reported;     // getControl(RANGE)
    };
    const RangeCase cases[] = {{2, 0, 1, 2}, {4, 0, 0, 4}, {2000, 0, 1, 2}, {4000, 0, 0, 4}, {3, 1, 0, 4}};
    for (const RangeCase& c : cases) {
        SCOPED_TRACE("range " + std::to_string(c.range));
        EXPECT_EQ(rig.sensor.setControl(RANGE, c.range), c.result);
        EXPECT_EQ(rig.board.sensor()->control(emulation::kRangeControlId), c.control);
        int value = 0;
        EXPECT_EQ(rig.sensor.getControl(RANGE, &value), 0);
        EXPECT_EQ(value, c.reported);
    }
}

TEST_F(CsiControls, ExposureIsTheSensorsV4l2Control) {
    int value = 0;
    EXPECT_EQ(rig.sensor.getControl(EXPOSURE, &value), 0);
    EXPECT_EQ(value, emulation::kExposureDefault);
    EXPECT_EQ(rig.sensor.setControl(EXPOSURE, 800), 0);
    EXPECT_EQ(rig.board.sensor()->control(V4L2_CID_EXPOSURE), 800);
    EXPECT_EQ(rig.sensor.getControl(EXPOSURE, &value), 0);
    EXPECT_EQ(value, 800);
}

TEST_F(CsiControls, CaptureSizeAndUnhandledControls) {
    EXPECT_EQ(rig.sensor.setControl(FMT_WIDTH, 320), 0);
    EXPECT_EQ(rig.sensor.setControl(FMT_HEIGHT, 241), 0);
    int value = 0;
    EXPECT_EQ(rig.sensor.getControl(FMT_WIDTH, &value), 0);
    EXPECT_EQ(value, 320);
    EXPECT_EQ(rig.sensor.getControl(FMT_HEIGHT, &value), 0);
    EXPECT_EQ(value, 241);
    EXPECT_EQ(rig.sensor.getCameraInfo().width, 320);
    for (CameraCtrl ctrl : {MODE, FRAME_MODE, SKIP_FRAME, SKIP_FRAME_LOOP, CONFIG_DIR_EXT}) {
        EXPECT_EQ(rig.sensor.setControl(ctrl, 1), 1) << ctrl;
        EXPECT_EQ(rig.sensor.getControl(ctrl, &value), 1) << ctrl;
    }
    EXPECT_EQ(trace(), Events{}) << "none of these touches the bus";
}

TEST_F(CsiControls, FailedControlCallsPrintTheirNameAndReadMinusOne) {
    int value = 0;
    rig.board.kernel().failIoctl(VIDIOC_G_CTRL, EIO);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(rig.sensor.getControl(EXPOSURE, &value), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "VIDIOC_G_CTRL: Input/output error\n");

    rig.board.kernel().failIoctl(VIDIOC_S_CTRL, ERANGE);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(rig.sensor.setControl(EXPOSURE, 1 << 30), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "VIDIOC_S_CTRL: Numerical result out of range\n");
}

// Jetson boards have no sensor sub-device to carry V4L2 controls.
TEST(CsiControlsWithoutSubdevice, ReadMinusOneWithTheirName) {
    CsiRig rig(BoardFamily::JetsonXavier);
    ASSERT_EQ(rig.sensor.open(rig.camera), 0);
    int value = 0;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(rig.sensor.getControl(EXPOSURE, &value), -1);
    EXPECT_EQ(rig.sensor.setControl(RANGE, 4000), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "VIDIOC_G_CTRL: No such device\nVIDIOC_S_CTRL: No such device\n");
    EXPECT_EQ(rig.sensor.setControl(FRAME_RATE, 15), 0) << "the frame rate goes over I2C";
    EXPECT_EQ(rig.board.kernel().trace().events(), (Events{"i2c-30 @0c write 06 33 00 00 00 0f"}));
}

}  // namespace
}  // namespace Korvane::testing
