#include "frame_buffer.h"

namespace Korvane {

namespace {

size_t pixelCount(FrameGeometry g) {
    if (g.width <= 0 || g.height <= 0) return 0;
    return static_cast<size_t>(g.width) * static_cast<size_t>(g.height);
}

int copyFormat(const FrameDataFormat& from, FrameDataFormat* to) {
    if (to == nullptr) return -1;
    *to = from;
    return 0;
}

}  // namespace

RawData::RawData(FrameGeometry raw)
    : format_{raw.width, raw.height, RAW, 0}, plane_(pixelCount(raw)) {}

void RawData::setTimestamp(uint64_t timestamp) { format_.timestamp = timestamp; }

void* RawData::getData(FrameType type) { return type == RAW ? plane_.data() : nullptr; }

int RawData::getFormat(FrameType type, FrameDataFormat* format) {
    return type == RAW ? copyFormat(format_, format) : -1;
}

DepthData::DepthData(FrameGeometry depth)
    : depthFormat_{depth.width, depth.height, DEPTH, 0},
      confidenceFormat_{depth.width, depth.height, CONFIDENCE, 0},
      confidence_(pixelCount(depth)),
      amplitude_(pixelCount(depth)),
      depth_(pixelCount(depth)) {}

void DepthData::setTimestamp(uint64_t timestamp) {
    depthFormat_.timestamp = timestamp;
    confidenceFormat_.timestamp = timestamp;
}

void* DepthData::getData(FrameType type) {
    switch (type) {
        case CONFIDENCE: return confidence_.data();
        case DEPTH: return depth_.data();
        case AMPLITUDE: return amplitude_.data();
        default: return nullptr;
    }
}

int DepthData::getFormat(FrameType type, FrameDataFormat* format) {
    switch (type) {
        case DEPTH: return copyFormat(depthFormat_, format);
        case CONFIDENCE:
        case AMPLITUDE: return copyFormat(confidenceFormat_, format);
        default: return -1;
    }
}

CacheData::CacheData(FrameGeometry staging)
    : format_{staging.width, staging.height, CACHE, 0}, plane_(pixelCount(staging)) {}

void CacheData::setTimestamp(uint64_t timestamp) { format_.timestamp = timestamp; }

void* CacheData::getData(FrameType type) { return type == CACHE ? plane_.data() : nullptr; }

int CacheData::getFormat(FrameType type, FrameDataFormat* format) {
    return type == CACHE ? copyFormat(format_, format) : -1;
}

}  // namespace Korvane
