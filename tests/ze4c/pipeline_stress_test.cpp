// 10 000 frames through both stages while a consumer takes the results, once slowly and
// once as fast as it can. Catches frames lost, duplicated, reordered or mixed up between
// threads, and drops that no rule accounts for; under ThreadSanitizer it also catches any
// hand-over that is not ordered.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>
#include <vector>

#include "algo_common.h"
#include "log_wrapper.h"
#include "pipeline_test_support.h"

namespace {

using namespace ZeSdk;
using namespace ze4c_test;
using namespace std::chrono_literals;

constexpr int kFrames = 10000;

struct ConsumerPace {
    const char* name;
    std::chrono::microseconds delay;  // spent on each finished frame before giving it back
};

void PrintTo(const ConsumerPace& pace, std::ostream* out) { *out << pace.name << " consumer"; }

class PipelineStressTest : public ::testing::TestWithParam<ConsumerPace> {
protected:
    void SetUp() override { Logger::GetInstance().SetLogLevel("off", true); }

    ImageBufferManager pool;
    StampingCorrection correction;
    StampingPostProcessing postProcessing;
    algoCommon pipeline{pool};
    PipelineConfigFiles files;
};

// Nothing is in flight: every accepted frame was corrected or dropped before correction,
// every corrected one finished or dropped after it, every finished one given back.
bool settled(const PipelineCounters& c) {
    return c.corrected + c.droppedCorrectionOutputFull == c.queued &&
           c.postProcessed + c.droppedPpInputFull == c.corrected && c.released == c.postProcessed;
}

TEST_P(PipelineStressTest, EveryFrameIsDeliveredInOrderOrCountedAsDropped) {
    ASSERT_EQ(pipeline.SetStages({&correction, &postProcessing}), STATUS_OK);
    ASSERT_EQ(pipeline.configAlg(&files.user, kDoubleFrequency, kSmallProfile), STATUS_OK);
    ASSERT_EQ(pipeline.startAlg(), STATUS_OK);

    std::atomic<bool> producerDone{false};
    std::vector<int32_t> delivered;
    int contentErrors = 0;
    bool timedOut = false;
    std::thread consumer([&] {
        const auto deadline = std::chrono::steady_clock::now() + 300s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (pipeline.WaitAlgoData(5ms) == STATUS_OK) {
                const FinishedFrame frame = readFinished(pipeline);
                delivered.push_back(frame.depthWord);
                if (frame.ampWord != ~frame.depthWord || frame.confidenceMark != kPostProcessedMark) ++contentErrors;
                if (GetParam().delay.count() > 0) std::this_thread::sleep_for(GetParam().delay);
                pipeline.ReadyNextAlgo();
                continue;
            }
            if (producerDone.load() && settled(pipeline.GetCounters())) return;
        }
        timedOut = true;
    });

    RawFrame raw(2, kSmallTransferBytes);
    int32_t nextSeq = 1;
    int refused = 0;
    for (int i = 0; i < kFrames; ++i) {
        if (pipeline.processFrame(raw.stamp(nextSeq)) == STATUS_OK) {
            ++nextSeq;
        } else {
            ++refused;
            std::this_thread::sleep_for(20us);  // the next frame of a camera comes a little later
        }
    }
    producerDone = true;
    consumer.join();
    ASSERT_FALSE(timedOut) << describe(pipeline.GetCounters());
    pipeline.clear();

    const PipelineCounters c = pipeline.GetCounters();
    const uint64_t accepted = nextSeq - 1;
    EXPECT_EQ(accepted + refused, static_cast<uint64_t>(kFrames));
    EXPECT_EQ(c.queued, accepted);
    EXPECT_EQ(c.refusedInputFull, static_cast<uint64_t>(refused));
    EXPECT_EQ(delivered.size() + c.droppedPpInputFull + c.droppedCorrectionOutputFull, accepted) << describe(c);
    EXPECT_EQ(c.discarded, 0u);

    // Each accepted frame was corrected once, oldest first; post-processing saw exactly the
    // frames the consumer received, and those arrived in increasing order.
    EXPECT_EQ(correction.seen.size(), c.corrected);
    for (size_t i = 0; i < correction.seen.size(); ++i) {
        ASSERT_EQ(correction.seen[i], static_cast<int32_t>(i + 1)) << "correction order";
    }
    EXPECT_EQ(postProcessing.seen, delivered);
    for (size_t i = 1; i < delivered.size(); ++i) ASSERT_LT(delivered[i - 1], delivered[i]) << "delivery order";
    EXPECT_EQ(correction.rawMismatches, 0);
    EXPECT_EQ(postProcessing.depthMismatches, 0);
    EXPECT_EQ(contentErrors, 0);
    std::printf("[ %s consumer ] %s\n", GetParam().name, describe(c).c_str());
    if (GetParam().delay.count() > 0) {
        // Results pile up behind a slow consumer: the drop after correction must have been taken.
        EXPECT_GT(c.droppedPpInputFull, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Consumers, PipelineStressTest,
                         ::testing::Values(ConsumerPace{"slow", 5ms}, ConsumerPace{"fast", 0us}),
                         [](const ::testing::TestParamInfo<ConsumerPace>& info) { return std::string(info.param.name); });

}  // namespace
