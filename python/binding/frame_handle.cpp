#include "frame_handle.h"

#include <stdexcept>

namespace Korvane {

std::shared_ptr<FrameHandle> FrameHandle::wrap(std::shared_ptr<FrameQueue> queue, KorvaneFrameBuffer* buffer) {
    if (auto* raw = dynamic_cast<RawData*>(buffer)) return std::make_shared<RawFrameHandle>(std::move(queue), raw);
    if (auto* depth = dynamic_cast<DepthData*>(buffer)) {
        return std::make_shared<DepthFrameHandle>(std::move(queue), depth);
    }
    return std::make_shared<FrameHandle>(std::move(queue), buffer);
}

FrameHandle::FrameHandle(std::shared_ptr<FrameQueue> queue, KorvaneFrameBuffer* buffer)
    : queue_(std::move(queue)), buffer_(buffer) {}

KorvaneFrameBuffer& FrameHandle::readable() const {
    if (released_) throw std::runtime_error("the frame was released; request a new frame");
    return *buffer_;
}

int FrameHandle::releaseTo(KorvaneTOFCamera& camera) {
    // A released buffer may already be out again in another handle: the queue alone
    // cannot tell a second release of this frame from the release of that one.
    if (released_) return KorvaneUnkownError;
    const int r = camera.releaseFrame(buffer_);
    if (r == KorvaneSuccess) released_ = true;
    return r;
}

}  // namespace Korvane
