// The image buffer pool: one 128-byte-aligned block, allocated once per process and cut
// into eight groups of four image buffers, one buffer per ring (correction input,
// correction output, post-processing input, post-processing output).
//
// Buffers change hands only through their data state. Each ring has one writing thread and
// one reading thread: the writer takes a buffer it finds empty, fills it, then publishes
// it as full (release); the reader takes a buffer it finds full (acquire), uses it, then
// publishes it as empty. The selection functions take no lock.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "config_types.h"
#include "status.h"

namespace ZeSdk {

enum FrameDataType : uint32_t {
    FRAME_DATA_TYPE_RAW = 0,
    FRAME_DATA_TYPE_RGB = 1,
    FRAME_DATA_TYPE_DEPTH = 2,
    FRAME_DATA_TYPE_DEPTH_CAPTURE = 3,
    FRAME_DATA_TYPE_CONFIDENCE = 4,
    FRAME_DATA_TYPE_POINT = 5,
    FRAME_DATA_TYPE_GRAY = 6,
    FRAME_DATA_TYPE_BG = 7,
    FRAME_DATA_TYPE_AMP = 8,
    FRAME_DATA_TYPE_FLAG = 9,
};

enum PixelFormat : uint32_t {
    PIXEL_FORMAT_INVALID = 0,
    PIXEL_FORMAT_YUV = 1,
    PIXEL_FORMAT_NV12 = 2,
    PIXEL_FORMAT_RAW10 = 4,
    PIXEL_FORMAT_RAW12 = 8,
    PIXEL_FORMAT_Y16 = 16,
    PIXEL_FORMAT_Y8 = 32,
    PIXEL_FORMAT_PC32F = 64,
};

enum FrameType : uint32_t {
    FRAME_TYPE_NONE = 1,
    FRAME_TYPE_RGB = 2,
    FRAME_TYPE_DEPTH_PREVIEW = 4,
    FRAME_TYPE_DEPTH_CAPTURE = 8,
    FRAME_TYPE_DEPTH_CONFIDENCE = 16,
    FRAME_TYPE_DEPTH_POINT_CLOUD = 32,
    FRAME_TYPE_DEPTH_RAW = 64,
    FRAME_TYPE_GRAY = 128,
    FRAME_TYPE_BG = 256,
    FRAME_TYPE_AMP = 512,
    FRAME_TYPE_FLAG = 1024,
};

enum SensorType : uint32_t {
    SENSOR_TYPE_TOF = 0,
    SENSOR_TYPE_RGB = 1,
    SENSOR_TYPE_MAX = 2,
};

enum BufferUseState : uint32_t {
    BUFFER_USE_STATE_FREE = 0,
    BUFFER_USE_STATE_BUSY = 1,
};

enum BufferDataState : uint32_t {
    BUFFER_DATA_STATE_EMPTY = 0,
    BUFFER_DATA_STATE_FULL = 1,
    BUFFER_DATA_STATE_ERROR = 2,
};

enum BufferUseType : uint32_t {
    BUFFER_WRITE = 0,
    BUFFER_READ = 1,
};

struct FrameResolution {
    uint32_t width;   // pixels
    uint32_t height;  // lines
};

struct FrameDetail {
    FrameResolution res;
    FrameType type;
    PixelFormat fmt;
    uint16_t addInfoLines;  // embedded-data lines after each sub-image
    uint16_t phasesNum;     // sub-images per sensor transfer
    uint32_t numInputFrames;
};

// Description of the raw frame a buffer carries.
struct FrameMapDetails {
    uint32_t framesNum;  // sensor transfers per depth frame
    FrameDetail detail;
};

// One image slot: memory inside the pool's block (not owned) and its size in bytes.
struct OutputImage {
    uint8_t* data;
    uint32_t size;
};

// Image slots of a buffer, the same in all four rings.
enum ImageSlot : int {
    IMAGE_SLOT_RAW = 0,
    IMAGE_SLOT_DEPTH = 1,  // one extra line carries the depth parameters
    IMAGE_SLOT_GRAY = 2,
    IMAGE_SLOT_BG = 3,
    IMAGE_SLOT_AMP = 4,
    IMAGE_SLOT_CONFIDENCE = 5,  // one byte per pixel
    IMAGE_SLOT_FLAG = 6,        // one byte per pixel
    IMAGE_SLOT_POINT_CLOUD = 7,
    IMAGE_SLOT_RGB = 8,  // never given memory
    IMAGE_SLOT_END = 9,  // size 0, right after the point cloud
    IMAGE_SLOT_NUM = 10,
};

struct ImageBuffer {
    FrameMapDetails mapInfo{};
    OutputImage buf[IMAGE_SLOT_NUM]{};
    int32_t bufId = 0;    // index of the buffer's group, 0 to 7
    int32_t seqId = 0;    // sequence number of the frame it holds; 0 = no frame
    int32_t depthId = 0;  // carried along with the frame; nothing assigns it
    // The hand-over: written by one side only after the buffer's contents are complete
    // (release), read by the other before it touches them (acquire).
    std::atomic<BufferDataState> bufDataSts{BUFFER_DATA_STATE_EMPTY};
    std::atomic<BufferUseState> bufUseSts{BUFFER_USE_STATE_FREE};
};

constexpr int kImageGroupNum = 8;               // buffers per ring
constexpr uint32_t kImageSlotAlign = 128;       // every slot starts on this boundary
constexpr uint32_t kImageRegionBytes = 12916608;  // one buffer's share of a group
constexpr uint32_t kImageGroupBytes = 4 * kImageRegionBytes;
constexpr size_t kImageBlockBytes = size_t{kImageGroupNum} * kImageGroupBytes;  // 413331456

using ImageRing = std::array<ImageBuffer, kImageGroupNum>;
using OutputImageList = std::vector<std::shared_ptr<OutputImage>>;

// Sizes of the image slots, each a multiple of kImageSlotAlign.
struct ImageSlotSizes {
    uint32_t raw;
    uint32_t depth;
    uint32_t comm;  // gray, background and amplitude
    uint32_t confidence;
    uint32_t flag;
    uint32_t pointCloud;
};

class ImageBufferManager {
public:
    // The process-wide pool.
    static ImageBufferManager& GetInstance();

    // An empty pool with no block; the library uses only GetInstance(), tests their own.
    ImageBufferManager();
    ImageBufferManager(const ImageBufferManager&) = delete;
    ImageBufferManager& operator=(const ImageBufferManager&) = delete;

    // Bytes of an image: 0 (logged) for a format without a size rule.
    static uint64_t CalcFrameSize(FrameResolution res, PixelFormat fmt);

    // Sizes the slots for the raw frames of the profile and mode (numMIPIFrames sensor
    // transfers per depth frame) and cuts the block into the four rings. The block is
    // allocated by the first successful call and kept. A call that gives the layout in
    // place changes nothing. One that gives another layout cuts the block again and drops
    // every frame in the rings, so it must run while no stage loop uses the pool.
    // Refused (STATUS_INVALID_ARGUMENT, nothing changed): a frame work mode without a
    // sub-image count, an empty frame, no transfers, or slots that together would not fit
    // in one region. STATUS_GENERIC_ERROR when the block cannot be allocated.
    Status AllocImageGroupBuffer(const FrameProfile& profile, const WorkModeConfig& modeCfg, uint32_t numMIPIFrames);

    // Ring access. BUFFER_WRITE finds the first empty buffer in ring order; BUFFER_READ the
    // full buffer with the lowest non-zero seqId (ties to ring order). STATUS_UNAVAILABLE
    // when there is none, before allocation, or for another use type.
    Status GetInBufsVector(BufferUseType type, ImageBuffer** buffer);   // correction input
    Status GetOutBufsVector(BufferUseType type, ImageBuffer** buffer);  // correction output
    Status PpGetInBufs(ImageBuffer** buffer);                           // post-processing input (read)
    Status PpGetOutBufs(BufferUseType type, ImageBuffer** buffer);      // post-processing output

    // Moves the oldest full correction output into the first empty post-processing input:
    // depth, gray, background, amplitude and flag slots, seqId and depthId. The correction
    // output is emptied in any case; without an empty post-processing input its frame is
    // dropped and the result is STATUS_UNAVAILABLE.
    Status SetPpInBufs();

    int32_t GetCommSize() const { return commSize_; }
    void SetCommSize(int32_t size) { commSize_ = size; }

    // The ToF raw image list (kept for callers; the pipeline does not use it). Other
    // sensor types are logged as unsupported.
    void SetRawVector(SensorType sensorType, const OutputImageList& images);
    void GetRawVector(SensorType sensorType, OutputImageList* images) const;

    // Empties the four rings and forgets the layout; the block stays allocated and the
    // next AllocImageGroupBuffer cuts it again. Only while no stage loop uses the pool.
    void ReleaseBuffer();

    // Empties every buffer that holds a frame, keeping the layout; returns how many frames
    // were dropped. Only while no stage loop uses the pool.
    int DiscardFrames();

    // The current slot sizes (all 0 before allocation).
    ImageSlotSizes GetSlotSizes() const { return slotSizes_; }

private:
    struct BlockDeleter {
        void operator()(uint8_t* block) const;
    };

    bool allocated() const { return bufAllocFlag_.load(std::memory_order_acquire); }
    void cutGroups();
    void emptyBuffer(ImageBuffer& buffer);

    std::unique_ptr<uint8_t, BlockDeleter> block_;
    OutputImageList ToFRawVec_;
    ImageRing inBufs_;
    ImageRing outBufs_;
    ImageRing ppInBufs_;
    ImageRing ppOutBufs_;
    int32_t commSize_ = 0;
    FrameMapDetails rawDetails_{};
    ImageSlotSizes slotSizes_{};
    // Set (release) once the rings are cut; the writers' selection checks it (acquire).
    std::atomic<bool> bufAllocFlag_{false};
};

}  // namespace ZeSdk
