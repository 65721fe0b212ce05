#include "frame_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace Korvane {
namespace {

using Clock = std::chrono::steady_clock;

// Depth queue of 4 x 2 planes; each published frame carries its number in depth[0].
class FrameQueueTest : public ::testing::Test {
protected:
    FrameQueue queue{{4, 2}, DEPTH, {4, 2}};

    LinkNode* publishFrame(float number) {
        LinkNode* node = queue.takeForFilling();
        if (node == nullptr) return nullptr;
        static_cast<float*>(node->buffer->getData(DEPTH))[0] = number;
        queue.publish(node);
        return node;
    }
    static float numberOf(KorvaneFrameBuffer* frame) { return static_cast<float*>(frame->getData(DEPTH))[0]; }
};

TEST_F(FrameQueueTest, RequestWithZeroTimeoutReturnsAtOnceWhenNothingIsReady) {
    const auto begin = Clock::now();
    EXPECT_EQ(queue.requestFrame(0), nullptr);
    EXPECT_LT(Clock::now() - begin, std::chrono::milliseconds(15));
}

TEST_F(FrameQueueTest, RequestWithTimeoutGivesUpAfterTheTimeout) {
    const auto begin = Clock::now();
    EXPECT_EQ(queue.requestFrame(50), nullptr);
    EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(50));
}

TEST_F(FrameQueueTest, NegativeTimeoutWaitsUntilAFrameIsPublished) {
    auto waiter = std::async(std::launch::async, [this] { return queue.requestFrame(-1); });
    EXPECT_EQ(waiter.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    publishFrame(7);
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    KorvaneFrameBuffer* frame = waiter.get();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(numberOf(frame), 7);
}

TEST_F(FrameQueueTest, DeliversOldestFirst) {
    publishFrame(1);
    publishFrame(2);
    KorvaneFrameBuffer* first = queue.requestFrame(0);
    KorvaneFrameBuffer* second = queue.requestFrame(0);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(numberOf(first), 1);
    EXPECT_EQ(numberOf(second), 2);
}

TEST_F(FrameQueueTest, FullPoolRecyclesTheOldestUnreadFrame) {
    publishFrame(1);
    publishFrame(2);
    publishFrame(3);
    // No free buffer: the producer takes frame 1 back instead of stalling.
    ASSERT_NE(publishFrame(4), nullptr);
    EXPECT_EQ(queue.recycledFrames(), 1u);
    KorvaneFrameBuffer* frame = queue.requestFrame(0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(numberOf(frame), 2);
}

TEST_F(FrameQueueTest, ProducerGetsNothingWhileCallersHoldEveryBuffer) {
    for (int i = 1; i <= 3; ++i) publishFrame(static_cast<float>(i));
    KorvaneFrameBuffer* held[3];
    for (auto& frame : held) frame = queue.requestFrame(0);
    const auto begin = Clock::now();
    EXPECT_EQ(queue.takeForFilling(), nullptr);
    EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(20));
    // Releasing one lets the producer continue.
    EXPECT_EQ(queue.releaseFrame(held[1]), 0);
    EXPECT_NE(queue.takeForFilling(), nullptr);
}

TEST_F(FrameQueueTest, ReleaseRefusesBuffersNotHeldByACaller) {
    publishFrame(1);
    LinkNode* unread = publishFrame(2);
    ASSERT_NE(unread, nullptr);
    DepthData foreign({4, 2});
    FrameQueue other({4, 2}, DEPTH, {4, 2});

    KorvaneFrameBuffer* frame = queue.requestFrame(0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(queue.releaseFrame(&foreign), -1);
    EXPECT_EQ(queue.releaseFrame(nullptr), -1);
    EXPECT_EQ(other.releaseFrame(frame), -1) << "a frame of another (replaced) queue";
    // Published but not requested: releasing it would put a ready node on the free list.
    EXPECT_EQ(queue.releaseFrame(unread->buffer.get()), -1);
    LinkNode* filling = queue.takeForFilling();
    ASSERT_NE(filling, nullptr);
    EXPECT_EQ(queue.releaseFrame(filling->buffer.get()), -1) << "a buffer the producer is filling";
    queue.returnToFree(filling);

    EXPECT_EQ(queue.releaseFrame(frame), 0);
    EXPECT_EQ(queue.releaseFrame(frame), -1) << "a second release would link the node into the free list twice";

    // The pool is intact: frame 2 is still delivered, and all three buffers cycle.
    KorvaneFrameBuffer* second = queue.requestFrame(0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(numberOf(second), 2);
    EXPECT_EQ(queue.releaseFrame(second), 0);
    for (int i = 0; i < 3; ++i) ASSERT_NE(queue.takeForFilling(), nullptr);
    EXPECT_EQ(queue.takeForFilling(), nullptr);
}

TEST(FrameBuffers, PlanesAndFormatsByType) {
    DepthData depth({6, 3});
    EXPECT_EQ(depth.getData(RAW), nullptr);
    FrameDataFormat format{};
    EXPECT_EQ(depth.getFormat(RAW, &format), -1);
    ASSERT_NE(depth.getData(AMPLITUDE), nullptr);
    EXPECT_NE(depth.getData(AMPLITUDE), depth.getData(CONFIDENCE));
    EXPECT_NE(depth.getData(DEPTH), depth.getData(CONFIDENCE));
    depth.setTimestamp(1234);
    ASSERT_EQ(depth.getFormat(DEPTH, &format), 0);
    EXPECT_EQ(format.type, DEPTH);
    EXPECT_EQ(format.timestamp, 1234u);
    ASSERT_EQ(depth.getFormat(AMPLITUDE, &format), 0);
    EXPECT_EQ(format.type, CONFIDENCE);
    EXPECT_EQ(format.timestamp, 1234u);
    EXPECT_EQ(format.width, 6);
    EXPECT_EQ(format.height, 3);

    RawData raw({240, 720});
    EXPECT_EQ(raw.getData(DEPTH), nullptr);
    ASSERT_EQ(raw.getFormat(RAW, &format), 0);
    EXPECT_EQ(format.width, 240);
    EXPECT_EQ(format.height, 720);
    CacheData cache({240, 720});
    EXPECT_EQ(cache.sizeBytes(), 240u * 720u * 2u);
    EXPECT_EQ(cache.getFormat(DEPTH, &format), -1);
}

}  // namespace
}  // namespace Korvane
