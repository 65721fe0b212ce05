// An emulated V4L2 capture driver (single- or multi-planar) with memory-mapped streaming.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "emulated_kernel.h"
#include "frame_source.h"
#include "line_packing.h"

namespace Korvane::emulation {

// The default capture clock: bursts of four images 1 ms apart, one burst every 33.333 ms,
// from 1000 s on; microseconds.
int64_t burstCaptureTimeUs(uint64_t sequence);

struct VideoDeviceConfig {
    bool multiPlanar = false;
    bool streaming = true;                  // V4L2_CAP_STREAMING offered
    uint32_t width = 240, height = 180;     // the only size the sensor delivers
    std::vector<uint32_t> pixelFormats;     // accepted formats, the first is the default
    LinePacking packing = LinePacking::Plain16;
    unsigned sampleShift = 0;               // samples arrive shifted left by this
    uint32_t grantedBuffers = 0;            // REQBUFS answer; 0 grants what was asked
    size_t paddingBytes = 0;                // extra bytes at the end of every buffer
    uint32_t inputs = 1;
    // Capture time of image `sequence` in microseconds; by default burstCaptureTimeUs.
    std::function<int64_t(uint64_t sequence)> timestampUs;
};

class EmulatedVideoDevice final : public EmulatedDevice {
public:
    EmulatedVideoDevice(VideoDeviceConfig config, std::shared_ptr<FrameSource> source);

    int ioctl(unsigned long request, void* arg) override;
    void* map(size_t length, off_t offset, int* error) override;
    void unmapped(void* address) override;

    const VideoDeviceConfig& config() const { return config_; }
    uint32_t pixelFormat() const { return pixelFormat_; }
    uint32_t currentInput() const { return input_; }
    bool isStreaming() const { return streaming_; }
    size_t bufferCount() const { return buffers_.size(); }
    size_t queuedCount() const { return queue_.size(); }
    uint64_t captured() const { return sequence_; }
    size_t bufferBytes() const;
    // The next dequeue reports this buffer index instead of the real one.
    void reportIndexOnce(uint32_t index) { forcedIndex_ = static_cast<int64_t>(index); }
    // Dequeued buffers report this many bytes more than they hold.
    void overstateLength(uint32_t bytes) { overstate_ = bytes; }
    void setFrameSource(std::shared_ptr<FrameSource> source) { source_ = std::move(source); }

private:
    struct Buffer {
        std::vector<uint8_t> memory;
        bool queued = false;
        int mappings = 0;
    };

    int queryCapability(void* arg);
    int format(unsigned long request, void* arg);
    int requestBuffers(void* arg);
    int queryBuffer(void* arg);
    int queueBuffer(void* arg);
    int dequeueBuffer(void* arg);
    int checkBuffer(const void* arg, bool needsIndex) const;
    uint32_t bufferType() const;
    void describe(uint32_t index, void* arg) const;

    VideoDeviceConfig config_;
    std::shared_ptr<FrameSource> source_;
    uint32_t pixelFormat_;
    uint32_t input_ = 0;
    std::vector<Buffer> buffers_;
    std::deque<uint32_t> queue_;
    bool streaming_ = false;
    uint64_t sequence_ = 0;
    int64_t forcedIndex_ = -1;
    uint32_t overstate_ = 0;
    std::vector<uint16_t> samples_;
};

}  // namespace Korvane::emulation
