// The processing pipeline: raw frames from the caller pass through the correction stage
// and the post-processing stage, each running as a loop on its own worker thread, and
// come back to the caller through the four rings of the image buffer pool.
//
// Frame flow and drop rules:
// - processFrame copies a raw frame into the first empty correction input buffer and
//   gives it the next sequence number; with none empty the frame is refused
//   (STATUS_UNAVAILABLE).
// - The correction loop takes the oldest full input and an empty correction output; with
//   no empty output the input is dropped. Otherwise the frame is corrected and moved on to
//   the first empty post-processing input; with none empty it is dropped there.
// - The post-processing loop takes the oldest full post-processing input once an empty
//   output exists (until then the frame waits) and finishes it into that output.
// - GetAlgoData shows the oldest finished frame; ReadyNextAlgo gives it back.
// Frames therefore leave in sequence-number order; a dropped frame never reaches the
// caller, and every drop is counted (GetCounters).
//
// Idle stage loops sleep until work arrives for them: every producer wakes the loop it
// feeds after publishing, and no wake-up is lost (WakeEvent). The bound kIdleWaitBound is
// a safety net and the retry interval of a failing post-processing step; no hand-over
// waits for it, so it can be long enough that an idle pipeline costs almost no CPU.
//
// Without both stages the pipeline does not run: configAlg and startAlg answer
// STATUS_UNAVAILABLE, and a frame handed in is never corrected: it waits in the correction
// input ring, or is refused when that ring is full or not yet sized. No frame is passed
// off as corrected or post-processed when a stage is missing.
//
// Threads: configAlg, startAlg, clear, SetStages and setCaliData are serialised among
// themselves; processFrame, GetAlgoData, ReadyNextAlgo and WaitAlgoData belong to one
// caller thread at a time and must not overlap configAlg or clear.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>

#include "config_types.h"
#include "image_buffer.h"
#include "pipeline_stages.h"
#include "status.h"
#include "thread_pool.h"
#include "wake_event.h"

namespace ZeSdk {

// Frame counts since the pipeline was created.
struct PipelineCounters {
    uint64_t queued = 0;                       // frames accepted by processFrame
    uint64_t refusedInputFull = 0;             // frames processFrame refused: no empty input
    uint64_t droppedCorrectionOutputFull = 0;  // dropped before correction: no empty correction output
    uint64_t corrected = 0;                    // frames through the correction step, whatever the stage said
    uint64_t droppedPpInputFull = 0;           // corrected, then dropped: no empty post-processing input
    uint64_t postProcessed = 0;                // frames finished into the post-processing output ring
    uint64_t postProcessRetries = 0;           // failed post-processing steps (the input was kept)
    uint64_t released = 0;                     // finished frames given back by ReadyNextAlgo
    uint64_t discarded = 0;                    // frames still in the rings when clear emptied them
};

class algoCommon {
public:
    static constexpr int kStageThreads = 2;
    static constexpr std::chrono::milliseconds kIdleWaitBound{50};

    // The process-wide pipeline on the process-wide buffer pool, without stages until
    // SetStages gives it some.
    static algoCommon& GetInstance();

    // A pipeline on the given pool, with its thread pool of kStageThreads idle workers and
    // no stages. The library uses only GetInstance(); tests make their own.
    explicit algoCommon(ImageBufferManager& pool);
    ~algoCommon();  // clear()
    algoCommon(const algoCommon&) = delete;
    algoCommon& operator=(const algoCommon&) = delete;

    // Chooses the stages; STATUS_BUSY while the stage loops run.
    Status SetStages(const PipelineStages& stages);

    // Hands the caller's calibration data to the correction stage.
    Status setCaliData(const unsigned char* data, int size);

    // Reads both configuration files, configures both stages and sizes the buffer pool.
    // Stage loops that are running are stopped first (stages and pool are reconfigured
    // with no frame in their hands); startAlg starts them again. The first failing step's
    // status is returned and nothing after it is done.
    Status configAlg(const AlgoParamsCfgByUser* userCfg, const WorkModeConfig& modeCfg, const FrameProfile& frameCfg);

    // Starts the two stage loops (a no-op while they run); after clear a new thread pool
    // is made first. STATUS_UNAVAILABLE, starting nothing, without both stages.
    Status startAlg();

    // Queues one raw frame (numInputFrames sensor transfers of the configured size, back to
    // back). STATUS_UNAVAILABLE when no input buffer is free: the frame is dropped.
    Status processFrame(const char* raw);

    // Points *image at a slot of the oldest finished frame, valid until ReadyNextAlgo.
    // STATUS_UNAVAILABLE when no frame is finished. A type without a slot
    // (FRAME_DATA_TYPE_DEPTH_CAPTURE) gives no image (null) with STATUS_OK.
    Status GetAlgoData(FrameDataType type, OutputImage** image);

    // Gives the oldest finished frame back to the pool.
    Status ReadyNextAlgo();

    // Waits until a finished frame exists (STATUS_OK) or the timeout passes (STATUS_UNAVAILABLE).
    Status WaitAlgoData(std::chrono::milliseconds timeout);

    // Stops the stage loops, joins and deletes the thread pool, drops the frames still in
    // the rings (they belong to the session that ends) and empties the path buffers.
    Status clear();

    PipelineCounters GetCounters() const;

    // Workers of the thread pool; 0 after clear.
    int WorkerCount() const;

private:
    struct StepOutcome {
        bool progressed;  // a frame was taken; look for the next one at once
        Status status;
    };
    struct Counters {
        std::atomic<uint64_t> queued{0}, refusedInputFull{0}, droppedCorrectionOutputFull{0}, corrected{0},
            droppedPpInputFull{0}, postProcessed{0}, postProcessRetries{0}, released{0}, discarded{0};
    };

    Status ProcCaliAlgo(int threadIndex);
    Status ProcPpAlgo(int threadIndex);
    template <typename Step>
    Status runStageLoop(const WakeEvent& wake, Step step);
    StepOutcome correctionStep();
    StepOutcome postProcessingStep();
    void createThreadPool();
    void stopStageLoops();

    ImageBufferManager& pool_;
    PipelineStages stages_;
    TofConfig config_{};
    AlgoCfgParams algCfg_{};
    // The two path buffers config_ points to; they live as long as the pipeline, so a
    // stage's copy of config_ never holds a dangling pointer.
    char cfgFilePath_[kConfigPathBytes] = {};
    char eepromPath_[kConfigPathBytes] = {};
    std::unique_ptr<ctpl::thread_pool> m_pThreadPool;
    std::future<Status> correctionLoop_;
    std::future<Status> ppLoop_;
    std::atomic<bool> needRunThread_{true};
    bool isStartAlgo_ = false;
    int32_t nextSeqId_ = 1;  // 0 means "no frame" in the pool, so numbering starts at 1
    WakeEvent correctionWake_;  // a raw frame was queued
    WakeEvent ppWake_;          // a corrected frame arrived, or an output buffer was given back
    WakeEvent resultWake_;      // a frame was finished
    Counters counters_;
    mutable std::mutex controlMutex_;
};

}  // namespace ZeSdk
