// The image buffer pool: frame sizes, the fixed layout of the block, refused layouts, the
// ring selection rules and the hand-over into the post-processing input ring.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "image_buffer.h"
#include "log_capture.h"
#include "pipeline_test_support.h"

namespace {

using namespace ZeSdk;
using ze4c_test::LogCapture;

constexpr FrameProfile kVgaProfile{60, {640, 480, 0, 0, 1, 1}, BINNING_MODE_NONE};

class ImageBufferTest : public ::testing::Test {
protected:
    LogCapture log{"debug"};
    ImageBufferManager pool;

    void allocateSmall() {
        ASSERT_EQ(pool.AllocImageGroupBuffer(ze4c_test::kSmallProfile, ze4c_test::kDoubleFrequency, 2), STATUS_OK);
    }
};

// --- Sizes ------------------------------------------------------------------------------

TEST_F(ImageBufferTest, FrameSizePerPixelFormat) {
    const struct {
        PixelFormat fmt;
        uint64_t bytes;
    } cases[] = {
        {PIXEL_FORMAT_NV12, 640 * 480 * 3 / 2}, {PIXEL_FORMAT_RAW10, 640 * 480 * 2}, {PIXEL_FORMAT_RAW12, 640 * 480 * 2},
        {PIXEL_FORMAT_Y16, 640 * 480 * 2},      {PIXEL_FORMAT_Y8, 640 * 480},        {PIXEL_FORMAT_PC32F, 640 * 480 * 12},
        {PIXEL_FORMAT_YUV, 0},                  {PIXEL_FORMAT_INVALID, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ImageBufferManager::CalcFrameSize({640, 480}, c.fmt), c.bytes) << c.fmt;
    }
    EXPECT_TRUE(log.logged("error", "Format:1 not supported yet!")) << log.text();
    // Wide enough that 32-bit arithmetic would overflow.
    EXPECT_EQ(ImageBufferManager::CalcFrameSize({65535, 65535}, PIXEL_FORMAT_PC32F), 65535ull * 65535 * 12);
}

// The worked example: the VGA double-frequency slots fill one region but for 128 bytes.
TEST_F(ImageBufferTest, VgaDoubleFrequencyLayout) {
    ASSERT_EQ(pool.AllocImageGroupBuffer(kVgaProfile, ze4c_test::kDoubleFrequency, 2), STATUS_OK);
    const ImageSlotSizes s = pool.GetSlotSizes();
    EXPECT_EQ(s.raw, 2u * 640 * 5 * 481 * 2);
    EXPECT_EQ(s.depth, 640u * 481 * 2);
    EXPECT_EQ(s.comm, 614400u);
    EXPECT_EQ(s.confidence, 307200u);
    EXPECT_EQ(s.flag, 307200u);
    EXPECT_EQ(s.pointCloud, 640u * 480 * 12);
    EXPECT_EQ(s.raw + s.depth + 3 * s.comm + s.confidence + s.flag + s.pointCloud, kImageRegionBytes - 128);
    EXPECT_EQ(pool.GetCommSize(), 614400);

    // Buffer i of each ring sits at block + i * group + ring * region; slots follow in order.
    std::vector<ImageBuffer*> first(4), all;
    const std::function<Status(ImageBuffer**)> writers[] = {
        [&](ImageBuffer** b) { return pool.GetInBufsVector(BUFFER_WRITE, b); },
        [&](ImageBuffer** b) { return pool.GetOutBufsVector(BUFFER_WRITE, b); },
        nullptr,  // post-processing input: filled only through SetPpInBufs
        [&](ImageBuffer** b) { return pool.PpGetOutBufs(BUFFER_WRITE, b); },
    };
    ASSERT_EQ(writers[0](&first[0]), STATUS_OK);
    const uint8_t* block = first[0]->buf[IMAGE_SLOT_RAW].data;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 128, 0u);
    for (int ring : {0, 1, 3}) {
        for (int i = 0; i < kImageGroupNum; ++i) {
            ImageBuffer* b = nullptr;
            ASSERT_EQ(writers[ring](&b), STATUS_OK);
            EXPECT_EQ(b->bufId, i);
            EXPECT_EQ(b->buf[IMAGE_SLOT_RAW].data, block + size_t{kImageGroupBytes} * i + size_t{kImageRegionBytes} * ring);
            const uint32_t sizes[] = {s.raw, s.depth, s.comm, s.comm, s.comm, s.confidence, s.flag, s.pointCloud};
            const uint8_t* expected = b->buf[IMAGE_SLOT_RAW].data;
            for (int slot = 0; slot < 8; ++slot) {
                EXPECT_EQ(b->buf[slot].data, expected) << "slot " << slot;
                EXPECT_EQ(b->buf[slot].size, sizes[slot]) << "slot " << slot;
                EXPECT_EQ(reinterpret_cast<uintptr_t>(b->buf[slot].data) % 128, 0u) << "slot " << slot;
                expected += sizes[slot];
            }
            EXPECT_EQ(b->buf[IMAGE_SLOT_RGB].data, nullptr);
            EXPECT_EQ(b->buf[IMAGE_SLOT_RGB].size, 0u);
            EXPECT_EQ(b->buf[IMAGE_SLOT_END].data, expected);
            EXPECT_EQ(b->buf[IMAGE_SLOT_END].size, 0u);
            EXPECT_EQ(b->mapInfo.framesNum, 2u);
            EXPECT_EQ(b->mapInfo.detail.res.width, 640u);
            EXPECT_EQ(b->mapInfo.detail.res.height, 5u * 481);
            EXPECT_EQ(b->mapInfo.detail.phasesNum, 5);
            EXPECT_EQ(b->mapInfo.detail.type, FRAME_TYPE_DEPTH_RAW);
            EXPECT_EQ(b->mapInfo.detail.fmt, PIXEL_FORMAT_RAW12);
            b->seqId = 0;  // keeps it out of every read
            b->bufDataSts.store(BUFFER_DATA_STATE_FULL);
        }
    }
    EXPECT_TRUE(log.logged("info", "width:640, height:2405, phasesNum:5, addInfoLines:1, numInputFrames:2")) << log.text();
    EXPECT_TRUE(log.logged("debug", "raw size:6156800, total size:6156800"));
    EXPECT_TRUE(log.logged("debug", "point cloud size:3686400, total size:12916480"));
    char groupLine[64];
    std::snprintf(groupLine, sizeof groupLine, "seq7 caliAlgoInputAddr:0x%08lx",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(block) + 7ul * kImageGroupBytes));
    EXPECT_TRUE(log.logged("info", groupLine)) << log.text();
    EXPECT_TRUE(log.logged("info", "ImageBufferManager malloc success!"));
}

TEST_F(ImageBufferTest, BinningHalvesTheRawDescription) {
    const struct {
        BinningMode binning;
        uint32_t width, singleHeight;
    } cases[] = {
        {BINNING_MODE_NONE, 320, 240}, {BINNING_MODE_2x2, 160, 120}, {BINNING_MODE_ANALOG, 320, 120},
        {BINNING_MODE_DIGITAL, 160, 240}, {BINNING_MODE_4x4, 320, 240},
    };
    for (const auto& c : cases) {
        pool.ReleaseBuffer();  // each case starts unsized
        const FrameProfile profile{30, {320, 240, 0, 0, 1, 1}, c.binning};
        ASSERT_EQ(pool.AllocImageGroupBuffer(profile, ze4c_test::kSingleFrequency, 1), STATUS_OK) << c.binning;
        ImageBuffer* b = nullptr;
        ASSERT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_OK);
        EXPECT_EQ(b->mapInfo.detail.res.width, c.width) << c.binning;
        EXPECT_EQ(b->mapInfo.detail.res.height, 5 * (c.singleHeight + 1)) << c.binning;
        EXPECT_EQ(pool.GetSlotSizes().comm, (c.width * c.singleHeight * 2 + 127) / 128 * 128) << c.binning;
    }
    EXPECT_TRUE(log.logged("info", "no binning mode"));
}

TEST_F(ImageBufferTest, SubImagesPerTransferByFrameMode) {
    const struct {
        uint32_t frameMode;
        uint16_t phasesNum;  // 0: the pool has no sizing for the mode
    } cases[] = {{1, 4}, {2, 5}, {3, 5}, {7, 7}, {8, 7}, {9, 7}, {10, 4}, {11, 5},
                 {0, 0}, {4, 0}, {6, 0}, {12, 0}, {17, 0}, {19, 0}};
    for (const auto& c : cases) {
        pool.ReleaseBuffer();  // each case starts unsized
        const WorkModeConfig mode{WORK_MODE_SINGLE_FREQ, static_cast<TofFrameWorkMode>(c.frameMode)};
        const Status status = pool.AllocImageGroupBuffer(ze4c_test::kSmallProfile, mode, 1);
        ImageBuffer* b = nullptr;
        if (c.phasesNum == 0) {
            EXPECT_EQ(status, STATUS_INVALID_ARGUMENT) << c.frameMode;
            EXPECT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_UNAVAILABLE) << c.frameMode;
            continue;
        }
        ASSERT_EQ(status, STATUS_OK) << c.frameMode;
        ASSERT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_OK);
        EXPECT_EQ(b->mapInfo.detail.phasesNum, c.phasesNum) << c.frameMode;
    }
    EXPECT_TRUE(log.logged("error", "upsupported subWorkmode"));
}

// Slots that do not fit one region would overlap the next buffer: such frames are refused
// and the pool stays unsized.
TEST_F(ImageBufferTest, RefusesLayoutsThatOverlapTheNextRegion) {
    const struct {
        FrameProfile profile;
        uint32_t transfers;
    } refused[] = {
        {kVgaProfile, 4},                                          // four transfers of VGA
        {{60, {1280, 480, 0, 0, 1, 1}, BINNING_MODE_NONE}, 1},     // wider than VGA
        {{60, {0, 480, 0, 0, 1, 1}, BINNING_MODE_NONE}, 2},        // no image
        {kVgaProfile, 0},                                          // no transfer
    };
    for (const auto& r : refused) {
        EXPECT_EQ(pool.AllocImageGroupBuffer(r.profile, ze4c_test::kDoubleFrequency, r.transfers),
                  STATUS_INVALID_ARGUMENT);
        ImageBuffer* b = nullptr;
        EXPECT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_UNAVAILABLE);
    }
    EXPECT_TRUE(log.logged("error", "image slots need 19073280 bytes, more than the 12916608 bytes of one buffer: "
                                    "frame refused"))
        << log.text();
    allocateSmall();
}

TEST_F(ImageBufferTest, SecondAllocationKeepsAnEqualLayoutAndRecutsAnother) {
    allocateSmall();
    ImageBuffer* b = nullptr;
    ASSERT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_OK);
    b->seqId = 9;
    b->bufDataSts.store(BUFFER_DATA_STATE_FULL);

    allocateSmall();
    EXPECT_TRUE(log.logged("warning", "buffer already malloc, no need to malloc again!")) << log.text();
    ImageBuffer* read = nullptr;
    ASSERT_EQ(pool.GetInBufsVector(BUFFER_READ, &read), STATUS_OK);
    EXPECT_EQ(read, b) << "an equal layout keeps the frames in the rings";

    // Single frequency: one transfer instead of two. Keeping the old slots would copy a
    // frame of the new size into slots cut for the old one.
    ASSERT_EQ(pool.AllocImageGroupBuffer(ze4c_test::kSmallProfile, ze4c_test::kSingleFrequency, 1), STATUS_OK);
    EXPECT_EQ(pool.GetSlotSizes().raw, (ze4c_test::kSmallTransferBytes + 127) / 128 * 128);
    EXPECT_EQ(pool.GetInBufsVector(BUFFER_READ, &read), STATUS_UNAVAILABLE);
    EXPECT_TRUE(log.logged("info", "frame layout changed: the buffers are cut again, 1 frames in them dropped"));
    ASSERT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_OK);
    EXPECT_EQ(b->mapInfo.framesNum, 1u);
}

// --- Selection rules --------------------------------------------------------------------

struct RingSides {
    const char* name;
    std::function<Status(ImageBufferManager&, BufferUseType, ImageBuffer**)> get;
};

const RingSides kRings[] = {
    {"correction input", [](ImageBufferManager& p, BufferUseType t, ImageBuffer** b) { return p.GetInBufsVector(t, b); }},
    {"correction output",
     [](ImageBufferManager& p, BufferUseType t, ImageBuffer** b) { return p.GetOutBufsVector(t, b); }},
    {"post-processing output",
     [](ImageBufferManager& p, BufferUseType t, ImageBuffer** b) { return p.PpGetOutBufs(t, b); }},
};

TEST_F(ImageBufferTest, RingsAreUnavailableBeforeAllocation) {
    for (const RingSides& ring : kRings) {
        ImageBuffer* b = nullptr;
        EXPECT_EQ(ring.get(pool, BUFFER_WRITE, &b), STATUS_UNAVAILABLE) << ring.name;
        EXPECT_EQ(ring.get(pool, BUFFER_READ, &b), STATUS_UNAVAILABLE) << ring.name;
    }
    ImageBuffer* b = nullptr;
    EXPECT_EQ(pool.PpGetInBufs(&b), STATUS_UNAVAILABLE);
    EXPECT_EQ(pool.SetPpInBufs(), STATUS_UNAVAILABLE);
}

// A writer gets the first empty buffer; a reader the full one with the lowest non-zero
// seqId, ties to ring order; seqId 0 never; eight full buffers leave nothing to write.
TEST_F(ImageBufferTest, SelectionRules) {
    allocateSmall();
    for (const RingSides& ring : kRings) {
        SCOPED_TRACE(ring.name);
        const int32_t seqIds[kImageGroupNum] = {5, 3, 0, 3, 9, 4, 7, 8};
        ImageBuffer* buffers[kImageGroupNum] = {};
        for (int i = 0; i < kImageGroupNum; ++i) {
            ASSERT_EQ(ring.get(pool, BUFFER_WRITE, &buffers[i]), STATUS_OK);
            EXPECT_EQ(buffers[i]->bufId, i) << "first empty in ring order";
            buffers[i]->seqId = seqIds[i];
            buffers[i]->bufDataSts.store(BUFFER_DATA_STATE_FULL);
        }
        ImageBuffer* b = nullptr;
        EXPECT_EQ(ring.get(pool, BUFFER_WRITE, &b), STATUS_UNAVAILABLE) << "all eight full";

        // Reads in order 3 (buffer 1), 3 (buffer 3), 4, 5, 7, 8, 9; the seqId 0 buffer never.
        for (const int expected : {1, 3, 5, 0, 6, 7, 4}) {
            ASSERT_EQ(ring.get(pool, BUFFER_READ, &b), STATUS_OK);
            EXPECT_EQ(b, buffers[expected]);
            b->bufDataSts.store(BUFFER_DATA_STATE_EMPTY);
        }
        EXPECT_EQ(ring.get(pool, BUFFER_READ, &b), STATUS_UNAVAILABLE);
        ASSERT_EQ(ring.get(pool, BUFFER_WRITE, &b), STATUS_OK);
        EXPECT_EQ(b, buffers[0]) << "emptied buffers are written again in ring order";
        buffers[2]->bufDataSts.store(BUFFER_DATA_STATE_EMPTY);
    }
    EXPECT_TRUE(log.logged("debug", "PpGetOutBufs read out vector 1, MinSeqId 3")) << log.text();
}

// One thread publishes frames into the correction input ring as fast as it can while another
// reads them. Catches a read that takes a newer frame while an older one, published just
// before it into a buffer already passed over by the scan, is waiting.
TEST_F(ImageBufferTest, ReaderTakesFramesInOrderWhileTheWriterPublishes) {
    allocateSmall();
    Logger::GetInstance().SetLogLevel("off", true);
    constexpr int32_t kFrames = 20000;
    std::thread writer([&] {
        for (int32_t seq = 1; seq <= kFrames;) {
            ImageBuffer* b = nullptr;
            if (pool.GetInBufsVector(BUFFER_WRITE, &b) != STATUS_OK) continue;
            b->seqId = seq++;
            b->bufDataSts.store(BUFFER_DATA_STATE_FULL, std::memory_order_release);
        }
    });
    int32_t expected = 1;
    while (expected <= kFrames) {
        ImageBuffer* b = nullptr;
        if (pool.GetInBufsVector(BUFFER_READ, &b) != STATUS_OK) continue;
        if (b->seqId != expected) break;
        ++expected;
        b->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
    }
    const int32_t reached = expected;
    // Let a stopped writer finish: drain whatever it still publishes.
    while (expected <= kFrames) {
        ImageBuffer* b = nullptr;
        if (pool.GetInBufsVector(BUFFER_READ, &b) != STATUS_OK) continue;
        ++expected;
        b->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
    }
    writer.join();
    EXPECT_EQ(reached, kFrames + 1) << "frame " << reached << " was passed over";
}

TEST_F(ImageBufferTest, UnsupportedUseTypeIsUnavailable) {
    allocateSmall();
    for (const RingSides& ring : kRings) {
        ImageBuffer* b = nullptr;
        EXPECT_EQ(ring.get(pool, static_cast<BufferUseType>(7), &b), STATUS_UNAVAILABLE) << ring.name;
    }
    int errors = 0;
    for (const ze4c_test::LogRecord& r : log.records()) errors += r.level == "error" && r.message == "unsupported bufType 7";
    EXPECT_EQ(errors, 3) << log.text();
}

// --- Hand-over into post-processing -------------------------------------------------------

class SetPpInBufsTest : public ImageBufferTest {
protected:
    // Publishes a correction output holding seqId, with every slot filled with its number.
    ImageBuffer* publishCorrected(int32_t seqId) {
        ImageBuffer* b = nullptr;
        EXPECT_EQ(pool.GetOutBufsVector(BUFFER_WRITE, &b), STATUS_OK);
        if (b == nullptr) return nullptr;
        for (int slot = IMAGE_SLOT_DEPTH; slot <= IMAGE_SLOT_POINT_CLOUD; ++slot) {
            std::memset(b->buf[slot].data, seqId * 16 + slot, b->buf[slot].size);
        }
        b->seqId = seqId;
        b->depthId = seqId + 100;
        b->bufDataSts.store(BUFFER_DATA_STATE_FULL);
        return b;
    }
};

TEST_F(SetPpInBufsTest, CopiesTheOldestCorrectedFrame) {
    allocateSmall();
    // Post-processing input 0 lies two regions after the block's start (correction input 0).
    ImageBuffer* in0 = nullptr;
    ASSERT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &in0), STATUS_OK);
    std::memset(in0->buf[IMAGE_SLOT_RAW].data + 2 * size_t{kImageRegionBytes}, 0xEE, kImageRegionBytes);

    ImageBuffer* later = publishCorrected(5);
    ImageBuffer* older = publishCorrected(3);
    ASSERT_EQ(pool.SetPpInBufs(), STATUS_OK);
    EXPECT_EQ(older->bufDataSts.load(), BUFFER_DATA_STATE_EMPTY);
    EXPECT_EQ(later->bufDataSts.load(), BUFFER_DATA_STATE_FULL);

    ImageBuffer* ppIn = nullptr;
    ASSERT_EQ(pool.PpGetInBufs(&ppIn), STATUS_OK);
    EXPECT_EQ(ppIn->seqId, 3);
    EXPECT_EQ(ppIn->depthId, 103);
    EXPECT_EQ(ppIn->bufId, 0);
    for (int slot = IMAGE_SLOT_DEPTH; slot <= IMAGE_SLOT_POINT_CLOUD; ++slot) {
        // Confidence and point cloud are left for post-processing to make.
        const bool carried = slot != IMAGE_SLOT_CONFIDENCE && slot != IMAGE_SLOT_POINT_CLOUD;
        const std::vector<uint8_t> expected(ppIn->buf[slot].size, carried ? 3 * 16 + slot : 0xEE);
        EXPECT_EQ(std::vector<uint8_t>(ppIn->buf[slot].data, ppIn->buf[slot].data + expected.size()), expected)
            << "slot " << slot;
    }

    // The post-processing input ring is read oldest first as well.
    ASSERT_EQ(pool.SetPpInBufs(), STATUS_OK);
    ppIn->bufDataSts.store(BUFFER_DATA_STATE_EMPTY);
    ASSERT_EQ(pool.PpGetInBufs(&ppIn), STATUS_OK);
    EXPECT_EQ(ppIn->seqId, 5);
}

TEST_F(SetPpInBufsTest, DropsTheFrameWhenNoInputIsFree) {
    allocateSmall();
    for (int32_t seq = 1; seq <= kImageGroupNum; ++seq) {
        publishCorrected(seq);
        ASSERT_EQ(pool.SetPpInBufs(), STATUS_OK);
    }
    ImageBuffer* dropped = publishCorrected(9);
    EXPECT_EQ(pool.SetPpInBufs(), STATUS_UNAVAILABLE);
    EXPECT_EQ(dropped->bufDataSts.load(), BUFFER_DATA_STATE_EMPTY) << "the correction output is freed all the same";
    EXPECT_TRUE(log.logged("debug", "SetPpInBufs: no buffer can use!"));

    EXPECT_EQ(pool.SetPpInBufs(), STATUS_UNAVAILABLE);
    EXPECT_TRUE(log.logged("error", "GetOutBufsVector error, cannot SetPpInBufs"));
}

// --- Release and the raw list -------------------------------------------------------------

TEST_F(ImageBufferTest, ReleaseEmptiesTheRingsAndAllowsANewLayout) {
    allocateSmall();
    ImageBuffer* b = nullptr;
    ASSERT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_OK);
    uint8_t* const firstSlot = b->buf[IMAGE_SLOT_RAW].data;
    b->seqId = 1;
    b->bufDataSts.store(BUFFER_DATA_STATE_FULL);

    pool.ReleaseBuffer();
    EXPECT_TRUE(log.logged("info", "ReleaseBuffer success!"));
    EXPECT_EQ(b->mapInfo.framesNum, 0u);
    for (const RingSides& ring : kRings) {
        ImageBuffer* none = nullptr;
        EXPECT_EQ(ring.get(pool, BUFFER_WRITE, &none), STATUS_UNAVAILABLE) << ring.name;
        EXPECT_EQ(ring.get(pool, BUFFER_READ, &none), STATUS_UNAVAILABLE) << ring.name;
    }
    // The block is kept and cut again by the next allocation.
    ASSERT_EQ(pool.AllocImageGroupBuffer(kVgaProfile, ze4c_test::kDoubleFrequency, 2), STATUS_OK);
    ASSERT_EQ(pool.GetInBufsVector(BUFFER_WRITE, &b), STATUS_OK);
    EXPECT_EQ(b->buf[IMAGE_SLOT_RAW].data, firstSlot);
    EXPECT_EQ(b->buf[IMAGE_SLOT_RAW].size, 2u * 640 * 5 * 481 * 2);
}

TEST_F(ImageBufferTest, RawListIsKeptForTheTofSensorOnly) {
    uint8_t pixels[4] = {};
    pool.SetRawVector(SENSOR_TYPE_TOF, {std::make_shared<OutputImage>(OutputImage{pixels, 4})});
    pool.SetRawVector(SENSOR_TYPE_RGB, {});
    OutputImageList images;
    pool.GetRawVector(SENSOR_TYPE_TOF, &images);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0]->data, pixels);
    pool.GetRawVector(SENSOR_TYPE_RGB, &images);
    EXPECT_EQ(log.messages(), std::vector<std::string>(2, "sensorType 1 not support")) << log.text();
}

}  // namespace
