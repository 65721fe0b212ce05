#include "frame_queue.h"

#include <chrono>
#include <thread>

namespace Korvane {

FrameQueue::FrameQueue(FrameGeometry staging, FrameType type, FrameGeometry planes)
    : geometry_(planes), staging_(std::make_unique<CacheData>(staging)) {
    for (uint8_t i = 0; i < kPoolSize; ++i) {
        auto node = std::make_unique<LinkNode>();
        if (type == RAW) {
            node->buffer = std::make_unique<RawData>(planes);
        } else {
            node->buffer = std::make_unique<DepthData>(planes);
        }
        node->next = pool_.freeHead;
        pool_.freeHead = node.get();
        pool_.nodes.push_back(std::move(node));
    }
}

LinkNode* FrameQueue::takeForFilling() {
    {
        std::lock_guard<std::mutex> lock(pool_.mutex);
        if (LinkNode* node = pool_.freeHead) {
            pool_.freeHead = node->next;
            node->next = nullptr;
            node->owner = NodeOwner::Producer;
            return node;
        }
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFillWaitMs);
        if (!cond_.wait_until(lock, deadline, [this] { return readyCount_ > 0; })) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return nullptr;
        }
        --readyCount_;
    }
    LinkNode* node = popReadyHead(NodeOwner::Producer);
    if (node != nullptr) recycled_.fetch_add(1, std::memory_order_relaxed);
    return node;
}

void FrameQueue::publish(LinkNode* node) {
    {
        std::lock_guard<std::mutex> lock(pool_.mutex);
        node->next = nullptr;
        node->owner = NodeOwner::ReadyList;
        if (pool_.readyTail == nullptr) {
            pool_.readyHead = node;
        } else {
            pool_.readyTail->next = node;
        }
        pool_.readyTail = node;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (readyCount_ <= kReadyLimit) {
        ++readyCount_;
        cond_.notify_all();
    }
}

void FrameQueue::returnToFree(LinkNode* node) {
    std::lock_guard<std::mutex> lock(pool_.mutex);
    if (node->owner == NodeOwner::Producer) pushFree(node);
}

KorvaneFrameBuffer* FrameQueue::requestFrame(int16_t timeoutMs) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto ready = [this] { return readyCount_ > 0; };
        if (timeoutMs < 0) {
            cond_.wait(lock, ready);
        } else {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
            if (!cond_.wait_until(lock, deadline, ready)) return nullptr;
        }
        --readyCount_;
    }
    LinkNode* node = popReadyHead(NodeOwner::Caller);
    return node != nullptr ? node->buffer.get() : nullptr;
}

int FrameQueue::releaseFrame(KorvaneFrameBuffer* frame) {
    if (frame == nullptr) return -1;
    std::lock_guard<std::mutex> lock(pool_.mutex);
    for (const auto& node : pool_.nodes) {
        if (node->buffer.get() != frame) continue;
        if (node->owner != NodeOwner::Caller) return -1;  // never handed out, or released already
        pushFree(node.get());
        return 0;
    }
    return -1;
}

LinkNode* FrameQueue::popReadyHead(NodeOwner newOwner) {
    std::lock_guard<std::mutex> lock(pool_.mutex);
    LinkNode* node = pool_.readyHead;
    // Every ready count was preceded by an append, so the list is not empty here.
    if (node == nullptr) return nullptr;
    pool_.readyHead = node->next;
    if (pool_.readyHead == nullptr) pool_.readyTail = nullptr;
    node->next = nullptr;
    node->owner = newOwner;
    return node;
}

void FrameQueue::pushFree(LinkNode* node) {
    node->owner = NodeOwner::FreeList;
    node->next = pool_.freeHead;
    pool_.freeHead = node;
}

}  // namespace Korvane
