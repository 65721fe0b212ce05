// Capture rules: images of one frame come in one burst (the timestamp restart), buffer
// counts the driver may grant, buffers longer than an image, and the retry rule.
#include <linux/media.h>
#include <linux/v4l2-subdev.h>
#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "csi_rig.h"

namespace Korvane::testing {
namespace {

using emulation::TestPattern;

// Capture times in microseconds; captures beyond the list follow 40 ms apart.
BoardOptions capturedAt(std::vector<int64_t> times) {
    BoardOptions options;
    options.timestampUs = [times](uint64_t sequence) {
        if (sequence < times.size()) return times[sequence];
        return times.back() + static_cast<int64_t>(sequence - times.size() + 1) * 40'000;
    };
    return options;
}

// The Raspberry Pi keeps the pattern unchanged: image k of the frame must be capture first + k.
void expectImagesFrom(const CsiRig& rig, uint64_t first) {
    for (int image = 0; image < 4; ++image) {
        for (uint32_t y = 0; y < 180; y += 37) {
            for (uint32_t x = 0; x < 240; x += 13) {
                ASSERT_EQ(rig.at(image, x, y), TestPattern::sample(first + static_cast<uint64_t>(image), x, y))
                    << "image " << image << " should be capture " << first + static_cast<uint64_t>(image);
            }
        }
    }
}

TEST(CsiTimestampRestart, AGapOfMoreThan5msStartsTheFrameOverAtTheLaterImage) {
    const int64_t t = 50'000'000;
    CsiRig rig(BoardFamily::RaspberryPi, capturedAt({t, t + 1000, t + 11'000, t + 12'000, t + 13'000, t + 14'000}));
    rig.openAndStart(4);
    uint64_t timestamp = 0;
    ASSERT_EQ(rig.grab(&timestamp), 0);
    expectImagesFrom(rig, 2);
    EXPECT_EQ(timestamp, static_cast<uint64_t>(t + 14'000) / 1000);
}

TEST(CsiTimestampRestart, GapsAreMeasuredAcrossSecondBoundaries) {
    struct GapCase {
        const char* what;
        std::vector<int64_t> times;
        uint64_t firstImage;
    };
    const GapCase cases[] = {
        {"exactly 5 ms keeps the frame", {1'000'000, 1'005'000, 1'006'000, 1'007'000}, 0},
        {"5.001 ms restarts", {1'000'000, 1'005'001, 1'006'000, 1'007'000, 1'008'000}, 1},
        {"1 ms across a second keeps the frame", {10'999'500, 11'000'500, 11'001'500, 11'002'500}, 0},
        // Seconds 10.998 and 11.008 are 10 ms apart although the microseconds fell.
        {"10 ms across a second restarts", {10'998'000, 11'008'000, 11'009'000, 11'010'000, 11'011'000}, 1},
        {"1.6 s apart restarts", {10'500'000, 12'100'000, 12'101'000, 12'102'000, 12'103'000}, 1},
    };
    for (const GapCase& c : cases) {
        SCOPED_TRACE(c.what);
        CsiRig rig(BoardFamily::RaspberryPi, capturedAt(c.times));
        rig.openAndStart(4);
        uint64_t timestamp = 0;
        ASSERT_EQ(rig.grab(&timestamp), 0);
        expectImagesFrom(rig, c.firstImage);
        EXPECT_EQ(timestamp, static_cast<uint64_t>(c.times[c.firstImage + 3]) / 1000);
    }
}

// Images that never come in one burst must not keep the capture thread in getFrame for
// ever (it could not see a stop request): the frame is given up.
TEST(CsiTimestampRestart, AFrameThatNeverAssemblesIsGivenUp) {
    CsiRig rig(BoardFamily::RaspberryPi, capturedAt({1'000'000}));  // every capture 40 ms after the last
    rig.openAndStart(4);
    EXPECT_EQ(rig.grab(), 2);
    EXPECT_EQ(rig.board.video().queuedCount(), 8u) << "every buffer is back in the driver";
    EXPECT_LE(rig.board.video().captured(), 8u);
}

// Single images have nothing to line up.
TEST(CsiTimestampRestart, SingleImagesNeverRestart) {
    CsiRig rig(BoardFamily::RaspberryPi, capturedAt({1'000'000}));
    rig.openAndStart(1);
    uint64_t timestamp = 0;
    ASSERT_EQ(rig.grab(&timestamp), 0);
    ASSERT_EQ(rig.grab(&timestamp), 0);
    EXPECT_EQ(timestamp, 1'040u);
}

TEST(CsiBufferCounts, FewerThanEightGrantedBuffersAreAllUsed) {
    BoardOptions options;
    options.grantedBuffers = 4;
    CsiRig rig(BoardFamily::RaspberryPi, options);
    rig.openAndStart(4);
    EXPECT_EQ(rig.board.kernel().liveMappings(), 4u);
    for (uint64_t frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(rig.grab(), 0);
        expectImagesFrom(rig, frame * 4);
    }
}

TEST(CsiBufferCounts, MoreThanEightGrantedBuffersMapOnlyEight) {
    BoardOptions options;
    options.grantedBuffers = 12;
    CsiRig rig(BoardFamily::RaspberryPi, options);
    rig.openAndStart(4);
    EXPECT_EQ(rig.board.video().bufferCount(), 12u);
    EXPECT_EQ(rig.board.kernel().liveMappings(), 8u);
    EXPECT_EQ(rig.board.video().queuedCount(), 8u);
    ASSERT_EQ(rig.grab(), 0);
    expectImagesFrom(rig, 0);
}

TEST(CsiBufferCounts, OneGrantedBufferFailsStart) {
    BoardOptions options;
    options.grantedBuffers = 1;
    CsiRig rig(BoardFamily::RaspberryPi, options);
    ASSERT_EQ(rig.sensor.open(rig.camera), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(rig.sensor.start(), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Error: the driver granted 1 capture buffers, at least 2 are needed\n");
    EXPECT_FALSE(rig.board.video().isStreaming());
}

// Buffers longer than one image (driver padding) are cut at the end of the image's slot:
// the next image still starts at its own slot, and nothing is written past the staging
// buffer (the sanitizer build checks that).
TEST(CsiLongBuffers, PaddedBuffersKeepEachImageInItsSlot) {
    BoardOptions options;
    options.paddingBytes = 4096;
    CsiRig rig(BoardFamily::JetsonNano, options);
    rig.openAndStart(4);
    ASSERT_EQ(rig.grab(), 0);
    expectImagesFrom(rig, 0);
}

// A driver reporting more bytes than the mapping holds is read only as far as the mapping.
TEST(CsiLongBuffers, ReportedLengthBeyondTheMappingIsNotRead) {
    CsiRig rig(BoardFamily::RaspberryPi);
    rig.openAndStart(4);
    rig.board.video().overstateLength(8192);
    ASSERT_EQ(rig.grab(), 0);
    expectImagesFrom(rig, 0);
}

// V4L2 and media calls are tried up to five times while they fail with EINTR, EAGAIN or
// ETIMEDOUT; any other error is final at once.
TEST(CsiRetryRule, DequeueIsRetriedOnlyForTransientErrorsAndAtMostFiveTimes) {
    struct RetryCase {
        int error;
        int failures;
        int expected;
        int calls;
    };
    const RetryCase cases[] = {
        {EINTR, 4, 0, 5},  {EAGAIN, 4, 0, 5},  {ETIMEDOUT, 4, 0, 5},
        {EINTR, 5, -2, 5}, {EAGAIN, 5, -2, 5}, {ETIMEDOUT, 5, -2, 5},
        {EIO, 1, -2, 1},   {ENODEV, 1, -2, 1},
    };
    for (const RetryCase& c : cases) {
        SCOPED_TRACE(std::string(strerrorname_np(c.error)) + " x" + std::to_string(c.failures));
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.openAndStart(1);
        rig.board.kernel().failIoctl(VIDIOC_DQBUF, c.error, c.failures);
        EXPECT_EQ(rig.grab(), c.expected);
        EXPECT_EQ(rig.board.kernel().ioctlCount(VIDIOC_DQBUF), c.calls);
    }
}

TEST(CsiRetryRule, OpenRetriesCapabilityAndMediaQueries) {
    {
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.board.kernel().failIoctl(VIDIOC_QUERYCAP, ETIMEDOUT, 4);
        rig.board.kernel().failIoctl(MEDIA_IOC_ENUM_ENTITIES, EINTR, 4);
        rig.board.kernel().failIoctl(VIDIOC_SUBDEV_G_FMT, EAGAIN, 4);
        EXPECT_EQ(rig.sensor.open(rig.camera), 0);
        EXPECT_EQ(rig.board.kernel().ioctlCount(VIDIOC_QUERYCAP), 5);
    }
    {
        CsiRig rig(BoardFamily::RaspberryPi);
        rig.board.kernel().failIoctl(VIDIOC_QUERYCAP, EINTR, 5);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(rig.sensor.open(rig.camera), -2);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "VIDIOC_QUERYCAP: error - 4\n");
        EXPECT_EQ(rig.board.kernel().ioctlCount(VIDIOC_QUERYCAP), 5);
    }
}

}  // namespace
}  // namespace Korvane::testing
