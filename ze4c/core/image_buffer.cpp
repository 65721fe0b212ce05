#include "image_buffer.h"

#include <cstdlib>
#include <cstring>

#include "log_wrapper.h"
#include "parallel_copy.h"

namespace ZeSdk {

namespace {

constexpr int kImageCopyThreads = 5;

constexpr uint64_t align128(uint64_t bytes) {
    return (bytes + kImageSlotAlign - 1) / kImageSlotAlign * kImageSlotAlign;
}

// Sub-images per sensor transfer by frame work mode; 0 for a mode the pool has no sizing for.
uint16_t subImagesPerTransfer(TofFrameWorkMode frameMode) {
    switch (frameMode) {
        case SUB_MODE_SINGLE_FREQ_4PHASE_GRAY:
        case SUB_MODE_SINGLE_FREQ_4PHASE_BG:
        case SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG:
            return 5;
        case SUB_MODE_SINGLE_FREQ_4PHASE:
        case SUB_MODE_DOUBLE_FREQ_4PHASE:
            return 4;
        case SUB_MODE_SINGLE_FREQ_GRAY_BG_4PHASE_BG:
        case SUB_MODE_SINGLE_FREQ_BG_GRAY_BG_4PHASE:
        case SUB_MODE_SINGLE_FREQ_BG_4PHASE_BG_GRAY:
            return 7;
        default:
            return 0;
    }
}

uintptr_t address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// The first buffer in ring order that is empty; -1 when there is none.
int firstEmpty(const ImageRing& ring) {
    for (int i = 0; i < kImageGroupNum; ++i) {
        if (ring[i].bufDataSts.load(std::memory_order_acquire) == BUFFER_DATA_STATE_EMPTY) return i;
    }
    return -1;
}

// One scan for the full buffer with the lowest non-zero seqId, ties to ring order.
// A full buffer's seqId was written before it was published, so reading it is safe here.
int scanOldestFull(const ImageRing& ring) {
    int oldest = -1;
    for (int i = 0; i < kImageGroupNum; ++i) {
        if (ring[i].bufDataSts.load(std::memory_order_acquire) != BUFFER_DATA_STATE_FULL) continue;
        const int32_t seqId = ring[i].seqId;
        if (seqId != 0 && (oldest < 0 || seqId < ring[oldest].seqId)) oldest = i;
    }
    return oldest;
}

// The full buffer with the lowest non-zero seqId; -1 when there is none.
// One scan is not enough while the writer publishes: a buffer may be checked just before
// frame n lands in it, and frame n + 1, published next into a buffer checked later, be
// taken first. A writer publishes its frames in sequence order, so every frame older than
// one the first scan saw was published before it, and the second scan sees them all.
int oldestFull(const ImageRing& ring) {
    if (scanOldestFull(ring) < 0) return -1;
    return scanOldestFull(ring);
}

}  // namespace

void ImageBufferManager::BlockDeleter::operator()(uint8_t* block) const { std::free(block); }

ImageBufferManager& ImageBufferManager::GetInstance() {
    // The logger must outlive the pool, so it is created first.
    Logger::GetInstance();
    static ImageBufferManager instance;
    return instance;
}

ImageBufferManager::ImageBufferManager() = default;

uint64_t ImageBufferManager::CalcFrameSize(FrameResolution res, PixelFormat fmt) {
    const uint64_t n = uint64_t{res.width} * res.height;
    switch (fmt) {
        case PIXEL_FORMAT_NV12: return n * 3 / 2;
        // Raw samples travel in 16-bit containers.
        case PIXEL_FORMAT_RAW10:
        case PIXEL_FORMAT_RAW12:
        case PIXEL_FORMAT_Y16: return n * 2;
        case PIXEL_FORMAT_Y8: return n;
        case PIXEL_FORMAT_PC32F: return n * 12;
        default:
            ZE_LOG_ERROR("Format:{} not supported yet!", static_cast<uint32_t>(fmt));
            return 0;
    }
}

Status ImageBufferManager::AllocImageGroupBuffer(const FrameProfile& profile, const WorkModeConfig& modeCfg,
                                                 uint32_t numMIPIFrames) {
    const uint16_t phasesNum = subImagesPerTransfer(modeCfg.frameMode);
    if (phasesNum == 0) {
        ZE_LOG_ERROR("upsupported subWorkmode");
        return STATUS_INVALID_ARGUMENT;
    }
    uint32_t w = profile.roi.xSize;
    uint32_t h = profile.roi.ySize;
    switch (profile.binningMode) {
        case BINNING_MODE_2x2: w /= 2; h /= 2; break;
        case BINNING_MODE_ANALOG: h /= 2; break;
        case BINNING_MODE_DIGITAL: w /= 2; break;
        default: ZE_LOG_INFO("no binning mode"); break;
    }
    FrameMapDetails raw{};
    raw.framesNum = numMIPIFrames;
    raw.detail = FrameDetail{{w, phasesNum * (h + 1)}, FRAME_TYPE_DEPTH_RAW, PIXEL_FORMAT_RAW12, 1, phasesNum,
                             numMIPIFrames};
    ZE_LOG_INFO("width:{}, height:{}, phasesNum:{}, addInfoLines:{}, numInputFrames:{}", raw.detail.res.width,
                raw.detail.res.height, raw.detail.phasesNum, raw.detail.addInfoLines, raw.detail.numInputFrames);
    if (w == 0 || h == 0 || numMIPIFrames == 0) {
        ZE_LOG_ERROR("no image to buffer: width {}, height {}, {} transfers per frame", w, h, numMIPIFrames);
        return STATUS_INVALID_ARGUMENT;
    }

    const uint64_t rawSize = numMIPIFrames * align128(CalcFrameSize(raw.detail.res, PIXEL_FORMAT_RAW12));
    const uint64_t depthSize = align128(CalcFrameSize({w, h + 1}, PIXEL_FORMAT_Y16));
    const uint64_t commSize = align128(CalcFrameSize({w, h}, PIXEL_FORMAT_Y16));
    const uint64_t confidenceSize = commSize / 2;
    const uint64_t flagSize = commSize / 2;
    const uint64_t pointCloudSize = align128(CalcFrameSize({w, h}, PIXEL_FORMAT_PC32F));
    uint64_t total = rawSize;
    ZE_LOG_DEBUG("raw size:{}, total size:{}", rawSize, total);
    total += depthSize;
    ZE_LOG_DEBUG("depth size:{}, total size:{}", depthSize, total);
    total += commSize;
    ZE_LOG_DEBUG("gray size:{}, total size:{}", commSize, total);
    total += commSize;
    ZE_LOG_DEBUG("bg size:{}, total size:{}", commSize, total);
    total += commSize;
    ZE_LOG_DEBUG("amp size:{}, total size:{}", commSize, total);
    total += confidenceSize;
    ZE_LOG_DEBUG("confidence size:{}, total size:{}", confidenceSize, total);
    total += flagSize;  // counted, not logged on its own
    total += pointCloudSize;
    ZE_LOG_DEBUG("point cloud size:{}, total size:{}", pointCloudSize, total);
    // Slots beyond one region would overlap the next buffer's images.
    if (total > kImageRegionBytes) {
        ZE_LOG_ERROR("image slots need {} bytes, more than the {} bytes of one buffer: frame refused", total,
                     kImageRegionBytes);
        return STATUS_INVALID_ARGUMENT;
    }
    const ImageSlotSizes sizes{static_cast<uint32_t>(rawSize),        static_cast<uint32_t>(depthSize),
                               static_cast<uint32_t>(commSize),       static_cast<uint32_t>(confidenceSize),
                               static_cast<uint32_t>(flagSize),       static_cast<uint32_t>(pointCloudSize)};

    if (allocated()) {
        if (std::memcmp(&raw, &rawDetails_, sizeof raw) == 0 && std::memcmp(&sizes, &slotSizes_, sizeof sizes) == 0) {
            ZE_LOG_WARN("buffer already malloc, no need to malloc again!");
            return STATUS_OK;
        }
        // Keeping the first layout would copy frames of the new size into slots of the old
        // one (cut short, or read past the caller's frame), so the block is cut again.
        ZE_LOG_INFO("frame layout changed: the buffers are cut again, {} frames in them dropped", DiscardFrames());
        bufAllocFlag_.store(false, std::memory_order_release);
    }
    if (!block_) {
        block_.reset(static_cast<uint8_t*>(std::aligned_alloc(kImageSlotAlign, kImageBlockBytes)));
        if (!block_) {
            ZE_LOG_ERROR("ImageBufferManager malloc {} bytes failed!", kImageBlockBytes);
            return STATUS_GENERIC_ERROR;
        }
    }
    rawDetails_ = raw;
    slotSizes_ = sizes;
    commSize_ = static_cast<int32_t>(commSize);
    cutGroups();
    bufAllocFlag_.store(true, std::memory_order_release);
    ZE_LOG_INFO("ImageBufferManager malloc success!");
    return STATUS_OK;
}

void ImageBufferManager::cutGroups() {
    ImageRing* rings[] = {&inBufs_, &outBufs_, &ppInBufs_, &ppOutBufs_};
    const uint32_t slotSizes[] = {slotSizes_.raw,  slotSizes_.depth,      slotSizes_.comm,
                                  slotSizes_.comm, slotSizes_.comm,       slotSizes_.confidence,
                                  slotSizes_.flag, slotSizes_.pointCloud};
    for (int i = 0; i < kImageGroupNum; ++i) {
        uint8_t* const groupBase = block_.get() + size_t{kImageGroupBytes} * i;
        for (int r = 0; r < 4; ++r) {
            ImageBuffer& buffer = (*rings[r])[i];
            uint8_t* slot = groupBase + size_t{kImageRegionBytes} * r;
            int s = IMAGE_SLOT_RAW;
            for (const uint32_t size : slotSizes) {
                buffer.buf[s++] = OutputImage{slot, size};
                slot += size;
            }
            buffer.buf[IMAGE_SLOT_RGB] = OutputImage{nullptr, 0};
            buffer.buf[IMAGE_SLOT_END] = OutputImage{slot, 0};
            buffer.mapInfo = rawDetails_;
            buffer.bufId = i;
            buffer.depthId = 0;
            emptyBuffer(buffer);
        }
        ZE_LOG_INFO("seq{} caliAlgoInputAddr:0x{:08x}", i, address(groupBase));
    }
}

void ImageBufferManager::emptyBuffer(ImageBuffer& buffer) {
    buffer.seqId = 0;
    buffer.bufUseSts.store(BUFFER_USE_STATE_FREE, std::memory_order_relaxed);
    buffer.bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
}

Status ImageBufferManager::GetInBufsVector(BufferUseType type, ImageBuffer** buffer) {
    if (type == BUFFER_WRITE) {
        const int i = allocated() ? firstEmpty(inBufs_) : -1;
        if (i < 0) return STATUS_UNAVAILABLE;
        *buffer = &inBufs_[i];
        ZE_LOG_DEBUG("GetInBufsVector write vector {} addr:0x{:08x}", i, address(inBufs_[i].buf[IMAGE_SLOT_RAW].data));
        return STATUS_OK;
    }
    if (type == BUFFER_READ) {
        const int i = allocated() ? oldestFull(inBufs_) : -1;
        if (i < 0) return STATUS_UNAVAILABLE;
        *buffer = &inBufs_[i];
        ZE_LOG_DEBUG("GetInBufsVector read out vector {} addr:0x{:08x}", i,
                     address(inBufs_[i].buf[IMAGE_SLOT_RAW].data));
        return STATUS_OK;
    }
    ZE_LOG_ERROR("unsupported bufType {}", static_cast<uint32_t>(type));
    return STATUS_UNAVAILABLE;
}

Status ImageBufferManager::GetOutBufsVector(BufferUseType type, ImageBuffer** buffer) {
    if (type == BUFFER_WRITE) {
        const int i = allocated() ? firstEmpty(outBufs_) : -1;
        if (i < 0) return STATUS_UNAVAILABLE;
        *buffer = &outBufs_[i];
        ZE_LOG_DEBUG("GetOutBufsVector write vector {} addr:0x{:08x}", i,
                     address(outBufs_[i].buf[IMAGE_SLOT_RAW].data));
        return STATUS_OK;
    }
    if (type == BUFFER_READ) {
        const int i = allocated() ? oldestFull(outBufs_) : -1;
        if (i < 0) return STATUS_UNAVAILABLE;
        *buffer = &outBufs_[i];
        ZE_LOG_DEBUG("GetOutBufsVector read vector {} addr:0x{:08x}", i,
                     address(outBufs_[i].buf[IMAGE_SLOT_RAW].data));
        return STATUS_OK;
    }
    ZE_LOG_ERROR("unsupported bufType {}", static_cast<uint32_t>(type));
    return STATUS_UNAVAILABLE;
}

Status ImageBufferManager::PpGetInBufs(ImageBuffer** buffer) {
    const int i = allocated() ? oldestFull(ppInBufs_) : -1;
    if (i < 0) return STATUS_UNAVAILABLE;
    *buffer = &ppInBufs_[i];
    return STATUS_OK;
}

Status ImageBufferManager::PpGetOutBufs(BufferUseType type, ImageBuffer** buffer) {
    if (type == BUFFER_WRITE) {
        const int i = allocated() ? firstEmpty(ppOutBufs_) : -1;
        if (i < 0) return STATUS_UNAVAILABLE;
        *buffer = &ppOutBufs_[i];
        return STATUS_OK;
    }
    if (type == BUFFER_READ) {
        const int i = allocated() ? oldestFull(ppOutBufs_) : -1;
        if (i < 0) return STATUS_UNAVAILABLE;
        *buffer = &ppOutBufs_[i];
        ZE_LOG_DEBUG("PpGetOutBufs read out vector {}, MinSeqId {}", i, ppOutBufs_[i].seqId);
        return STATUS_OK;
    }
    ZE_LOG_ERROR("unsupported bufType {}", static_cast<uint32_t>(type));
    return STATUS_UNAVAILABLE;
}

Status ImageBufferManager::SetPpInBufs() {
    ImageBuffer* corrected = nullptr;
    const Status status = GetOutBufsVector(BUFFER_READ, &corrected);
    if (status != STATUS_OK) {
        ZE_LOG_ERROR("GetOutBufsVector error, cannot SetPpInBufs");
        return status;
    }
    const int i = firstEmpty(ppInBufs_);
    if (i < 0) {
        corrected->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
        ZE_LOG_DEBUG("SetPpInBufs: no buffer can use!");
        return STATUS_UNAVAILABLE;
    }
    ImageBuffer& ppIn = ppInBufs_[i];
    // Confidence and point cloud are not carried over: post-processing makes its own.
    for (const int slot : {IMAGE_SLOT_DEPTH, IMAGE_SLOT_GRAY, IMAGE_SLOT_BG, IMAGE_SLOT_AMP, IMAGE_SLOT_FLAG}) {
        ParallelCopy(ppIn.buf[slot].data, corrected->buf[slot].data, corrected->buf[slot].size, kImageCopyThreads);
    }
    ppIn.seqId = corrected->seqId;
    ppIn.depthId = corrected->depthId;
    ppIn.bufDataSts.store(BUFFER_DATA_STATE_FULL, std::memory_order_release);
    corrected->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
    return STATUS_OK;
}

void ImageBufferManager::SetRawVector(SensorType sensorType, const OutputImageList& images) {
    if (sensorType != SENSOR_TYPE_TOF) {
        ZE_LOG_ERROR("sensorType {} not support", static_cast<uint32_t>(sensorType));
        return;
    }
    ToFRawVec_ = images;
}

void ImageBufferManager::GetRawVector(SensorType sensorType, OutputImageList* images) const {
    if (sensorType != SENSOR_TYPE_TOF) {
        ZE_LOG_ERROR("sensorType {} not support", static_cast<uint32_t>(sensorType));
        return;
    }
    *images = ToFRawVec_;
}

void ImageBufferManager::ReleaseBuffer() {
    bufAllocFlag_.store(false, std::memory_order_release);
    for (ImageRing* ring : {&inBufs_, &outBufs_, &ppInBufs_, &ppOutBufs_}) {
        for (ImageBuffer& buffer : *ring) {
            buffer.mapInfo = FrameMapDetails{};
            emptyBuffer(buffer);
        }
    }
    rawDetails_ = FrameMapDetails{};
    slotSizes_ = ImageSlotSizes{};
    ZE_LOG_INFO("ReleaseBuffer success!");
}

int ImageBufferManager::DiscardFrames() {
    int dropped = 0;
    for (ImageRing* ring : {&inBufs_, &outBufs_, &ppInBufs_, &ppOutBufs_}) {
        for (ImageBuffer& buffer : *ring) {
            if (buffer.bufDataSts.load(std::memory_order_acquire) == BUFFER_DATA_STATE_FULL) ++dropped;
            emptyBuffer(buffer);
        }
    }
    return dropped;
}

}  // namespace ZeSdk
