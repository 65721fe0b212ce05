#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "camera_test_fixture.h"

namespace Korvane::testing {
namespace {

struct SkipCase {
    int loop, skip;
    std::vector<int> dropped;  // 1-based positions among the first 9 captured frames
};

void PrintTo(const SkipCase& c, std::ostream* os) { *os << "loop " << c.loop << " skip " << c.skip; }

class SkipRule : public CameraTest, public ::testing::WithParamInterface<SkipCase> {};

// Drives analysisFrame directly on the caller's thread, so every frame's fate is exact.
TEST_P(SkipRule, DropsFramesEvenlyAcrossTheLoop) {
    const SkipCase c = GetParam();
    ASSERT_EQ(camera->open(CSI, 0), 0);
    ASSERT_EQ(camera->setControl(SKIP_FRAME_LOOP, c.loop), 0);
    ASSERT_EQ(camera->setControl(SKIP_FRAME, c.skip), 0);
    ASSERT_EQ(camera->setOutputType(DEPTH), 0);
    std::shared_ptr<FrameQueue> queue = camera->frameQueue();
    auto* staging = static_cast<uint8_t*>(queue->staging().getData(CACHE));
    LinkNode* node = queue->takeForFilling();
    ASSERT_NE(node, nullptr);

    std::vector<int> dropped;
    sensor->grant(9);
    for (int frame = 1; frame <= 9; ++frame) {
        const int r = camera->analysisFrame(staging, node);
        if (r == KorvaneSkipFrame) {
            dropped.push_back(frame);
        } else {
            ASSERT_EQ(r, 0);
        }
    }
    EXPECT_EQ(dropped, c.dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Loops, SkipRule,
    ::testing::Values(SkipCase{1, 0, {}}, SkipCase{3, 1, {3, 6, 9}}, SkipCase{2, 1, {2, 4, 6, 8}},
                      SkipCase{4, 2, {2, 4, 6, 8}},
                      // Out-of-range settings: a loop below 1 counts as 1, above 255 as 255;
                      // a skip count above the loop drops every frame.
                      SkipCase{0, 0, {}}, SkipCase{-4, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}}, SkipCase{300, 0, {}},
                      SkipCase{3, 7, {1, 2, 3, 4, 5, 6, 7, 8, 9}}, SkipCase{3, -2, {}}));

TEST_F(CameraTest, SkipRuleAppliesOnTheCaptureThread) {
    ASSERT_EQ(camera->setControl(SKIP_FRAME_LOOP, 3), 0);
    ASSERT_EQ(camera->setControl(SKIP_FRAME, 1), 0);
    openAndStart();
    EXPECT_EQ(captureOneByOne(9), (std::vector<int>{1, 2, 4, 5, 7, 8}));
    EXPECT_EQ(camera->statistics().skipped, 3u);
    EXPECT_EQ(camera->stop(), 0);
}

TEST_F(CameraTest, FrameRateMustLieBetweenOneAndTheModelsCeiling) {
    sensor->frameRateCeiling = 30;
    ASSERT_EQ(camera->open(CSI, 0), 0);
    EXPECT_EQ(camera->setControl(FRAME_RATE, 0), KorvaneInvalidParameter);
    EXPECT_EQ(camera->setControl(FRAME_RATE, 31), KorvaneInvalidParameter);
    EXPECT_EQ(sensor->lastFrameRate, 0);
    EXPECT_EQ(camera->setControl(FRAME_RATE, 20), 0);
    int rate = 0;
    EXPECT_EQ(camera->getControl(FRAME_RATE, &rate), 0);
    EXPECT_EQ(rate, 20);
    EXPECT_EQ(camera->setControl(FRAME_RATE, 22), KorvaneInvalidParameter) << "the last rate is the new ceiling";
}

TEST_F(CameraTest, CameraLevelControls) {
    ASSERT_EQ(camera->open(CSI, 0), 0);
    int value = -1;
    EXPECT_EQ(camera->getControl(AUTO_FRAME_RATE, &value), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(camera->setControl(AUTO_FRAME_RATE, 0), 0);
    EXPECT_EQ(camera->getControl(AUTO_FRAME_RATE, &value), 0);
    EXPECT_EQ(value, 0);
    const char* text = "untouched";
    EXPECT_EQ(camera->getControlExt(CONFIG_DIR_EXT, &text), 0);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(camera->setControl(RANGE, 2000), 0);
    EXPECT_EQ(camera->getControl(RANGE, &value), 0);
    EXPECT_EQ(value, 2000);
}

TEST_F(CameraTest, StartWritesTheCurrentRangeBackToTheModel) {
    ASSERT_EQ(camera->open(CSI, 0), 0);
    device->range = 4000;
    ASSERT_EQ(camera->start(DEPTH), 0);
    EXPECT_EQ(device->range, 4000);
    EXPECT_EQ(device->prepares, 1);
    EXPECT_EQ(device->starts, 1);
    EXPECT_EQ(camera->stop(), 0);
}

TEST_F(CameraTest, FpsSmoothingWeighsTheSecondSampleByATenthThenAThirtieth) {
    constexpr int64_t ms = 1'000'000;
    // The first interval is measured from time 0 (the capture thread's start).
    EXPECT_FLOAT_EQ(camera->updateFpsAt(1000 * ms), 1.0f);
    EXPECT_FLOAT_EQ(camera->updateFpsAt(1100 * ms), 1000.0f / (0.1f * 100 + 0.9f * 1000));
    const float mean2 = 0.1f * 100 + 0.9f * 1000;
    const float w = 1.0f / 30.0f;
    EXPECT_FLOAT_EQ(camera->updateFpsAt(1200 * ms), 1000.0f / (w * 100 + (1 - w) * mean2));
    EXPECT_FLOAT_EQ(camera->fps(), 1000.0f / (w * 100 + (1 - w) * mean2));
}

struct AdjustCase {
    int intervalMs;  // first measured frame interval, so fps = 1000 / interval
    int ceiling;     // the model's current rate
    int expectedWrite;  // 0 when no write is expected
};

void PrintTo(const AdjustCase& c, std::ostream* os) {
    *os << "interval " << c.intervalMs << " ms, ceiling " << c.ceiling;
}

class AdjustFrameRate : public CameraTest, public ::testing::WithParamInterface<AdjustCase> {};

TEST_P(AdjustFrameRate, WritesOnlyBeyondTenPercentOrOneFrame) {
    const AdjustCase c = GetParam();
    sensor->frameRateCeiling = c.ceiling;
    ASSERT_EQ(camera->open(CSI, 0), 0);
    camera->updateFpsAt(int64_t{c.intervalMs} * 1'000'000);
    camera->adjustFrameRate();
    EXPECT_EQ(sensor->lastFrameRate, c.expectedWrite);
}

INSTANTIATE_TEST_SUITE_P(Tolerance, AdjustFrameRate,
                         ::testing::Values(AdjustCase{38, 30, 26},   // 26.3 fps: 4 below 30, beyond 3
                                           AdjustCase{36, 30, 0},    // 27.7 fps: within 3
                                           AdjustCase{250, 5, 0},    // 4 fps: within 1 of 5
                                           AdjustCase{300, 5, 3},    // 3.3 fps
                                           AdjustCase{2500, 5, 1},   // 0.4 fps: target 1
                                           AdjustCase{20, 30, 0}));  // 50 fps: above the ceiling, refused

TEST_F(CameraTest, AdjustFrameRateWaitsForAMeasurement) {
    sensor->frameRateCeiling = 30;
    ASSERT_EQ(camera->open(CSI, 0), 0);
    camera->adjustFrameRate();
    EXPECT_EQ(sensor->lastFrameRate, 0);
}

TEST(ErrorText, EveryCodeAndUnknownValues) {
    EXPECT_STREQ(to_str(KorvaneSuccess), "Success");
    EXPECT_STREQ(to_str(KorvaneInvalidParameter), "Invalid parameter");
    EXPECT_STREQ(to_str(KorvaneNoCache), "No cache");
    EXPECT_STREQ(to_str(KorvaneUnkownDevice), "Unkown device");
    EXPECT_STREQ(to_str(KorvaneNotImplemented), "Not implemented");
    EXPECT_STREQ(to_str(KorvaneSkipFrame), "Skip frame");
    EXPECT_STREQ(to_str(KorvaneSystemError), "System error");
    EXPECT_STREQ(to_str(KorvaneUnkownError), "Unknown error");
    EXPECT_STREQ(to_str(static_cast<TofErrorCode>(5)), "Unknown error");
    EXPECT_STREQ(to_str(static_cast<TofErrorCode>(-3)), "Unknown error");
}

}  // namespace
}  // namespace Korvane::testing
