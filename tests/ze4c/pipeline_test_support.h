// Test stages and helpers for driving the pipeline without the algorithm libraries.
//
// Frames carry their sequence number through every step, so a test can tell which frame
// a buffer holds at each point:
// - the caller's raw frame: every 32-bit word of transfer t holds rawWord(seqId, t);
// - the correction stage checks those words in the raw slot and writes the seqId into the
//   first word of the depth slot and ~seqId into the amplitude slot;
// - the post-processing stage checks the depth word, copies depth and amplitude to the
//   output and marks the confidence slot as post-processed.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "algo_common.h"
#include "image_buffer.h"
#include "pipeline_stages.h"
#include "scratch_dir.h"

namespace ze4c_test {

using namespace ZeSdk;

constexpr uint8_t kPostProcessedMark = 0xA7;

inline int32_t rawWord(int32_t seqId, uint32_t transfer) { return seqId * 4 + static_cast<int32_t>(transfer); }

inline int32_t readWord(const uint8_t* p) {
    int32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

inline void writeWord(uint8_t* p, int32_t value) { std::memcpy(p, &value, sizeof value); }

// Bytes of one sensor transfer of the raw frames a buffer carries.
inline uint64_t transferBytes(const ImageBuffer& buffer) {
    return ImageBufferManager::CalcFrameSize(buffer.mapInfo.detail.res, PIXEL_FORMAT_RAW12);
}

// A raw frame as the caller hands it in: `transfers` transfers of `bytesPerTransfer` bytes
// back to back, sized exactly, so reading past its end is caught by AddressSanitizer.
class RawFrame {
public:
    RawFrame(uint32_t transfers, uint64_t bytesPerTransfer)
        : transfers_(transfers), bytesPerTransfer_(bytesPerTransfer), bytes_(transfers * bytesPerTransfer) {}

    // Fills the frame for the sequence number the pipeline will give it.
    const char* stamp(int32_t seqId) {
        for (uint32_t t = 0; t < transfers_; ++t) {
            uint8_t* start = reinterpret_cast<uint8_t*>(bytes_.data()) + t * bytesPerTransfer_;
            for (uint64_t i = 0; i + 4 <= bytesPerTransfer_; i += 4) writeWord(start + i, rawWord(seqId, t));
        }
        return bytes_.data();
    }

private:
    uint32_t transfers_;
    uint64_t bytesPerTransfer_;
    std::vector<char> bytes_;
};

// True when every transfer of the raw slot starts and ends with the words of the frame's
// seqId, each transfer at its own slot-size / transfers stride.
inline bool rawSlotMatches(const ImageBuffer& buffer) {
    const OutputImage& slot = buffer.buf[IMAGE_SLOT_RAW];
    const uint32_t transfers = buffer.mapInfo.framesNum;
    const uint64_t bytes = transferBytes(buffer);
    for (uint32_t t = 0; t < transfers; ++t) {
        const uint8_t* start = slot.data + t * (slot.size / transfers);
        const int32_t expected = rawWord(buffer.seqId, t);
        if (readWord(start) != expected || readWord(start + (bytes / 4 - 1) * 4) != expected) return false;
    }
    return true;
}

// Records every configuration and frame it gets (read them once the loops have stopped).
class StampingCorrection : public CorrectionStage {
public:
    Status ConfigParams(const TofConfig& config, const AlgoCfgParams& params) override {
        ++configured;
        lastConfig = config;
        lastParams = params;
        return STATUS_OK;
    }
    Status setCaliData(const unsigned char* /*data*/, int size) override {
        caliSize = size;
        return STATUS_OK;
    }
    Status CorrectFrame(const ImageBuffer& input, ImageBuffer& output) override {
        seen.push_back(input.seqId);
        if (!rawSlotMatches(input)) ++rawMismatches;
        writeWord(output.buf[IMAGE_SLOT_DEPTH].data, input.seqId);
        writeWord(output.buf[IMAGE_SLOT_AMP].data, ~input.seqId);
        return STATUS_OK;
    }

    int configured = 0;
    TofConfig lastConfig{};
    AlgoCfgParams lastParams{};
    int caliSize = -1;
    std::vector<int32_t> seen;
    int rawMismatches = 0;
};

class StampingPostProcessing : public PostProcessingStage {
public:
    Status ConfigParams(const TofConfig& /*config*/, const AlgoCfgParams& /*params*/) override {
        ++configured;
        return STATUS_OK;
    }
    Status PostProcessFrame(ImageBuffer& input, ImageBuffer& output) override {
        if (failuresLeft.load() > 0) {
            --failuresLeft;
            return STATUS_GENERIC_ERROR;
        }
        seen.push_back(input.seqId);
        if (readWord(input.buf[IMAGE_SLOT_DEPTH].data) != input.seqId) ++depthMismatches;
        for (const int slot : {IMAGE_SLOT_DEPTH, IMAGE_SLOT_AMP}) {
            std::memcpy(output.buf[slot].data, input.buf[slot].data, output.buf[slot].size);
        }
        output.buf[IMAGE_SLOT_CONFIDENCE].data[0] = kPostProcessedMark;
        return STATUS_OK;
    }

    int configured = 0;
    std::atomic<int> failuresLeft{0};  // the next steps that fail
    std::vector<int32_t> seen;
    int depthMismatches = 0;
};

// What the caller sees of the oldest finished frame.
struct FinishedFrame {
    int32_t depthWord;
    int32_t ampWord;
    uint8_t confidenceMark;
};

inline FinishedFrame readFinished(algoCommon& pipeline) {
    OutputImage* depth = nullptr;
    OutputImage* amp = nullptr;
    OutputImage* confidence = nullptr;
    EXPECT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH, &depth), STATUS_OK);
    EXPECT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_AMP, &amp), STATUS_OK);
    EXPECT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_CONFIDENCE, &confidence), STATUS_OK);
    if (depth == nullptr || amp == nullptr || confidence == nullptr) return {0, 0, 0};
    return {readWord(depth->data), readWord(amp->data), confidence->data[0]};
}

// Polls until the condition holds; false after the timeout (a hang shows as a failure).
inline bool waitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline std::string describe(const PipelineCounters& c) {
    return "queued " + std::to_string(c.queued) + ", refused " + std::to_string(c.refusedInputFull) +
           ", dropped (no correction output) " + std::to_string(c.droppedCorrectionOutputFull) + ", corrected " +
           std::to_string(c.corrected) + ", dropped (no pp input) " + std::to_string(c.droppedPpInputFull) +
           ", post-processed " + std::to_string(c.postProcessed) + ", retries " +
           std::to_string(c.postProcessRetries) + ", released " + std::to_string(c.released) + ", discarded " +
           std::to_string(c.discarded);
}

// Configuration files with one section for double frequency (mode 1, frame mode 11) and
// one for single frequency (mode 0, frame mode 2), and the user settings pointing at them.
class PipelineConfigFiles {
public:
    PipelineConfigFiles() {
        dir.write("ConfigCamera.json", "[double]\nWorkMode=1\nSubWorkMode=11\n[single]\nWorkMode=0\nSubWorkMode=2\n");
        dir.write("ConfigAlgorithm.json", "[AlgoOnoff]\nuseCorrParams=1\nusePostProcParams=1\n");
        directory = dir.str();
        user.eRDOLvl = DENOISE_LEVEL_5;
        user.usValidDistMaxMM = 4500;
        user.cfgFilePath = directory.c_str();
    }

    ScratchDir dir;
    std::string directory;
    AlgoParamsCfgByUser user{};
};

constexpr WorkModeConfig kDoubleFrequency{WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG};
constexpr WorkModeConfig kSingleFrequency{WORK_MODE_SINGLE_FREQ, SUB_MODE_SINGLE_FREQ_4PHASE_GRAY};

// A small frame whose transfers (60 x 5 x 46 x 2 = 27600 bytes) are not a multiple of 128,
// so each transfer's slot space ends in padding.
constexpr FrameProfile kSmallProfile{60, {60, 45, 0, 0, 1, 1}, BINNING_MODE_NONE};
constexpr uint64_t kSmallTransferBytes = 60 * 5 * 46 * 2;

}  // namespace ze4c_test
