#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>
#include <system_error>

#include "camera_test_fixture.h"

namespace Korvane::testing {
namespace {

struct ModelCase {
    int32_t width, height;
    DeviceType expected;
    int32_t imagesPerFrame;
};

void PrintTo(const ModelCase& c, std::ostream* os) { *os << c.width << "x" << c.height; }

class DeviceModelChoice : public CameraTest, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(DeviceModelChoice, FollowsTheSensorImageSize) {
    const ModelCase c = GetParam();
    sensor->width = c.width;
    sensor->height = c.height;
    ASSERT_EQ(camera->open(CSI, 3), 0);
    EXPECT_EQ(sensor->lastPath, "/dev/video3");
    EXPECT_EQ(device->type, c.expected);
    EXPECT_EQ(camera->getCameraInfo().device_type, c.expected);
    ASSERT_EQ(camera->start(DEPTH), 0);
    sensor->grant(1);
    ASSERT_TRUE(sensor->drained());
    EXPECT_EQ(camera->stop(), 0);
    // Read after the capture thread is joined: it records the count on every capture.
    EXPECT_EQ(sensor->imagesPerFrame, c.imagesPerFrame);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DeviceModelChoice,
                         ::testing::Values(ModelCase{240, 180, HQVGA, 4}, ModelCase{240, 181, VGA, 1},
                                           ModelCase{640, 480, VGA, 1}));

TEST_F(CameraTest, DeliversDepthAndRawFramesWithTimestamps) {
    openAndStart(DEPTH);
    sensor->grant(1);
    KorvaneFrameBuffer* frame = camera->requestFrame(2000);
    ASSERT_NE(frame, nullptr);
    FrameDataFormat format{};
    ASSERT_EQ(frame->getFormat(DEPTH, &format), 0);
    EXPECT_EQ(format.timestamp, 10u);
    EXPECT_EQ(static_cast<float*>(frame->getData(AMPLITUDE))[0], 1.0f);
    EXPECT_EQ(camera->releaseFrame(frame), 0);
    EXPECT_EQ(camera->stop(), 0);

    ASSERT_EQ(camera->start(RAW), 0);
    sensor->grant(1);
    frame = camera->requestFrame(2000);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getData(DEPTH), nullptr);
    EXPECT_EQ(static_cast<int16_t*>(frame->getData(RAW))[0], 2);
    EXPECT_EQ(camera->releaseFrame(frame), 0);
    EXPECT_EQ(camera->close(), 0);
    EXPECT_EQ(sensor->closes, 1);
    EXPECT_EQ(device->closes, 1);
}

TEST_F(CameraTest, FramesStayReadableAfterStopUntilTheNextStart) {
    openAndStart();
    sensor->grant(2);
    ASSERT_TRUE(sensor->drained());
    // The second frame may still be in analysis when the sensor is drained.
    KorvaneFrameBuffer* first = camera->requestFrame(2000);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(camera->stop(), 0);
    KorvaneFrameBuffer* second = camera->requestFrame(0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(static_cast<float*>(second->getData(DEPTH))[0], 2.0f);
    std::shared_ptr<FrameQueue> old = camera->frameQueue();

    ASSERT_EQ(camera->start(DEPTH), 0);
    EXPECT_NE(camera->frameQueue(), old);
    EXPECT_EQ(camera->releaseFrame(first), -1) << "a frame of the replaced queue";
    EXPECT_EQ(static_cast<float*>(second->getData(DEPTH))[0], 2.0f) << "kept alive by the old queue's holder";
    EXPECT_EQ(camera->stop(), 0);
}

TEST_F(CameraTest, FailedCapturesAndFailedAnalysisDeliverNothing) {
    openAndStart();
    sensor->frameResult = -2;  // a failed dequeue leaves stale staging content
    sensor->grant(2);
    ASSERT_TRUE(sensor->drained());
    EXPECT_EQ(camera->requestFrame(50), nullptr);
    sensor->frameResult = 0;
    device->phaseResult = 0;
    sensor->grant(1);
    ASSERT_TRUE(sensor->drained());
    EXPECT_EQ(camera->requestFrame(50), nullptr);
    device->phaseResult = 1;
    sensor->grant(1);
    KorvaneFrameBuffer* frame = camera->requestFrame(2000);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(static_cast<float*>(frame->getData(DEPTH))[0], 4.0f);
    EXPECT_GE(camera->statistics().failed, 3u);
    EXPECT_EQ(camera->statistics().delivered, 1u);
    EXPECT_EQ(camera->stop(), 0);
}

TEST_F(CameraTest, StartTwiceRestartsAndDestroyWhileStreamingStopsFirst) {
    openAndStart();
    ASSERT_EQ(camera->start(DEPTH), 0);
    EXPECT_EQ(device->stops, 1);
    EXPECT_EQ(sensor->starts, 2);
    sensor->grant(1);
    EXPECT_NE(camera->requestFrame(2000), nullptr);
    camera.reset();  // must join the running capture thread
    EXPECT_EQ(device->stops, 2);
    EXPECT_EQ(sensor->stops, 2);
}

TEST_F(CameraTest, CallsBeforeOpenAndStartAreRefusedSafely) {
    EXPECT_EQ(camera->requestFrame(0), nullptr);
    EXPECT_EQ(camera->requestFrame(10), nullptr);
    DepthData stray({2, 2});
    EXPECT_EQ(camera->releaseFrame(&stray), -1);
    EXPECT_EQ(camera->start(DEPTH), KorvaneUnkownDevice);
    EXPECT_EQ(camera->setOutputType(DEPTH), KorvaneUnkownDevice);
    int value = 7;
    EXPECT_EQ(camera->getControl(RANGE, &value), KorvaneUnkownDevice);
    EXPECT_EQ(camera->setControl(FRAME_RATE, 5), KorvaneUnkownDevice);
    EXPECT_EQ(camera->close(), KorvaneUnkownDevice);
    EXPECT_THROW(camera->stop(), std::system_error);
    EXPECT_EQ(camera->openWithFile(nullptr, 0), -1);
    EXPECT_EQ(camera->open(static_cast<Connection>(5), 0), -1);
}

TEST_F(CameraTest, OpenFailuresAreReturnedAndLeaveNoStaleModel) {
    ASSERT_EQ(camera->open(CSI, 0), 0);
    sensor->openResult = -2;
    EXPECT_EQ(camera->openWithFile("camera.cfg", 1), -2);
    EXPECT_EQ(sensor->lastPath, "camera.cfg");
    EXPECT_EQ(camera->getCameraInfo().connect, USB);
    // The model bound to the destroyed transport is gone, so start cannot reach it.
    EXPECT_EQ(camera->start(DEPTH), KorvaneUnkownDevice);
}

TEST_F(CameraTest, StartRejectsOtherOutputTypesAndSetOutputTypeWhileStreaming) {
    ASSERT_EQ(camera->open(USB, 0), 0);
    EXPECT_EQ(camera->start(CACHE), -1);
    ASSERT_EQ(camera->start(DEPTH), 0);
    EXPECT_EQ(camera->setOutputType(RAW), -1);
    EXPECT_EQ(camera->stop(), 0);
}

// Several callers race the capture thread for 300 frames. A frame handed to two callers,
// a frame delivered out of order, or a lost buffer (capture stalling for good) fails it.
TEST_F(CameraTest, ConcurrentCallersGetEachFrameOnceInOrder) {
    openAndStart();
    constexpr int kFrames = 300;
    std::mutex seenMutex;
    std::vector<int> seen;
    std::atomic<bool> done{false};
    auto consumer = [&] {
        int last = 0;
        while (!done.load()) {
            KorvaneFrameBuffer* frame = camera->requestFrame(20);
            if (frame == nullptr) continue;
            const int number = static_cast<int>(static_cast<float*>(frame->getData(DEPTH))[0]);
            EXPECT_GT(number, last);
            last = number;
            {
                std::lock_guard<std::mutex> lock(seenMutex);
                seen.push_back(number);
            }
            EXPECT_EQ(camera->releaseFrame(frame), 0);
        }
    };
    std::vector<std::thread> consumers;
    for (int i = 0; i < 3; ++i) consumers.emplace_back(consumer);
    sensor->grant(kFrames);
    EXPECT_TRUE(sensor->drained(std::chrono::seconds(30)));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    done = true;
    for (auto& t : consumers) t.join();
    EXPECT_EQ(camera->stop(), 0);

    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()) << "a frame was delivered twice";
    const CaptureStatistics stats = camera->statistics();
    EXPECT_EQ(stats.delivered, static_cast<uint64_t>(kFrames));
    EXPECT_EQ(seen.size() + stats.recycled, static_cast<size_t>(kFrames)) << "every frame is read or counted as recycled";
}

TEST(CameraDefaults, FreshCameraHasNoDeviceAndIsNotStreaming) {
    KorvaneTOFCamera camera(makeDefaultComponentFactory(), "/nonexistent/model");
    EXPECT_EQ(camera.platform(), PLATFORM_UNKNOWN);
    EXPECT_EQ(camera.getCameraInfo().width, 0);
    EXPECT_FALSE(camera.isStreaming());
}

}  // namespace
}  // namespace Korvane::testing
