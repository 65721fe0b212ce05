// The processing pipeline driven by test stages that stamp each frame's sequence number:
// configuration, the frame flow and its drop rules, GetAlgoData and ReadyNextAlgo, stages
// that are missing or fail, clear, restart, and the process-wide instance behind the facade.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "algoWrapper.h"
#include "algo_common.h"
#include "log_capture.h"
#include "pipeline_test_support.h"
#include "scratch_dir.h"

namespace {

using namespace ZeSdk;
using namespace ze4c_test;
using namespace std::chrono_literals;

std::vector<int32_t> sequence(int32_t first, int32_t last) {
    std::vector<int32_t> result;
    for (int32_t s = first; s <= last; ++s) result.push_back(s);
    return result;
}

// Members are declared so that the pipeline (and its threads) goes before the stages it
// calls, and the log capture outlives everything that logs. The captured text is read only
// once the stage threads are stopped.
class PipelineTest : public ::testing::Test {
protected:
    LogCapture log{"info"};
    ImageBufferManager pool;
    StampingCorrection correction;
    StampingPostProcessing postProcessing;
    algoCommon pipeline{pool};
    PipelineConfigFiles files;
    RawFrame raw{2, kSmallTransferBytes};
    int32_t nextSeq = 1;

    void useStages() { ASSERT_EQ(pipeline.SetStages({&correction, &postProcessing}), STATUS_OK); }
    void configure(const WorkModeConfig& mode = kDoubleFrequency) {
        ASSERT_EQ(pipeline.configAlg(&files.user, mode, kSmallProfile), STATUS_OK);
    }
    void start() {
        useStages();
        configure();
        ASSERT_EQ(pipeline.startAlg(), STATUS_OK);
    }
    Status feed(RawFrame& frame) {
        const Status status = pipeline.processFrame(frame.stamp(nextSeq));
        if (status == STATUS_OK) ++nextSeq;
        return status;
    }
    Status feed() { return feed(raw); }

    // Takes the oldest finished frame, checks that both stages made it, gives it back.
    void expectFinished(int32_t seqId) {
        ASSERT_EQ(pipeline.WaitAlgoData(20s), STATUS_OK) << "frame " << seqId << ": " << describe(pipeline.GetCounters());
        const FinishedFrame frame = readFinished(pipeline);
        EXPECT_EQ(frame.depthWord, seqId);
        EXPECT_EQ(frame.ampWord, ~seqId);
        EXPECT_EQ(frame.confidenceMark, kPostProcessedMark);
        EXPECT_EQ(pipeline.ReadyNextAlgo(), STATUS_OK);
    }
    bool settle(const std::function<bool(const PipelineCounters&)>& condition) {
        return waitUntil([&] { return condition(pipeline.GetCounters()); });
    }
};

TEST_F(PipelineTest, ConfigAlgConfiguresBothStagesAndSizesThePool) {
    useStages();
    configure();
    EXPECT_EQ(correction.configured, 1);
    EXPECT_EQ(postProcessing.configured, 1);
    EXPECT_EQ(correction.lastConfig.frameMode, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG);
    EXPECT_EQ(correction.lastConfig.roi.xSize, 60);
    ASSERT_NE(correction.lastConfig.cfgFilePath, nullptr);
    EXPECT_EQ(std::string(correction.lastConfig.cfgFilePath), files.directory);
    EXPECT_EQ(correction.lastParams.ppParams.usValidDistMaxMM, 4500u);
    EXPECT_EQ(pool.GetSlotSizes().raw, 2 * ((kSmallTransferBytes + 127) / 128 * 128));
    EXPECT_EQ(pipeline.configAlg(nullptr, kDoubleFrequency, kSmallProfile), STATUS_INVALID_ARGUMENT);
}

// A failed configuration sizes nothing, so no frame is accepted afterwards.
TEST_F(PipelineTest, FailedConfigurationSizesNothing) {
    ScratchDir empty;
    WorkingDirectory cwd(empty.path());
    const std::string emptyDirectory = empty.str();
    AlgoParamsCfgByUser noFiles = files.user;
    noFiles.cfgFilePath = emptyDirectory.c_str();
    ASSERT_EQ(pipeline.SetStages({&correction, &postProcessing}), STATUS_OK);
    EXPECT_EQ(pipeline.configAlg(&noFiles, kDoubleFrequency, kSmallProfile), STATUS_UNAVAILABLE);

    // Without stages the configuration files are read but the stages' part is missing.
    ASSERT_EQ(pipeline.SetStages({}), STATUS_OK);
    EXPECT_EQ(pipeline.configAlg(&files.user, kDoubleFrequency, kSmallProfile), STATUS_UNAVAILABLE);
    EXPECT_EQ(feed(), STATUS_UNAVAILABLE);
    EXPECT_EQ(correction.configured, 0);
    EXPECT_EQ(pool.GetSlotSizes().raw, 0u);
}

TEST_F(PipelineTest, NinthFrameIsRefusedWhileEightInputsAreFull) {
    useStages();
    configure();  // not started: nothing takes the inputs
    for (int i = 0; i < kImageGroupNum; ++i) EXPECT_EQ(feed(), STATUS_OK);
    EXPECT_EQ(feed(), STATUS_UNAVAILABLE);
    EXPECT_EQ(pipeline.GetCounters().queued, 8u);
    EXPECT_EQ(pipeline.GetCounters().refusedInputFull, 1u);

    // The eight queued frames are processed once the loops start, oldest first.
    ASSERT_EQ(pipeline.startAlg(), STATUS_OK);
    for (int32_t seq = 1; seq <= 8; ++seq) expectFinished(seq);
    pipeline.clear();
    EXPECT_EQ(correction.seen, sequence(1, 8));
    EXPECT_EQ(correction.rawMismatches, 0) << "a raw frame not where the correction stage reads it";
    EXPECT_EQ(postProcessing.depthMismatches, 0);
    EXPECT_TRUE(log.logged("info", "*************capture 8 ***************")) << log.text();
}

TEST_F(PipelineTest, GetAlgoDataShowsTheOldestFrameUntilReleased) {
    OutputImage* image = nullptr;
    EXPECT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH, &image), STATUS_UNAVAILABLE);
    EXPECT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH_CAPTURE, &image), STATUS_UNAVAILABLE);
    EXPECT_EQ(pipeline.ReadyNextAlgo(), STATUS_UNAVAILABLE);

    start();
    ASSERT_EQ(feed(), STATUS_OK);
    ASSERT_EQ(feed(), STATUS_OK);
    ASSERT_TRUE(settle([](const PipelineCounters& c) { return c.postProcessed == 2; }));

    // Twice without ReadyNextAlgo: the same buffer.
    OutputImage* depth = nullptr;
    OutputImage* again = nullptr;
    ASSERT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH, &depth), STATUS_OK);
    ASSERT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH, &again), STATUS_OK);
    EXPECT_EQ(depth, again);
    EXPECT_EQ(readWord(depth->data), 1);

    const struct {
        FrameDataType type;
        int slot;
    } slots[] = {{FRAME_DATA_TYPE_RAW, 0},  {FRAME_DATA_TYPE_DEPTH, 1},      {FRAME_DATA_TYPE_GRAY, 2},
                 {FRAME_DATA_TYPE_BG, 3},   {FRAME_DATA_TYPE_AMP, 4},        {FRAME_DATA_TYPE_CONFIDENCE, 5},
                 {FRAME_DATA_TYPE_FLAG, 6}, {FRAME_DATA_TYPE_POINT, 7},      {FRAME_DATA_TYPE_RGB, 8}};
    for (const auto& s : slots) {
        ASSERT_EQ(pipeline.GetAlgoData(s.type, &image), STATUS_OK);
        EXPECT_EQ(image - depth, s.slot - IMAGE_SLOT_DEPTH) << "type " << s.type;
    }
    EXPECT_EQ(image->data, nullptr) << "the RGB slot has no memory";

    image = depth;
    EXPECT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH_CAPTURE, &image), STATUS_OK);
    EXPECT_EQ(image, nullptr);

    ASSERT_EQ(pipeline.ReadyNextAlgo(), STATUS_OK);
    ASSERT_EQ(pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH, &depth), STATUS_OK);
    EXPECT_EQ(readWord(depth->data), 2);
    ASSERT_EQ(pipeline.ReadyNextAlgo(), STATUS_OK);
    EXPECT_EQ(pipeline.ReadyNextAlgo(), STATUS_UNAVAILABLE);
    pipeline.clear();
    EXPECT_TRUE(log.logged("error", "unsupported data type!")) << log.text();
}

// With no consumer the post-processing output ring fills (frames 1-8), then its input ring
// (9-16); after that each corrected frame is dropped. Each frame is fed once the previous
// one has settled, so the outcome is exact.
TEST_F(PipelineTest, DropsWhenDownstreamRingsAreFull) {
    start();
    for (uint64_t k = 1; k <= 20; ++k) {
        ASSERT_EQ(feed(), STATUS_OK);
        ASSERT_TRUE(settle([k](const PipelineCounters& c) { return c.corrected == k && c.postProcessed == std::min<uint64_t>(k, 8); }))
            << describe(pipeline.GetCounters());
    }
    const PipelineCounters counters = pipeline.GetCounters();
    EXPECT_EQ(counters.droppedPpInputFull, 4u);
    EXPECT_EQ(counters.droppedCorrectionOutputFull, 0u);
    EXPECT_EQ(counters.refusedInputFull, 0u);

    for (int32_t seq = 1; seq <= 16; ++seq) expectFinished(seq);
    EXPECT_EQ(pipeline.WaitAlgoData(50ms), STATUS_UNAVAILABLE) << "frames 17-20 were dropped";
    pipeline.clear();
    EXPECT_EQ(correction.seen, sequence(1, 20));
    EXPECT_EQ(postProcessing.seen, sequence(1, 16));
}

// A correction output ring with no empty buffer (here: held by frames of seqId 0, which no
// reader takes) makes the correction step drop its input.
TEST_F(PipelineTest, CorrectionWithoutAFreeOutputDropsTheFrame) {
    useStages();
    configure();
    for (int i = 0; i < kImageGroupNum; ++i) {
        ImageBuffer* held = nullptr;
        ASSERT_EQ(pool.GetOutBufsVector(BUFFER_WRITE, &held), STATUS_OK);
        held->seqId = 0;
        held->bufDataSts.store(BUFFER_DATA_STATE_FULL);
    }
    ASSERT_EQ(pipeline.startAlg(), STATUS_OK);
    ASSERT_EQ(feed(), STATUS_OK);
    ASSERT_TRUE(settle([](const PipelineCounters& c) { return c.droppedCorrectionOutputFull == 1; }));
    EXPECT_EQ(pipeline.WaitAlgoData(50ms), STATUS_UNAVAILABLE);
    pipeline.clear();
    EXPECT_TRUE(correction.seen.empty());
    EXPECT_EQ(pipeline.GetCounters().corrected, 0u);
    EXPECT_TRUE(log.logged("info", "ProcCaliAlgo: pp data full, waiting!")) << log.text();
}

TEST_F(PipelineTest, FailedPostProcessingKeepsItsInputForTheNextStep) {
    postProcessing.failuresLeft = 3;
    start();
    ASSERT_EQ(feed(), STATUS_OK);
    ASSERT_EQ(feed(), STATUS_OK);
    expectFinished(1);
    expectFinished(2);
    pipeline.clear();
    EXPECT_EQ(pipeline.GetCounters().postProcessRetries, 3u);
    EXPECT_EQ(postProcessing.seen, sequence(1, 2));
}

// Missing stages: nothing runs and no frame is passed off as processed; the frame handed
// in stays uncorrected in the correction input ring.
TEST_F(PipelineTest, WithoutStagesNoFrameIsProcessed) {
    EXPECT_EQ(pipeline.setCaliData(reinterpret_cast<const unsigned char*>("blob"), 4), STATUS_UNAVAILABLE);
    ASSERT_EQ(pool.AllocImageGroupBuffer(kSmallProfile, kDoubleFrequency, 2), STATUS_OK);
    ASSERT_EQ(feed(), STATUS_OK);
    EXPECT_EQ(pipeline.startAlg(), STATUS_UNAVAILABLE);
    ASSERT_EQ(pipeline.SetStages({&correction, nullptr}), STATUS_OK);
    EXPECT_EQ(pipeline.startAlg(), STATUS_UNAVAILABLE);
    EXPECT_EQ(pipeline.WaitAlgoData(50ms), STATUS_UNAVAILABLE);

    ImageBuffer* waiting = nullptr;
    ASSERT_EQ(pool.GetInBufsVector(BUFFER_READ, &waiting), STATUS_OK);
    EXPECT_EQ(waiting->seqId, 1);
    pipeline.clear();
    EXPECT_TRUE(correction.seen.empty());
    EXPECT_TRUE(log.logged("error", "no correction stage: calibration data not taken")) << log.text();
    EXPECT_TRUE(log.logged("error", "no correction stage: the stage loops are not started and no frame is processed"));
    EXPECT_TRUE(log.logged("error", "no post-processing stage: the stage loops are not started and no frame is processed"));
}

// Catches stage loops that spin on without noticing the stop, or a clear that leaves the
// workers behind. The bound is generous: it separates "returns" from "hangs".
TEST_F(PipelineTest, ClearWhileIdleReturnsPromptlyAndJoinsTheWorkers) {
    start();
    EXPECT_EQ(pipeline.WorkerCount(), algoCommon::kStageThreads);
    std::this_thread::sleep_for(50ms);  // both loops are waiting for work
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(pipeline.clear(), STATUS_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    EXPECT_EQ(pipeline.WorkerCount(), 0);
    EXPECT_EQ(pipeline.clear(), STATUS_OK) << "a second clear has nothing left to do";
    for (const char* line : {"open thread pool", "open thread: ProcCaliAlgo", "open thread: ProcPpAlgo",
                             "algoCommon clear success"}) {
        EXPECT_TRUE(log.logged("info", line)) << line << "\n" << log.text();
    }
}

// A camera closed and opened again in one process: after clear a new start makes new
// workers and frames flow again. Frames left from the ended session are dropped, not
// delivered to the next one.
TEST_F(PipelineTest, StartAfterClearDeliversFramesAgain) {
    start();
    ASSERT_EQ(feed(), STATUS_OK);
    expectFinished(1);
    ASSERT_EQ(feed(), STATUS_OK);
    ASSERT_EQ(feed(), STATUS_OK);
    ASSERT_TRUE(settle([](const PipelineCounters& c) { return c.postProcessed == 3; }));

    ASSERT_EQ(pipeline.clear(), STATUS_OK);
    EXPECT_EQ(pipeline.WorkerCount(), 0);
    EXPECT_EQ(pipeline.GetCounters().discarded, 2u);

    ASSERT_EQ(pipeline.startAlg(), STATUS_OK);
    EXPECT_EQ(pipeline.WorkerCount(), algoCommon::kStageThreads);
    EXPECT_EQ(pipeline.WaitAlgoData(50ms), STATUS_UNAVAILABLE);
    ASSERT_EQ(feed(), STATUS_OK);
    expectFinished(4);

    // Configured again after clear, the stages see the configuration directory again.
    pipeline.clear();
    configure();
    EXPECT_EQ(std::string(correction.lastConfig.cfgFilePath), files.directory);
    ASSERT_EQ(pipeline.startAlg(), STATUS_OK);
    ASSERT_EQ(feed(), STATUS_OK);
    expectFinished(5);
}

// Reconfiguring a running pipeline (a camera stopped and started again) stops the loops
// until startAlg; a new frame geometry cuts the pool again and frames of the new size
// flow (a copy of the old slot size would read past the smaller frame).
TEST_F(PipelineTest, ConfigAlgWhileRunningStopsTheLoopsUntilStartAlg) {
    start();
    ASSERT_EQ(feed(), STATUS_OK);
    expectFinished(1);

    configure();
    EXPECT_EQ(pipeline.SetStages({&correction, &postProcessing}), STATUS_OK) << "the loops are stopped now";
    ASSERT_EQ(feed(), STATUS_OK);
    EXPECT_EQ(pipeline.WaitAlgoData(50ms), STATUS_UNAVAILABLE);
    ASSERT_EQ(pipeline.startAlg(), STATUS_OK);
    EXPECT_EQ(pipeline.SetStages({}), STATUS_BUSY);
    expectFinished(2);

    configure(kSingleFrequency);
    ASSERT_EQ(pipeline.startAlg(), STATUS_OK);
    RawFrame single(1, kSmallTransferBytes);
    ASSERT_EQ(feed(single), STATUS_OK);
    expectFinished(3);
    pipeline.clear();
    EXPECT_EQ(correction.rawMismatches, 0);
}

// The facade binds to the process-wide pipeline, forwards every call to it and clears it
// when destroyed. The test leaves that pipeline without stages and threads.
TEST(PipelineInstanceTest, WrapperDrivesTheProcessWidePipelineAndClearsIt) {
    LogCapture log{"info"};
    StampingCorrection correction;
    StampingPostProcessing postProcessing;
    PipelineConfigFiles files;
    algoCommon& pipeline = algoCommon::GetInstance();
    EXPECT_EQ(&pipeline, &algoCommon::GetInstance());
    ASSERT_EQ(pipeline.SetStages({&correction, &postProcessing}), STATUS_OK);
    {
        algoWrapper wrapper;
        EXPECT_EQ(wrapper.SetFrameProfile(nullptr), STATUS_INVALID_ARGUMENT);
        ASSERT_EQ(wrapper.SetFrameProfile(&kSmallProfile), STATUS_OK);
        ASSERT_EQ(wrapper.setWorkMode(kDoubleFrequency), STATUS_OK);
        const unsigned char blob[3] = {1, 2, 3};
        EXPECT_EQ(wrapper.setCaliData(blob, 3), STATUS_OK);
        EXPECT_EQ(correction.caliSize, 3);
        ASSERT_EQ(wrapper.configAlg(&files.user), STATUS_OK);
        EXPECT_EQ(correction.lastConfig.frameMode, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG);
        ASSERT_EQ(wrapper.startAlg(), STATUS_OK);
        RawFrame raw(2, kSmallTransferBytes);
        ASSERT_EQ(wrapper.processFrame(raw.stamp(1)), STATUS_OK);
        ASSERT_EQ(pipeline.WaitAlgoData(20s), STATUS_OK);
        OutputImage* depth = nullptr;
        ASSERT_EQ(wrapper.GetAlgoData(FRAME_DATA_TYPE_DEPTH, &depth), STATUS_OK);
        EXPECT_EQ(readWord(depth->data), 1);
        EXPECT_EQ(wrapper.ReadyNextAlgo(), STATUS_OK);
        EXPECT_EQ(pipeline.WorkerCount(), algoCommon::kStageThreads);
    }
    EXPECT_EQ(pipeline.WorkerCount(), 0);
    EXPECT_EQ(pipeline.SetStages({}), STATUS_OK);
    EXPECT_TRUE(log.logged("info", "ZE SDK Version: v2.0.240620")) << log.text();
    EXPECT_TRUE(log.logged("info", "~algoWrapper success"));
}

}  // namespace
