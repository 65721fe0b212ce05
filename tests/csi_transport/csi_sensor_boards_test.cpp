// The transport on every board family: discovery of sub-devices and I2C bus, format
// negotiation, streaming start and stop, and frames unpacked from each board's layout.
#include <linux/media-bus-format.h>
#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <string>

#include "csi_rig.h"
#include "platform.h"
#include "transport/csi/v4l2_compat.h"

namespace Korvane::testing {
namespace {

using emulation::TestPattern;

struct BoardCase {
    BoardFamily family;
    uint32_t pixelFormat;     // requested on the capture node
    size_t bufferBytes;       // one captured image as the board lays it out
    unsigned sampleShift;     // samples arrive shifted left by this
    bool pairedLines;
    size_t openNodes;         // capture node, I2C bus and the sub-devices worth keeping
};

void PrintTo(const BoardCase& c, std::ostream* os) { *os << emulation::to_str(c.family); }

// What the transport must deliver for sample (x, y) of capture `sequence`.
uint16_t expectedSample(const BoardCase& c, uint64_t sequence, uint32_t x, uint32_t y) {
    // The paired-line layout takes the last 16 samples of an even line from bytes 896-927
    // of its block, which hold the odd line's last 16 samples.
    if (c.pairedLines && y % 2 == 0 && x >= 224) ++y;
    return static_cast<uint16_t>(TestPattern::sample(sequence, x, y) << c.sampleShift);
}

class CsiBoards : public ::testing::TestWithParam<BoardCase> {};

TEST_P(CsiBoards, DetectsTheBoardFromItsModelString) {
    CsiRig rig(GetParam().family);
    EXPECT_EQ(detectPlatform(), rig.board.platform());
    EXPECT_EQ(rig.camera.platform(), rig.board.platform());
}

TEST_P(CsiBoards, OpenFindsSubdevicesAndBusAndReportsTheSensorFormat) {
    const BoardCase& c = GetParam();
    CsiRig rig(c.family);
    EmulatedBoard& board = rig.board;
    ASSERT_EQ(rig.sensor.open(rig.camera), 0);

    const CameraInfo info = rig.camera.getCameraInfo();
    EXPECT_EQ(info.width, 240);
    EXPECT_EQ(info.height, 180);
    EXPECT_EQ(info.bit_width, 12);
    EXPECT_EQ(info.bpp, 2);
    EXPECT_EQ(rig.sensor.getCameraInfo().width, 240);

    emulation::EmulatedKernel& kernel = board.kernel();
    EXPECT_EQ(kernel.openCount(emulation::kVideoNode), 1);
    EXPECT_EQ(kernel.openCount(board.busNode()), 1) << "the module's I2C bus stays open";
    EXPECT_EQ(kernel.openCount("/dev/i2c-1"), 0) << "no other adapter is opened";
    if (board.media() != nullptr) {
        EXPECT_EQ(kernel.openCount(board.sensorNode()), 1);
        if (board.bridge() != nullptr) {
            EXPECT_EQ(kernel.openCount(board.bridgeNode()), 1);
        }
        EXPECT_EQ(kernel.totalOpens("/dev/media0"), 1);
        EXPECT_EQ(kernel.openCount("/dev/media0"), 0) << "the media device is closed after discovery";
    } else {
        EXPECT_EQ(kernel.totalOpens("/dev/media0"), 0);
    }
    EXPECT_EQ(kernel.openDescriptors(), c.openNodes) << "only the receiver and the sensor sub-devices are kept";
    if (c.family == BoardFamily::RaspberryPi5) {
        EXPECT_TRUE(board.media()->linkEnabled("csi2", 4, "rp1-cfe-csi2_ch0", 0));
        EXPECT_FALSE(board.media()->linkEnabled("csi2", 5, "rp1-cfe-csi2_ch1", 0));
    }
    // Multi-planar capture nodes (ROCK) have no input to select.
    EXPECT_EQ(kernel.ioctlCount(VIDIOC_S_INPUT), c.family == BoardFamily::RadxaRock ? 0 : 1);
}

TEST_P(CsiBoards, StartNegotiatesTheFormatAndQueuesEightBuffers) {
    const BoardCase& c = GetParam();
    CsiRig rig(c.family);
    rig.openAndStart();
    emulation::EmulatedVideoDevice& video = rig.board.video();
    EXPECT_EQ(video.pixelFormat(), c.pixelFormat);
    EXPECT_TRUE(video.isStreaming());
    EXPECT_EQ(video.bufferCount(), 8u);
    EXPECT_EQ(video.queuedCount(), 8u);
    EXPECT_EQ(video.bufferBytes(), c.bufferBytes);
    EXPECT_EQ(rig.board.kernel().liveMappings(), 8u);
    for (emulation::EmulatedSubdevice* subdevice : {rig.board.sensor(), rig.board.bridge()}) {
        if (subdevice == nullptr) continue;
        EXPECT_EQ(subdevice->formatsSet(), 1);
        EXPECT_EQ(subdevice->activeFormat().width, 240u);
        EXPECT_EQ(subdevice->activeFormat().height, 180u);
        EXPECT_EQ(subdevice->activeFormat().code, static_cast<uint32_t>(MEDIA_BUS_FMT_Y12_1X12));
    }
}

TEST_P(CsiBoards, FramesOfFourImagesMatchThePatternInTheBoardsLayout) {
    const BoardCase& c = GetParam();
    CsiRig rig(c.family);
    rig.openAndStart(4);
    for (uint64_t frame = 0; frame < 2; ++frame) {
        uint64_t timestamp = 0;
        ASSERT_EQ(rig.grab(&timestamp), 0);
        // Bursts of four images 1 ms apart every 33.333 ms from 1000 s: the last image's time.
        EXPECT_EQ(timestamp, 1'000'000u + frame * 33 + 3);
        for (int image = 0; image < 4; ++image) {
            const uint64_t sequence = frame * 4 + static_cast<uint64_t>(image);
            for (uint32_t y = 0; y < 180; ++y) {
                for (uint32_t x = 0; x < 240; ++x) {
                    ASSERT_EQ(rig.at(image, x, y), expectedSample(c, sequence, x, y))
                        << "frame " << frame << " image " << image << " at (" << x << ", " << y << ")";
                }
            }
        }
    }
    EXPECT_EQ(rig.board.video().queuedCount(), 8u) << "every dequeued buffer is queued again";
}

TEST_P(CsiBoards, StopUnmapsEveryBufferAndCloseReleasesEveryDescriptor) {
    CsiRig rig(GetParam().family);
    rig.openAndStart();
    ASSERT_EQ(rig.grab(), 0);
    EXPECT_EQ(rig.sensor.stop(), 0);
    EXPECT_FALSE(rig.board.video().isStreaming());
    EXPECT_EQ(rig.board.kernel().liveMappings(), 0u);
    // A second session on the same open transport.
    ASSERT_EQ(rig.sensor.start(), 0);
    ASSERT_EQ(rig.grab(), 0);
    EXPECT_EQ(rig.sensor.stop(), 0);
    EXPECT_EQ(rig.sensor.close(), 0);
    EXPECT_EQ(rig.board.kernel().openDescriptors(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Families, CsiBoards,
    ::testing::Values(BoardCase{BoardFamily::RaspberryPi, V4L2_PIX_FMT_Y12, 92160, 0, false, 3},
                      BoardCase{BoardFamily::RaspberryPi5, V4L2_PIX_FMT_Y12P, 66240, 0, false, 4},
                      BoardCase{BoardFamily::RadxaRock, V4L2_PIX_FMT_Y12, 86400, 0, false, 4},
                      BoardCase{BoardFamily::JetsonNano, V4L2_PIX_FMT_Y12, 86400, 0, false, 2},
                      BoardCase{BoardFamily::JetsonXavier, V4L2_PIX_FMT_Y12, 86400, 4, true, 2},
                      BoardCase{BoardFamily::JetsonOrin, V4L2_PIX_FMT_Y12, 86400, 4, true, 2}),
    [](const ::testing::TestParamInfo<BoardCase>& info) { return std::string(emulation::to_str(info.param.family)); });

// A board the transport does not know offers no way to the module's I2C bus.
TEST(CsiUnknownBoard, OpenFailsForWantOfAnI2cBus) {
    CsiRig rig(BoardFamily::Unknown);
    EXPECT_EQ(rig.camera.platform(), PLATFORM_UNKNOWN);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(rig.sensor.open(rig.camera), -2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: I2C bus name doesn't match any bus present!\n");
}

// A sensor entity naming its bus "cam_mux-000c" is found through the adapter names.
TEST(CsiBusLookup, ANamedBusIsLookedUpAmongTheAdapters) {
    BoardOptions options;
    options.adapterName = "cam_mux";
    CsiRig rig(BoardFamily::RaspberryPi, options);
    ASSERT_EQ(rig.sensor.open(rig.camera), 0);
    EXPECT_EQ(rig.board.kernel().openCount("/dev/i2c-10"), 1);
}

}  // namespace
}  // namespace Korvane::testing
