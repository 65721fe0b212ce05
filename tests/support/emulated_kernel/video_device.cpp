#include "video_device.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Korvane::emulation {

namespace {

constexpr off_t kOffsetStep = 0x100000;  // buffer i is mapped at offset i * kOffsetStep

}  // namespace

int64_t burstCaptureTimeUs(uint64_t sequence) {
    constexpr int64_t kStartUs = 1'000'000'000;
    return kStartUs + static_cast<int64_t>(sequence / 4) * 33'333 + static_cast<int64_t>(sequence % 4) * 1'000;
}

EmulatedVideoDevice::EmulatedVideoDevice(VideoDeviceConfig config, std::shared_ptr<FrameSource> source)
    : config_(std::move(config)), source_(std::move(source)) {
    if (config_.pixelFormats.empty()) config_.pixelFormats.push_back(V4L2_PIX_FMT_Y12);
    if (!config_.timestampUs) config_.timestampUs = burstCaptureTimeUs;
    pixelFormat_ = config_.pixelFormats.front();
}

uint32_t EmulatedVideoDevice::bufferType() const {
    return config_.multiPlanar ? V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE : V4L2_BUF_TYPE_VIDEO_CAPTURE;
}

size_t EmulatedVideoDevice::bufferBytes() const {
    return packedBytes(config_.packing, config_.width, config_.height) + config_.paddingBytes;
}

int EmulatedVideoDevice::ioctl(unsigned long request, void* arg) {
    switch (request) {
        case VIDIOC_QUERYCAP: return queryCapability(arg);
        case VIDIOC_G_FMT:
        case VIDIOC_TRY_FMT:
        case VIDIOC_S_FMT: return format(request, arg);
        case VIDIOC_S_INPUT: {
            const int input = *static_cast<int*>(arg);
            if (input < 0 || static_cast<uint32_t>(input) >= config_.inputs) return -EINVAL;
            input_ = static_cast<uint32_t>(input);
            return 0;
        }
        case VIDIOC_REQBUFS: return requestBuffers(arg);
        case VIDIOC_QUERYBUF: return queryBuffer(arg);
        case VIDIOC_QBUF: return queueBuffer(arg);
        case VIDIOC_DQBUF: return dequeueBuffer(arg);
        case VIDIOC_STREAMON:
        case VIDIOC_STREAMOFF: {
            if (static_cast<uint32_t>(*static_cast<int*>(arg)) != bufferType()) return -EINVAL;
            streaming_ = request == VIDIOC_STREAMON;
            if (!streaming_) {  // every buffer returns to the application
                for (Buffer& buffer : buffers_) buffer.queued = false;
                queue_.clear();
            }
            return 0;
        }
        default: return -ENOTTY;
    }
}

int EmulatedVideoDevice::queryCapability(void* arg) {
    auto* capability = static_cast<v4l2_capability*>(arg);
    *capability = {};
    std::strncpy(reinterpret_cast<char*>(capability->driver), "korvane-emul", sizeof capability->driver - 1);
    std::strncpy(reinterpret_cast<char*>(capability->card), "emulated CSI-2 receiver", sizeof capability->card - 1);
    capability->device_caps = (config_.multiPlanar ? V4L2_CAP_VIDEO_CAPTURE_MPLANE : V4L2_CAP_VIDEO_CAPTURE) |
                              (config_.streaming ? V4L2_CAP_STREAMING : 0);
    capability->capabilities = capability->device_caps | V4L2_CAP_DEVICE_CAPS;
    return 0;
}

int EmulatedVideoDevice::format(unsigned long request, void* arg) {
    auto* format = static_cast<v4l2_format*>(arg);
    if (format->type != bufferType()) return -EINVAL;
    if (request == VIDIOC_S_FMT && !buffers_.empty()) return -EBUSY;
    uint32_t pixelFormat = pixelFormat_;
    if (request != VIDIOC_G_FMT) {
        const uint32_t asked = config_.multiPlanar ? format->fmt.pix_mp.pixelformat : format->fmt.pix.pixelformat;
        const auto& accepted = config_.pixelFormats;
        pixelFormat = std::find(accepted.begin(), accepted.end(), asked) != accepted.end() ? asked : accepted.front();
    }
    if (request == VIDIOC_S_FMT) pixelFormat_ = pixelFormat;
    const uint32_t bytes = static_cast<uint32_t>(bufferBytes());
    if (config_.multiPlanar) {
        v4l2_pix_format_mplane& pix = format->fmt.pix_mp;
        pix = {};
        pix.width = config_.width;
        pix.height = config_.height;
        pix.pixelformat = pixelFormat;
        pix.field = V4L2_FIELD_NONE;
        pix.num_planes = 1;
        pix.plane_fmt[0].sizeimage = bytes;
        pix.plane_fmt[0].bytesperline = bytes / config_.height;
    } else {
        v4l2_pix_format& pix = format->fmt.pix;
        pix = {};
        pix.width = config_.width;
        pix.height = config_.height;
        pix.pixelformat = pixelFormat;
        pix.field = V4L2_FIELD_NONE;
        pix.sizeimage = bytes;
        pix.bytesperline = bytes / config_.height;
    }
    return 0;
}

int EmulatedVideoDevice::requestBuffers(void* arg) {
    auto* request = static_cast<v4l2_requestbuffers*>(arg);
    if (request->type != bufferType() || request->memory != V4L2_MEMORY_MMAP) return -EINVAL;
    if (streaming_) return -EBUSY;
    for (const Buffer& buffer : buffers_) {
        if (buffer.mappings > 0) return -EBUSY;
    }
    queue_.clear();
    buffers_.clear();
    if (request->count == 0) return 0;
    const uint32_t granted = config_.grantedBuffers != 0 ? config_.grantedBuffers : request->count;
    buffers_.resize(granted);
    for (Buffer& buffer : buffers_) buffer.memory.assign(bufferBytes(), 0);
    request->count = granted;
    return 0;
}

int EmulatedVideoDevice::checkBuffer(const void* arg, bool needsIndex) const {
    const auto* buffer = static_cast<const v4l2_buffer*>(arg);
    if (buffer->type != bufferType() || buffer->memory != V4L2_MEMORY_MMAP) return -EINVAL;
    if (config_.multiPlanar && (buffer->m.planes == nullptr || buffer->length < 1)) return -EINVAL;
    if (needsIndex && buffer->index >= buffers_.size()) return -EINVAL;
    return 0;
}

void EmulatedVideoDevice::describe(uint32_t index, void* arg) const {
    auto* buffer = static_cast<v4l2_buffer*>(arg);
    const uint32_t length = static_cast<uint32_t>(buffers_[index].memory.size());
    buffer->index = index;
    buffer->flags = (buffers_[index].queued ? V4L2_BUF_FLAG_QUEUED : 0) |
                    (buffers_[index].mappings > 0 ? V4L2_BUF_FLAG_MAPPED : 0);
    if (config_.multiPlanar) {
        v4l2_plane& plane = buffer->m.planes[0];
        plane.length = length;
        plane.bytesused = length;
        plane.m.mem_offset = static_cast<uint32_t>(index * kOffsetStep);
        buffer->length = 1;
    } else {
        buffer->length = length;
        buffer->bytesused = length;
        buffer->m.offset = static_cast<uint32_t>(index * kOffsetStep);
    }
}

int EmulatedVideoDevice::queryBuffer(void* arg) {
    if (const int r = checkBuffer(arg, true)) return r;
    describe(static_cast<v4l2_buffer*>(arg)->index, arg);
    return 0;
}

int EmulatedVideoDevice::queueBuffer(void* arg) {
    if (const int r = checkBuffer(arg, true)) return r;
    const uint32_t index = static_cast<v4l2_buffer*>(arg)->index;
    if (buffers_[index].queued) return -EINVAL;
    buffers_[index].queued = true;
    queue_.push_back(index);
    return 0;
}

int EmulatedVideoDevice::dequeueBuffer(void* arg) {
    if (const int r = checkBuffer(arg, false)) return r;
    if (!streaming_) return -EINVAL;
    // A real driver would block until a buffer is queued and filled; nothing can fill one
    // here, so the emulation reports an I/O error instead of hanging the test.
    if (queue_.empty()) return -EIO;
    const uint32_t index = queue_.front();
    queue_.pop_front();
    Buffer& buffer = buffers_[index];
    buffer.queued = false;

    source_->render(sequence_, config_.width, config_.height, samples_);
    packImage(config_.packing, samples_, config_.width, config_.height, config_.sampleShift, buffer.memory.data());
    describe(index, arg);
    auto* out = static_cast<v4l2_buffer*>(arg);
    const int64_t us = config_.timestampUs(sequence_);
    out->timestamp.tv_sec = us / 1'000'000;
    out->timestamp.tv_usec = us % 1'000'000;
    out->sequence = static_cast<uint32_t>(sequence_++);
    out->field = V4L2_FIELD_NONE;
    if (overstate_ != 0) {
        (config_.multiPlanar ? out->m.planes[0].length : out->length) += overstate_;
    }
    if (forcedIndex_ >= 0) {
        out->index = static_cast<uint32_t>(forcedIndex_);
        forcedIndex_ = -1;
    }
    return 0;
}

void* EmulatedVideoDevice::map(size_t length, off_t offset, int* error) {
    const size_t index = static_cast<size_t>(offset / kOffsetStep);
    if (offset % kOffsetStep != 0 || index >= buffers_.size() || length == 0 ||
        length > buffers_[index].memory.size()) {
        *error = EINVAL;
        return nullptr;
    }
    ++buffers_[index].mappings;
    return buffers_[index].memory.data();
}

void EmulatedVideoDevice::unmapped(void* address) {
    for (Buffer& buffer : buffers_) {
        if (buffer.memory.data() == address) --buffer.mappings;
    }
}

}  // namespace Korvane::emulation
