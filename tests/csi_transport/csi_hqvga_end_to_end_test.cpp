// Camera core + CSI transport + HQVGA device model over the emulated Raspberry Pi driver,
// fed by the ToF simulator's four-phase sensor: the depth frames the camera delivers are
// exactly what the model's arithmetic makes of one simulated frame, and that is the
// simulator's ground truth within the sensor's noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "emulated_board.h"
#include "depth_errors.h"
#include "hqvga_decode.h"
#include "hqvga_sensor.h"
#include "korvane_tof_camera.h"
#include "simulator_frame_source.h"
#include "transport/system/system_calls.h"

namespace Korvane::testing {
namespace {

using Sim::HqvgaModulation;
using Sim::HqvgaSensor;

constexpr size_t kPixels = HqvgaSensor::kPixels;
const Sim::Intrinsics kIntrinsics{170.0, 170.0, 119.5, 89.5};
constexpr uint64_t kSeed = 9;
constexpr float kWellLit = 3200.0f;  // amplitude in units of v: 200 ADC codes

// A wall 2 m ahead, a floor below, and a sphere and a box in front, none of them close
// enough to saturate the sensor.
Sim::Scene roomScene() {
    Sim::Scene scene;
    scene.add(Sim::Plane{{0, 0, 1}, 2.0, 0.6});
    scene.add(Sim::Plane{{0, 1, 0}, 0.6, 0.4});
    scene.add(Sim::Sphere{{-0.25, 0.0, 1.4}, 0.2, 0.7});
    scene.add(Sim::Box{{0.15, 0.1, 1.3}, {0.45, 0.5, 1.6}, 0.6});
    return scene;
}

// Over the pixels that see a surface with a signal of at least `minAmplitude`.
DepthErrors compare(const float* depth, const Sim::HqvgaGroundTruth& truth, int range, float minAmplitude) {
    DepthErrorStats stats(range);
    for (size_t i = 0; i < kPixels; ++i) {
        if (truth.depthMm[i] <= 0.0f || truth.amplitude[i] < minAmplitude) continue;
        stats.add(depth[i], truth.depthMm[i]);
    }
    return stats.result();
}

// The simulated frame whose last image the driver stamped `timestampMs`.
uint64_t frameStamped(uint64_t timestampMs) {
    for (uint64_t frame = 0; frame < 1'000'000; ++frame) {
        const uint64_t ms = static_cast<uint64_t>(emulation::burstCaptureTimeUs(frame * 4 + 3)) / 1000;
        if (ms >= timestampMs) return ms == timestampMs ? frame : UINT64_MAX;
    }
    return UINT64_MAX;
}

// The depth the model's four-phase arithmetic gives for that simulated frame.
std::vector<float> decodedDepth(uint64_t frame, int range) {
    HqvgaSensor sensor(roomScene(), kIntrinsics, Sim::PixelModelParams{}, kSeed);
    sensor.setModulation(range == 2000 ? HqvgaModulation::MHz75 : HqvgaModulation::MHz37_5);
    std::vector<uint16_t> planes(HqvgaSensor::kSamplesPerFrame);
    sensor.render(frame, planes.data());
    std::vector<float> depth(kPixels);
    for (size_t i = 0; i < kPixels; ++i) depth[i] = decodeFourPhase(planes.data(), kPixels, i, range).depthMm;
    return depth;
}

// Clipped samples bend the phase: that is the sensor's limit, not the transport's.
TEST(CsiHqvgaEndToEnd, TheSceneDoesNotSaturate) {
    HqvgaSensor sensor(roomScene(), kIntrinsics, Sim::PixelModelParams{}, kSeed);
    std::vector<uint16_t> planes(HqvgaSensor::kSamplesPerFrame);
    sensor.render(0, planes.data());
    size_t clipped = 0;
    for (uint16_t sample : planes) {
        const int32_t v = hqvgaValue(sample);
        clipped += v == 1023 * 16 || v == -1024 * 16;
    }
    EXPECT_LT(clipped, planes.size() / 1000);
}

TEST(CsiHqvgaEndToEnd, DepthFramesMatchTheSimulatorsGroundTruth) {
    HqvgaSensor simulated(roomScene(), kIntrinsics, Sim::PixelModelParams{}, kSeed);
    auto source = std::make_shared<emulation::SimulatorFrameSource>(simulated);
    emulation::BoardOptions options;
    options.source = source;
    emulation::EmulatedBoard board(emulation::BoardFamily::RaspberryPi, options);
    source->followRangeControl(*board.sensor());
    sys::ScopedSystemCalls use(board.kernel());

    // The real components, on the board the emulated device tree names.
    KorvaneTOFCamera camera;
    EXPECT_EQ(camera.platform(), PLATFORM_RASPBERRY_PI);
    ASSERT_EQ(camera.open(CSI, 0), 0);
    const CameraInfo info = camera.getCameraInfo();
    EXPECT_EQ(info.device_type, HQVGA);
    EXPECT_EQ(info.width, 240);
    EXPECT_EQ(info.height, 180);

    // RANGE 4000 keeps 37.5 MHz, 2000 switches the sensor to 75 MHz through the transport's
    // control, 4000 switches back: a frame decoded at the other frequency, or made of the
    // planes of two frames, would be hundreds of millimetres off.
    for (const int range : {4000, 2000, 4000}) {
        SCOPED_TRACE("range " + std::to_string(range));
        ASSERT_EQ(camera.setControl(RANGE, range), 0);
        EXPECT_EQ(board.sensor()->control(emulation::kRangeControlId), range == 2000 ? 1 : 0);
        ASSERT_EQ(camera.start(DEPTH), 0);
        for (int n = 0; n < 3; ++n) {
            KorvaneFrameBuffer* frame = camera.requestFrame(3000);
            ASSERT_NE(frame, nullptr) << "frame " << n;
            FrameDataFormat format{};
            ASSERT_EQ(frame->getFormat(DEPTH, &format), 0);
            EXPECT_EQ(format.width, 240);
            EXPECT_EQ(format.height, 180);
            const auto* depth = static_cast<const float*>(frame->getData(DEPTH));

            // Nothing on the way adds an error: the depth is that of one whole simulated frame.
            const uint64_t simulatedFrame = frameStamped(format.timestamp);
            ASSERT_NE(simulatedFrame, UINT64_MAX) << "timestamp " << format.timestamp << " of no frame";
            const std::vector<float> expected = decodedDepth(simulatedFrame, range);
            float worst = 0.0f;
            for (size_t i = 0; i < kPixels; ++i) worst = std::max(worst, std::fabs(depth[i] - expected[i]));
            EXPECT_LT(worst, 0.01f) << "frame " << n;

            // And that is the ground truth within the noise. The model's 3e8 m/s for c adds
            // 0.07 % (about 1.4 mm at 2 m) to the true distance.
            const DepthErrors all = compare(depth, simulated.groundTruth(), range, 0.0f);
            EXPECT_LT(std::fabs(all.meanSigned), 3.0) << "frame " << n;
            const DepthErrors lit = compare(depth, simulated.groundTruth(), range, kWellLit);
            EXPECT_LT(lit.median, range == 2000 ? 8.0 : 15.0) << "frame " << n;
            EXPECT_LT(lit.outliers, 0.005) << "frame " << n;
            EXPECT_EQ(camera.releaseFrame(frame), 0);
        }
        EXPECT_EQ(camera.stop(), 0);
    }
    EXPECT_EQ(camera.close(), 0);
    EXPECT_EQ(board.kernel().openDescriptors(), 0u);
}

}  // namespace
}  // namespace Korvane::testing
