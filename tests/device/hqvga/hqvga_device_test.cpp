// The 240 x 180 device model: controls, forwarding of RANGE to the transport, the edge
// cases of its depth arithmetic, and its place in the camera.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "device/hqvga/korvane_device_hqvga.h"
#include "hqvga_planes.h"
#include "korvane_tof_camera.h"

namespace Korvane::testing {
namespace {

// Transport double: records the controls written to it and answers getControl with a
// fixed code and value; delivers constant frames.
class RecordingSensor final : public KorvaneTOFSensor {
public:
    std::vector<std::pair<CameraCtrl, int>> writes;
    int setResult = KorvaneInvalidParameter;
    int getResult = KorvaneNotImplemented;
    int getValue = 0;

    int open(KorvaneTOFCamera& camera) override {
        camera.setSensorFormat(hqvga::kWidth, hqvga::kHeight, 12, 2);
        return 0;
    }
    int close() override { return 0; }
    int start() override { return 0; }
    int stop() override { return 0; }
    CameraInfo getCameraInfo() override { return CameraInfo{0, USB, HQVGA, DEPTH, hqvga::kWidth, hqvga::kHeight, 12, 2}; }
    int getFrame(int16_t*, uint64_t*) override { return -1; }
    int setControl(CameraCtrl ctrl, int value) override {
        writes.emplace_back(ctrl, value);
        return setResult;
    }
    int getControl(CameraCtrl, int* value) override {
        if (getResult == 0) *value = getValue;
        return getResult;
    }
};

class HqvgaDeviceTest : public ::testing::Test {
protected:
    RecordingSensor sensor;
    KorvaneDeviceHQVGA device{PLATFORM_UNKNOWN};
    void SetUp() override { ASSERT_EQ(device.init(&sensor), 0); }

    DepthPlanes depthOf(const HqvgaFrame& frame) {
        DepthPlanes out;
        EXPECT_EQ(device.getPhaseImage(frame.bytes(), out.depth.data(), out.amplitude.data(), out.confidence.data()), 1);
        return out;
    }
};

TEST_F(HqvgaDeviceTest, FixedAnswers) {
    EXPECT_EQ(device.getDeviceType(), HQVGA);
    FrameGeometry raw{}, depth{};
    device.getFormats(raw, depth);
    EXPECT_EQ(raw.width, 240);
    EXPECT_EQ(raw.height, 720);
    EXPECT_EQ(depth.width, 240);
    EXPECT_EQ(depth.height, 180);
    EXPECT_EQ(device.prepare(), 0);
    EXPECT_EQ(device.start(), 0);
    EXPECT_EQ(device.stop(), 0);
    EXPECT_EQ(device.close(), 0);
    EXPECT_EQ(device.setControlExt(CONFIG_DIR_EXT, "/tmp"), 1);
    const char* text = nullptr;
    EXPECT_EQ(device.getControlExt(CONFIG_DIR_EXT, &text), 1);
    EXPECT_EQ(text, nullptr);
}

// Catches a model that forwards values the transports map to the wrong frequency (a USB
// transport takes every value but 2000 as 37.5 MHz), that forwards other controls, or
// that lets the transport's answer replace its own result.
TEST_F(HqvgaDeviceTest, ForwardsOnlyFrequencyChoosingRanges) {
    const struct {
        CameraCtrl ctrl;
        int value;
        int result;
        bool forwarded;
    } cases[] = {
        {RANGE, 2000, 0, true}, {RANGE, 4000, 0, true},       {RANGE, 3000, 0, false},
        {RANGE, 0, 0, false},   {RANGE, -2000, 0, false},     {FRAME_RATE, 10, 1, false},
        {EXPOSURE, 5, 1, false}, {FMT_WIDTH, 240, 1, false},  {SKIP_FRAME, 1, 1, false},
    };
    for (const auto& c : cases) {
        sensor.writes.clear();
        EXPECT_EQ(device.setControl(c.ctrl, c.value), c.result) << "control " << c.ctrl << " value " << c.value;
        if (c.forwarded) {
            ASSERT_EQ(sensor.writes.size(), 1u) << "value " << c.value;
            EXPECT_EQ(sensor.writes[0], std::make_pair(RANGE, c.value));
        } else {
            EXPECT_TRUE(sensor.writes.empty()) << "control " << c.ctrl << " value " << c.value;
        }
    }
}

// Catches getControl answering controls it does not own instead of passing the
// transport's value and code through.
TEST_F(HqvgaDeviceTest, GetControlPassesOtherControlsToTransport) {
    int value = -7;
    EXPECT_EQ(device.getControl(RANGE, &value), 0);
    EXPECT_EQ(value, 4000);  // initial range

    sensor.getResult = 0;
    sensor.getValue = 55;
    EXPECT_EQ(device.getControl(EXPOSURE, &value), 0);
    EXPECT_EQ(value, 55);

    sensor.getResult = KorvaneNotImplemented;
    value = -7;
    EXPECT_EQ(device.getControl(FRAME_RATE, &value), KorvaneNotImplemented);
    EXPECT_EQ(value, -7);
}

TEST_F(HqvgaDeviceTest, EqualSamplesGiveZeroDepthAndAmplitude) {
    HqvgaFrame frame;
    frame.fill({700, 700, 700, 700});
    const DepthPlanes out = depthOf(frame);
    for (size_t i = 0; i < hqvga::kPixels; ++i) {
        ASSERT_EQ(out.depth[i], 0.0f);
        ASSERT_EQ(out.amplitude[i], 0.0f);
        ASSERT_EQ(out.confidence[i], 0.0f);
    }
}

// The same planes (Q0 = Q2, Q1 > Q3) read at each range setting. At 4000 they give
// a = 0, b < 0: phase pi, half of 4 m. At 2000 the rotated order gives a > 0, b = 0:
// phase pi / 2 of 2 m. At 3000 after 2000 the frequency stays 75 MHz but the order is
// the standard one again: phase pi of 2 m. Catches a wrong difference order or a range
// that changes the frequency when it should not.
TEST_F(HqvgaDeviceTest, RangeSelectsOrderAndFrequency) {
    HqvgaFrame frame;
    frame.fill({100, 300, 100, 100});
    const float amplitude = 0.5f * 16 * 200;
    const struct {
        int range;
        float frequency;
        float depth;
    } steps[] = {
        {4000, 37.5e6f, 2000.0f},
        {2000, 75e6f, 500.0f},
        {3000, 75e6f, 1000.0f},
        {4000, 37.5e6f, 2000.0f},
        {1234, 37.5e6f, 2000.0f},
    };
    for (const auto& step : steps) {
        ASSERT_EQ(device.setControl(RANGE, step.range), 0);
        int range = 0;
        EXPECT_EQ(device.getControl(RANGE, &range), 0);
        EXPECT_EQ(range, step.range);
        EXPECT_EQ(device.frequencyHz(), step.frequency) << "range " << step.range;
        const DepthPlanes out = depthOf(frame);
        EXPECT_NEAR(out.depth[0], step.depth, 1e-3) << "range " << step.range;
        EXPECT_NEAR(out.depth[hqvga::kPixels - 1], step.depth, 1e-3) << "range " << step.range;
        EXPECT_EQ(out.amplitude[hqvga::kPixels / 2], amplitude);
    }
}

// The Jetson capture path delivers samples four bits higher; other boards, the Jetson
// Nano included, do not shift.
TEST(HqvgaDevicePlatform, SampleShiftFollowsPlatform) {
    const struct {
        PlatformType platform;
        uint16_t sample;
        int16_t converted;
    } cases[] = {
        {PLATFORM_JETSON, 0x7FF0, -16},         {PLATFORM_JETSON, 0x3FF0, 16368},
        {PLATFORM_UNKNOWN, 0x07FF, -16},        {PLATFORM_UNKNOWN, 0x03FF, 16368},
        {PLATFORM_RASPBERRY_PI5, 0x03FF, 16368}, {PLATFORM_JETSON_NANO, 0x07FF, -16},
    };
    for (const auto& c : cases) {
        KorvaneDeviceHQVGA device(c.platform);
        HqvgaFrame frame;
        frame.fill({c.sample, 0, 0, 0});
        std::vector<int16_t> raw(hqvga::kPixels * hqvga::kPhases);
        EXPECT_EQ(device.getRawImages(frame.bytes(), raw.data()), 1);
        EXPECT_EQ(raw[0], c.converted) << "platform " << c.platform;
        EXPECT_EQ(raw[240], 0);  // row 1 is plane Q1
    }
}

// Catches a frame computed from a torn (range, frequency) pair while another thread
// changes RANGE: 2000 with 37.5 MHz or 4000 with 75 MHz would give 1000 mm here, where a
// consistent pair gives 2000 mm (4000, 37.5 MHz) or 500 mm (2000, 75 MHz).
TEST_F(HqvgaDeviceTest, RangeChangesNeverTearAFrame) {
    HqvgaFrame frame;
    frame.fill({100, 300, 100, 100});
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; !done.load(); ++i) device.setControl(RANGE, i % 2 == 0 ? 2000 : 4000);
    });
    int torn = 0;
    for (int n = 0; n < 200; ++n) {
        const DepthPlanes out = depthOf(frame);
        const float d = out.depth[0];
        if (std::abs(d - 2000.0f) > 1e-3f && std::abs(d - 500.0f) > 1e-3f) ++torn;
    }
    done = true;
    writer.join();
    EXPECT_EQ(torn, 0);
}

// The camera picks this model for a 240 x 180 sensor and, at start, writes the model's
// range back, which tells the transport the frequency the depth is computed for.
TEST(HqvgaDeviceInCamera, StartTellsTheTransportTheFrequency) {
    class Factory final : public ComponentFactory {
    public:
        RecordingSensor* sensor = nullptr;
        std::unique_ptr<KorvaneTOFSensor> makeCsiSensor(const std::string&, PlatformType) override { return make(); }
        std::unique_ptr<KorvaneTOFSensor> makeUsbSensor(const std::string&, int) override { return make(); }
        std::unique_ptr<KorvaneDevice> makeDevice(DeviceType type, PlatformType platform) override {
            return makeDefaultComponentFactory()->makeDevice(type, platform);
        }

    private:
        std::unique_ptr<KorvaneTOFSensor> make() {
            auto s = std::make_unique<RecordingSensor>();
            sensor = s.get();
            return s;
        }
    };
    auto factory = std::make_unique<Factory>();
    Factory& f = *factory;
    KorvaneTOFCamera camera(std::move(factory), "/nonexistent/model");
    ASSERT_EQ(camera.open(USB, 0), 0);
    EXPECT_EQ(camera.getCameraInfo().device_type, HQVGA);
    EXPECT_EQ(f.sensor->imagesPerFrame(), 4);
    ASSERT_EQ(camera.setControl(RANGE, 2000), 0);
    f.sensor->writes.clear();
    ASSERT_EQ(camera.start(DEPTH), 0);
    EXPECT_EQ(f.sensor->writes, (std::vector<std::pair<CameraCtrl, int>>{{RANGE, 2000}}));
    camera.stop();
    camera.close();
}

}  // namespace
}  // namespace Korvane::testing
