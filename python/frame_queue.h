// The fixed pool of frame buffers between the capture thread (one producer) and the
// callers (any number of consumers).
//
// Overflow policy: when no buffer is free, the producer takes back the oldest frame that
// was published but not yet requested, so a slow consumer never stalls the sensor; such
// frames are counted as recycled. When callers hold every buffer, the producer retries
// every 20 ms + 1 ms until one is released.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "frame_buffer.h"
#include "korvane_types.h"

namespace Korvane {

// Which side holds a node. Guards releaseFrame against double release and against
// buffers it never handed out.
enum class NodeOwner : uint8_t { FreeList, ReadyList, Producer, Caller };

struct LinkNode {
    LinkNode* next = nullptr;
    std::unique_ptr<KorvaneFrameBuffer> buffer;
    NodeOwner owner = NodeOwner::FreeList;
};

struct FramePool {
    LinkNode* freeHead = nullptr;
    LinkNode* readyHead = nullptr;  // oldest delivered frame
    LinkNode* readyTail = nullptr;
    std::vector<std::unique_ptr<LinkNode>> nodes;  // owns every node and its buffer
    std::mutex mutex;                              // guards the lists and node owners
};

class FrameQueue {
public:
    static constexpr uint8_t kPoolSize = 3;
    static constexpr int32_t kReadyLimit = 3;
    static constexpr int kFillWaitMs = 20;

    // staging: the capture geometry of one whole frame; type RAW or DEPTH selects the
    // buffer kind, planes its geometry.
    FrameQueue(FrameGeometry staging, FrameType type, FrameGeometry planes);
    FrameQueue(const FrameQueue&) = delete;
    FrameQueue& operator=(const FrameQueue&) = delete;

    FrameGeometry geometry() const { return geometry_; }
    CacheData& staging() { return *staging_; }

    // Producer side.
    // A free node, or else the oldest unrequested frame (recycled). Null when neither
    // appears within 20 ms; the call has then also slept 1 ms.
    LinkNode* takeForFilling();
    void publish(LinkNode* node);
    // Gives back a node the producer took but did not publish.
    void returnToFree(LinkNode* node);

    // Consumer side.
    // Oldest published frame; timeout in milliseconds, negative waits without limit.
    // Null on time-out.
    KorvaneFrameBuffer* requestFrame(int16_t timeoutMs);
    // 0, or -1 for a buffer that is not one of this queue's frames held by a caller.
    int releaseFrame(KorvaneFrameBuffer* frame);

    uint64_t recycledFrames() const { return recycled_.load(std::memory_order_relaxed); }

private:
    LinkNode* popReadyHead(NodeOwner newOwner);
    void pushFree(LinkNode* node);

    FrameGeometry geometry_;
    FramePool pool_;
    std::unique_ptr<CacheData> staging_;
    std::mutex mutex_;              // guards readyCount_
    std::condition_variable cond_;  // signalled on every publish
    int32_t readyCount_ = 0;
    std::atomic<uint64_t> recycled_{0};
};

}  // namespace Korvane
