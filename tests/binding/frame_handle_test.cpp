// Frames as Python holds them: a handle keeps its queue alive and guards its release.
// Run under AddressSanitizer, a handle that reached freed memory fails here.
#include "binding/frame_handle.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "camera_test_fixture.h"

namespace Korvane::testing {
namespace {

class FrameHandleTest : public CameraTest {
protected:
    // The next frame the fake sensor delivers, wrapped as the binding does.
    std::shared_ptr<FrameHandle> nextFrame() {
        sensor->grant(1);
        std::shared_ptr<FrameQueue> queue = camera->frameQueue();
        KorvaneFrameBuffer* buffer = queue->requestFrame(2000);
        return buffer != nullptr ? FrameHandle::wrap(queue, buffer) : nullptr;
    }
    static float numberOf(const FrameHandle& frame) {
        return static_cast<float*>(frame.readable().getData(DEPTH))[0];
    }
};

TEST_F(FrameHandleTest, WrapsEachBufferAsItsOwnKind) {
    openAndStart(RAW);
    std::shared_ptr<FrameHandle> raw = nextFrame();
    ASSERT_NE(raw, nullptr);
    EXPECT_NE(dynamic_cast<RawFrameHandle*>(raw.get()), nullptr);
    ASSERT_EQ(camera->stop(), 0);
    ASSERT_EQ(camera->start(DEPTH), 0);
    std::shared_ptr<FrameHandle> depth = nextFrame();
    ASSERT_NE(depth, nullptr);
    EXPECT_NE(dynamic_cast<DepthFrameHandle*>(depth.get()), nullptr);
    EXPECT_EQ(camera->stop(), 0);
}

// A second release of a frame whose buffer went out again in a newer handle must not
// take that newer frame away from its holder. The producer's steps run on this thread, so
// which buffer is handed out next does not depend on scheduling.
TEST_F(FrameHandleTest, SecondReleaseIsRefusedEvenWhenTheBufferIsOutAgain) {
    ASSERT_EQ(camera->open(CSI, 0), 0);
    ASSERT_EQ(camera->setOutputType(DEPTH), 0);
    std::shared_ptr<FrameQueue> queue = camera->frameQueue();
    auto produceAndRequest = [&] {
        LinkNode* node = queue->takeForFilling();
        EXPECT_NE(node, nullptr);
        queue->publish(node);
        return FrameHandle::wrap(queue, queue->requestFrame(0));
    };

    std::shared_ptr<FrameHandle> first = produceAndRequest();
    KorvaneFrameBuffer* buffer = &first->readable();
    ASSERT_EQ(first->releaseTo(*camera), 0);
    std::shared_ptr<FrameHandle> reissued = produceAndRequest();
    ASSERT_EQ(&reissued->readable(), buffer) << "the released buffer is the next one filled";

    EXPECT_EQ(first->releaseTo(*camera), -1);
    EXPECT_EQ(reissued->releaseTo(*camera), 0) << "the newer holder still owned its frame";
}

// Reading a released frame would race with the capture thread refilling its buffer.
TEST_F(FrameHandleTest, ReleasedFrameRefusesReads) {
    openAndStart();
    std::shared_ptr<FrameHandle> frame = nextFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->releaseTo(*camera), 0);
    EXPECT_TRUE(frame->released());
    EXPECT_THROW(frame->readable(), std::runtime_error);
    EXPECT_EQ(camera->stop(), 0);
}

// After the next start replaced the queue, the old frame keeps its memory and its data;
// the camera refuses its release.
TEST_F(FrameHandleTest, FrameOfAReplacedQueueStaysReadable) {
    openAndStart();
    std::shared_ptr<FrameHandle> frame = nextFrame();
    ASSERT_NE(frame, nullptr);
    const float number = numberOf(*frame);
    ASSERT_EQ(camera->stop(), 0);
    ASSERT_EQ(camera->start(DEPTH), 0);
    sensor->grant(3);  // the new queue's buffers are filled meanwhile
    ASSERT_TRUE(sensor->drained());
    EXPECT_EQ(numberOf(*frame), number);
    EXPECT_EQ(frame->releaseTo(*camera), -1);
    EXPECT_FALSE(frame->released());
    EXPECT_EQ(camera->stop(), 0);
}

TEST_F(FrameHandleTest, FrameOutlivesCloseAndTheCamera) {
    openAndStart();
    std::shared_ptr<FrameHandle> frame = nextFrame();
    ASSERT_NE(frame, nullptr);
    const float number = numberOf(*frame);
    EXPECT_EQ(camera->close(), 0);
    EXPECT_EQ(numberOf(*frame), number);
    camera.reset();
    EXPECT_EQ(numberOf(*frame), number);
    FrameDataFormat format{};
    EXPECT_EQ(frame->readable().getFormat(DEPTH, &format), 0);
    EXPECT_EQ(format.width, sensor->width);
}

}  // namespace
}  // namespace Korvane::testing
