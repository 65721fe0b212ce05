// Cost of the processing pipeline itself for the VGA double-frequency geometry (640 x 480,
// two transfers of five sub-images): the raw copy into the pool, the hand-over into the
// post-processing ring, the buffer states and the wake-ups, with stages that do nothing.
// Also the CPU the two stage threads use while they wait for frames.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>
#include <vector>

#include "algo_common.h"
#include "image_buffer.h"
#include "log_wrapper.h"
#include "parallel_copy.h"

namespace {

using namespace ZeSdk;

class NoCorrection : public CorrectionStage {
public:
    Status ConfigParams(const TofConfig&, const AlgoCfgParams&) override { return STATUS_OK; }
    Status setCaliData(const unsigned char*, int) override { return STATUS_OK; }
    Status CorrectFrame(const ImageBuffer&, ImageBuffer&) override { return STATUS_OK; }
};

class NoPostProcessing : public PostProcessingStage {
public:
    Status ConfigParams(const TofConfig&, const AlgoCfgParams&) override { return STATUS_OK; }
    Status PostProcessFrame(ImageBuffer&, ImageBuffer&) override { return STATUS_OK; }
};

constexpr FrameProfile kVgaProfile{60, {640, 480, 0, 0, 1, 1}, BINNING_MODE_NONE};
constexpr WorkModeConfig kDoubleFrequency{WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG};
constexpr size_t kRawFrameBytes = 2 * 640 * 5 * 481 * 2;

// A started pipeline with do-nothing stages on a pool cut for VGA double frequency.
struct VgaPipeline {
    VgaPipeline() {
        Logger::GetInstance().SetLogLevel("off", true);
        pipeline.SetStages({&correction, &postProcessing});
        pool.AllocImageGroupBuffer(kVgaProfile, kDoubleFrequency, 2);
        pipeline.startAlg();
    }

    // Hands in n frames and takes their n results back.
    bool roundTrip(int n) {
        for (int i = 0; i < n; ++i) {
            if (pipeline.processFrame(raw.data()) != STATUS_OK) return false;
        }
        for (int i = 0; i < n; ++i) {
            OutputImage* depth = nullptr;
            if (pipeline.WaitAlgoData(std::chrono::seconds(5)) != STATUS_OK) return false;
            pipeline.GetAlgoData(FRAME_DATA_TYPE_DEPTH, &depth);
            benchmark::DoNotOptimize(depth);
            pipeline.ReadyNextAlgo();
        }
        return true;
    }

    ImageBufferManager pool;
    NoCorrection correction;
    NoPostProcessing postProcessing;
    algoCommon pipeline{pool};
    std::vector<char> raw = std::vector<char>(kRawFrameBytes, 1);
};

// One frame at a time: hand in, wait for the result, give it back. Includes both wake-ups.
void BM_PipelineFrameLatency(benchmark::State& state) {
    VgaPipeline vga;
    for (auto _ : state) {
        if (!vga.roundTrip(1)) state.SkipWithError("no result");
    }
    state.counters["per_frame"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}
BENCHMARK(BM_PipelineFrameLatency)->Unit(benchmark::kMillisecond)->UseRealTime();

// Eight frames in flight (a full input ring): the copies of one frame overlap the stage
// threads' work on the others.
void BM_PipelineFrameThroughput(benchmark::State& state) {
    VgaPipeline vga;
    constexpr int kBatch = kImageGroupNum;
    for (auto _ : state) {
        if (!vga.roundTrip(kBatch)) state.SkipWithError("no result");
    }
    state.counters["per_frame"] = benchmark::Counter(kBatch, benchmark::Counter::kIsIterationInvariantRate |
                                                                 benchmark::Counter::kInvert);
}
BENCHMARK(BM_PipelineFrameThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

// The raw copy alone (6.2 MB), serial and with the four-thread team processFrame uses: the
// floor under the per-frame figures above.
void BM_RawFrameCopy(benchmark::State& state) {
    std::vector<char> source(kRawFrameBytes, 1), target(kRawFrameBytes);
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ParallelCopy(target.data(), source.data(), kRawFrameBytes, threads);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRawFrameBytes);
}
BENCHMARK(BM_RawFrameCopy)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU time of the whole process while this thread sleeps and the started pipeline has no
// frame: what the two waiting stage threads cost, in percent of one core.
void BM_IdleStageThreadsCpu(benchmark::State& state) {
    VgaPipeline vga;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let earlier work settle
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - wallBefore;
        cpu += processCpuSeconds() - cpuBefore;
        wall += elapsed.count();
        state.SetIterationTime(elapsed.count());
    }
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_IdleStageThreadsCpu)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
