#include "algo_common.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "algo_config.h"
#include "log_wrapper.h"
#include "parallel_copy.h"

namespace ZeSdk {

namespace {

constexpr int kRawCopyThreads = 4;

// The image slot for a data type; -1 for a type without one.
int slotOf(FrameDataType type) {
    switch (type) {
        case FRAME_DATA_TYPE_RAW: return IMAGE_SLOT_RAW;
        case FRAME_DATA_TYPE_DEPTH: return IMAGE_SLOT_DEPTH;
        case FRAME_DATA_TYPE_GRAY: return IMAGE_SLOT_GRAY;
        case FRAME_DATA_TYPE_BG: return IMAGE_SLOT_BG;
        case FRAME_DATA_TYPE_AMP: return IMAGE_SLOT_AMP;
        case FRAME_DATA_TYPE_CONFIDENCE: return IMAGE_SLOT_CONFIDENCE;
        case FRAME_DATA_TYPE_FLAG: return IMAGE_SLOT_FLAG;
        case FRAME_DATA_TYPE_POINT: return IMAGE_SLOT_POINT_CLOUD;
        case FRAME_DATA_TYPE_RGB: return IMAGE_SLOT_RGB;
        default: return -1;
    }
}

void count(std::atomic<uint64_t>& counter, uint64_t n = 1) { counter.fetch_add(n, std::memory_order_acq_rel); }

}  // namespace

algoCommon& algoCommon::GetInstance() {
    // The pool (and the logger it creates first) must outlive the pipeline.
    static algoCommon instance(ImageBufferManager::GetInstance());
    return instance;
}

algoCommon::algoCommon(ImageBufferManager& pool) : pool_(pool) {
    Logger::GetInstance();
    config_.cfgFilePath = cfgFilePath_;
    config_.eepromPath = eepromPath_;
    createThreadPool();
}

algoCommon::~algoCommon() { clear(); }

void algoCommon::createThreadPool() {
    m_pThreadPool = std::make_unique<ctpl::thread_pool>(kStageThreads);
    std::printf("number of threads: %d\n", kStageThreads);
}

Status algoCommon::SetStages(const PipelineStages& stages) {
    std::lock_guard<std::mutex> lock(controlMutex_);
    if (isStartAlgo_) {
        ZE_LOG_ERROR("the stages cannot change while the stage loops run");
        return STATUS_BUSY;
    }
    stages_ = stages;
    return STATUS_OK;
}

Status algoCommon::setCaliData(const unsigned char* data, int size) {
    std::lock_guard<std::mutex> lock(controlMutex_);
    if (stages_.correction == nullptr) {
        ZE_LOG_ERROR("no correction stage: calibration data not taken");
        return STATUS_UNAVAILABLE;
    }
    return stages_.correction->setCaliData(data, size);
}

Status algoCommon::configAlg(const AlgoParamsCfgByUser* userCfg, const WorkModeConfig& modeCfg,
                             const FrameProfile& frameCfg) {
    std::lock_guard<std::mutex> lock(controlMutex_);
    if (userCfg == nullptr) {
        ZE_LOG_ERROR("configAlg: no user configuration");
        return STATUS_INVALID_ARGUMENT;
    }
    stopStageLoops();
    Status status = FillCameraParas(*userCfg, modeCfg, frameCfg, &config_);
    if (status != STATUS_OK) return status;
    status = FillAlgoParas(*userCfg, stages_.configurable(), &config_, &algCfg_);
    if (status != STATUS_OK) return status;
    const uint32_t transfers = CalcFrameNumPerDepth(modeCfg.workMode, modeCfg.frameMode);
    return pool_.AllocImageGroupBuffer(frameCfg, modeCfg, transfers);
}

Status algoCommon::startAlg() {
    std::lock_guard<std::mutex> lock(controlMutex_);
    ZE_LOG_INFO("open thread pool");
    printSensorCfg(config_);
    if (stages_.correction == nullptr || stages_.postProcessing == nullptr) {
        ZE_LOG_ERROR("no {} stage: the stage loops are not started and no frame is processed",
                     stages_.correction == nullptr ? "correction" : "post-processing");
        return STATUS_UNAVAILABLE;
    }
    // The pool is deleted by clear; a later start makes a new one.
    if (!m_pThreadPool) createThreadPool();
    needRunThread_.store(true, std::memory_order_release);
    if (!isStartAlgo_) {
        correctionLoop_ = m_pThreadPool->push([this](int index) { return ProcCaliAlgo(index); });
        ppLoop_ = m_pThreadPool->push([this](int index) { return ProcPpAlgo(index); });
        isStartAlgo_ = true;
    }
    return STATUS_OK;
}

void algoCommon::stopStageLoops() {
    needRunThread_.store(false, std::memory_order_release);
    correctionWake_.Notify();
    ppWake_.Notify();
    for (std::future<Status>* loop : {&correctionLoop_, &ppLoop_}) {
        if (loop->valid()) loop->wait();
        *loop = std::future<Status>();
    }
    isStartAlgo_ = false;
}

Status algoCommon::clear() {
    std::lock_guard<std::mutex> lock(controlMutex_);
    if (m_pThreadPool) m_pThreadPool->clear_queue();
    stopStageLoops();
    if (m_pThreadPool) {
        m_pThreadPool->stop(true);
        m_pThreadPool.reset();
    }
    const int dropped = pool_.DiscardFrames();
    if (dropped > 0) {
        count(counters_.discarded, dropped);
        ZE_LOG_INFO("{} unfinished frames dropped", dropped);
    }
    std::memset(cfgFilePath_, 0, sizeof cfgFilePath_);
    std::memset(eepromPath_, 0, sizeof eepromPath_);
    ZE_LOG_INFO("algoCommon clear success");
    return STATUS_OK;
}

template <typename Step>
Status algoCommon::runStageLoop(const WakeEvent& wake, Step step) {
    Status last = STATUS_OK;
    for (;;) {
        // The ticket is taken before looking, so work (or a stop) published meanwhile ends
        // the wait at once.
        const uint64_t ticket = wake.Ticket();
        if (!needRunThread_.load(std::memory_order_acquire)) return last;
        const StepOutcome outcome = step();
        last = outcome.status;
        if (!outcome.progressed) wake.WaitFor(ticket, kIdleWaitBound);
    }
}

Status algoCommon::ProcCaliAlgo(int /*threadIndex*/) {
    ZE_LOG_INFO("open thread: ProcCaliAlgo");
    return runStageLoop(correctionWake_, [this] { return correctionStep(); });
}

Status algoCommon::ProcPpAlgo(int /*threadIndex*/) {
    ZE_LOG_INFO("open thread: ProcPpAlgo");
    return runStageLoop(ppWake_, [this] { return postProcessingStep(); });
}

algoCommon::StepOutcome algoCommon::correctionStep() {
    ImageBuffer* input = nullptr;
    const Status status = pool_.GetInBufsVector(BUFFER_READ, &input);
    if (status != STATUS_OK) return {false, status};
    ImageBuffer* output = nullptr;
    if (pool_.GetOutBufsVector(BUFFER_WRITE, &output) != STATUS_OK) {
        input->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
        count(counters_.droppedCorrectionOutputFull);
        ZE_LOG_INFO("ProcCaliAlgo: pp data full, waiting!");
        return {true, STATUS_UNAVAILABLE};
    }
    const Status result = stages_.correction->CorrectFrame(*input, *output);
    output->bufId = input->bufId;
    output->seqId = input->seqId;
    output->depthId = input->depthId;
    input->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
    output->bufDataSts.store(BUFFER_DATA_STATE_FULL, std::memory_order_release);
    if (pool_.SetPpInBufs() == STATUS_OK) {
        ppWake_.Notify();
    } else {
        count(counters_.droppedPpInputFull);
    }
    count(counters_.corrected);
    return {true, result};
}

algoCommon::StepOutcome algoCommon::postProcessingStep() {
    ImageBuffer* input = nullptr;
    Status status = pool_.PpGetInBufs(&input);
    if (status != STATUS_OK) return {false, status};
    ImageBuffer* output = nullptr;
    status = pool_.PpGetOutBufs(BUFFER_WRITE, &output);
    if (status != STATUS_OK) return {false, status};  // the frame waits for the caller to give one back
    status = stages_.postProcessing->PostProcessFrame(*input, *output);
    if (status != STATUS_OK) {
        // Tried again once new work arrives or the idle bound passes, not in a tight loop.
        count(counters_.postProcessRetries);
        return {false, status};
    }
    output->bufId = input->bufId;
    output->seqId = input->seqId;
    output->depthId = input->depthId;
    output->bufUseSts.store(BUFFER_USE_STATE_FREE, std::memory_order_relaxed);
    output->bufDataSts.store(BUFFER_DATA_STATE_FULL, std::memory_order_release);
    input->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
    count(counters_.postProcessed);
    resultWake_.Notify();
    return {true, STATUS_OK};
}

Status algoCommon::processFrame(const char* raw) {
    if (raw == nullptr) {
        ZE_LOG_ERROR("processFrame: no raw frame");
        return STATUS_INVALID_ARGUMENT;
    }
    ImageBuffer* buffer = nullptr;
    if (pool_.GetInBufsVector(BUFFER_WRITE, &buffer) != STATUS_OK) {
        count(counters_.refusedInputFull);
        return STATUS_UNAVAILABLE;
    }
    ZE_LOG_INFO("*************capture {} ***************", nextSeqId_);
    // The caller's transfers lie back to back; in the slot each starts on its own 128-byte
    // boundary, where the correction stage looks for it. Copying the slot's whole size
    // would read past the caller's frame whenever a transfer is not a multiple of 128.
    const OutputImage& slot = buffer->buf[IMAGE_SLOT_RAW];
    const uint32_t transfers = buffer->mapInfo.framesNum;
    const uint64_t transferBytes = ImageBufferManager::CalcFrameSize(buffer->mapInfo.detail.res, PIXEL_FORMAT_RAW12);
    const uint64_t stride = slot.size / transfers;
    for (uint32_t t = 0; t < transfers; ++t) {
        ParallelCopy(slot.data + t * stride, raw + t * transferBytes, transferBytes, kRawCopyThreads);
    }
    buffer->seqId = nextSeqId_;
    // Wraps after 2^31 - 1 frames, skipping 0 (the pool's "no frame").
    nextSeqId_ = nextSeqId_ == std::numeric_limits<int32_t>::max() ? 1 : nextSeqId_ + 1;
    buffer->bufDataSts.store(BUFFER_DATA_STATE_FULL, std::memory_order_release);
    count(counters_.queued);
    correctionWake_.Notify();
    return STATUS_OK;
}

Status algoCommon::GetAlgoData(FrameDataType type, OutputImage** image) {
    if (image == nullptr) return STATUS_INVALID_ARGUMENT;
    ImageBuffer* buffer = nullptr;
    const Status status = pool_.PpGetOutBufs(BUFFER_READ, &buffer);
    if (status != STATUS_OK) return status;
    ZE_LOG_DEBUG("GetAlgoData DataType:{}, bufId:{}, seqId:{}, depthId:{}", static_cast<uint32_t>(type),
                 buffer->bufId, buffer->seqId, buffer->depthId);
    const int slot = slotOf(type);
    if (slot < 0) {
        ZE_LOG_ERROR("unsupported data type!");
        *image = nullptr;
        return STATUS_OK;
    }
    *image = &buffer->buf[slot];
    return STATUS_OK;
}

Status algoCommon::ReadyNextAlgo() {
    ImageBuffer* buffer = nullptr;
    const Status status = pool_.PpGetOutBufs(BUFFER_READ, &buffer);
    if (status != STATUS_OK) return status;
    buffer->bufUseSts.store(BUFFER_USE_STATE_FREE, std::memory_order_relaxed);
    buffer->bufDataSts.store(BUFFER_DATA_STATE_EMPTY, std::memory_order_release);
    count(counters_.released);
    ppWake_.Notify();
    return STATUS_OK;
}

Status algoCommon::WaitAlgoData(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const uint64_t ticket = resultWake_.Ticket();
        ImageBuffer* finished = nullptr;
        if (pool_.PpGetOutBufs(BUFFER_READ, &finished) == STATUS_OK) return STATUS_OK;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return STATUS_UNAVAILABLE;
        resultWake_.WaitFor(ticket, deadline - now);
    }
}

PipelineCounters algoCommon::GetCounters() const {
    const auto get = [](const std::atomic<uint64_t>& c) { return c.load(std::memory_order_acquire); };
    PipelineCounters c;
    c.queued = get(counters_.queued);
    c.refusedInputFull = get(counters_.refusedInputFull);
    c.droppedCorrectionOutputFull = get(counters_.droppedCorrectionOutputFull);
    c.corrected = get(counters_.corrected);
    c.droppedPpInputFull = get(counters_.droppedPpInputFull);
    c.postProcessed = get(counters_.postProcessed);
    c.postProcessRetries = get(counters_.postProcessRetries);
    c.released = get(counters_.released);
    c.discarded = get(counters_.discarded);
    return c;
}

int algoCommon::WorkerCount() const {
    std::lock_guard<std::mutex> lock(controlMutex_);
    return m_pThreadPool ? m_pThreadPool->size() : 0;
}

}  // namespace ZeSdk
