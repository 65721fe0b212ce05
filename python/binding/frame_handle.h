// A frame handed to Python. It keeps the queue the frame came from alive, so the frame's
// memory survives the camera's next start (which replaces the queue), its close and its
// destruction. Once released, the buffer belongs to the capture thread again: the handle
// refuses reads and a second release instead of racing with the next capture.
#pragma once

#include <memory>

#include "frame_buffer.h"
#include "frame_queue.h"
#include "korvane_tof_camera.h"

namespace Korvane {

class FrameHandle {
public:
    // The handle of the buffer's own kind (RawFrameHandle or DepthFrameHandle).
    static std::shared_ptr<FrameHandle> wrap(std::shared_ptr<FrameQueue> queue, KorvaneFrameBuffer* buffer);

    // A buffer of another kind; Python sees a plain KorvaneFrame.
    FrameHandle(std::shared_ptr<FrameQueue> queue, KorvaneFrameBuffer* buffer);

    virtual ~FrameHandle() = default;
    FrameHandle(const FrameHandle&) = delete;
    FrameHandle& operator=(const FrameHandle&) = delete;

    // The buffer to read; throws std::runtime_error once the frame was released.
    KorvaneFrameBuffer& readable() const;
    bool released() const { return released_; }

    // Gives the frame back through the camera: 0, or -1 when this handle released it
    // already or when the camera's queue is no longer the one the frame came from.
    int releaseTo(KorvaneTOFCamera& camera);

private:
    std::shared_ptr<FrameQueue> queue_;  // owns buffer_
    KorvaneFrameBuffer* buffer_;
    bool released_ = false;
};

class RawFrameHandle final : public FrameHandle {
public:
    RawFrameHandle(std::shared_ptr<FrameQueue> queue, RawData* buffer) : FrameHandle(std::move(queue), buffer) {}
};

class DepthFrameHandle final : public FrameHandle {
public:
    DepthFrameHandle(std::shared_ptr<FrameQueue> queue, DepthData* buffer) : FrameHandle(std::move(queue), buffer) {}
};

}  // namespace Korvane
