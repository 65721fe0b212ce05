// Frame buffers handed from the capture thread to callers. Each buffer owns its planes;
// all of them are allocated when streaming starts, never per frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "korvane_types.h"

namespace Korvane {

struct FrameDataFormat {
    int32_t width;
    int32_t height;
    FrameType type;
    uint64_t timestamp;  // milliseconds, as delivered by the transport
};

class KorvaneFrameBuffer {
public:
    virtual ~KorvaneFrameBuffer() = default;
    // Stores the timestamp in every format the buffer has.
    virtual void setTimestamp(uint64_t timestamp) = 0;
    // The plane of that kind, or null when the buffer has none.
    virtual void* getData(FrameType type) = 0;
    // 0 and the format copied out, or -1 when the buffer has no plane of that kind.
    virtual int getFormat(FrameType type, FrameDataFormat* format) = 0;
};

// One int16 plane of raw samples (type RAW).
class RawData final : public KorvaneFrameBuffer {
public:
    explicit RawData(FrameGeometry raw);
    void setTimestamp(uint64_t timestamp) override;
    void* getData(FrameType type) override;
    int getFormat(FrameType type, FrameDataFormat* format) override;

private:
    FrameDataFormat format_;
    std::vector<int16_t> plane_;
};

// Depth (millimetres), amplitude and confidence as float planes of one geometry.
// Amplitude and confidence share the CONFIDENCE format.
class DepthData final : public KorvaneFrameBuffer {
public:
    explicit DepthData(FrameGeometry depth);
    void setTimestamp(uint64_t timestamp) override;
    void* getData(FrameType type) override;
    int getFormat(FrameType type, FrameDataFormat* format) override;

private:
    FrameDataFormat depthFormat_;
    FrameDataFormat confidenceFormat_;
    std::vector<float> confidence_;
    std::vector<float> amplitude_;
    std::vector<float> depth_;
};

// The staging plane the transport captures into: 16-bit samples of every image of one
// frame, back to back (type CACHE).
class CacheData final : public KorvaneFrameBuffer {
public:
    explicit CacheData(FrameGeometry staging);
    void setTimestamp(uint64_t timestamp) override;
    void* getData(FrameType type) override;
    int getFormat(FrameType type, FrameDataFormat* format) override;
    size_t sizeBytes() const { return plane_.size() * sizeof(uint16_t); }

private:
    FrameDataFormat format_;
    std::vector<uint16_t> plane_;
};

}  // namespace Korvane
