#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <ostream>
#include <thread>
#include <vector>

#include "depth_errors.h"
#include "evk_camera.h"
#include "hqvga_decode.h"
#include "hqvga_sensor.h"
#include "temp_dir.h"
#include "virtual_camera_files.h"
#include "virtual_device_config.h"

namespace Korvane::testing {
namespace {

using Clock = std::chrono::steady_clock;

// The four images of one frame as planes Q0..Q3.
std::vector<uint16_t> framePlanes(const std::vector<CapturedImage>& images, size_t first) {
    std::vector<uint16_t> planes;
    for (size_t k = 0; k < 4; ++k) {
        const std::vector<uint16_t> plane = samples16(images[first + k].samples);
        planes.insert(planes.end(), plane.begin(), plane.end());
    }
    return planes;
}

// Median error of the decoded depth against the simulator's ground truth (mm), over the
// pixels that see a surface.
double medianDepthError(const std::vector<uint16_t>& planes, const Sim::HqvgaGroundTruth& truth, int range) {
    std::vector<double> errors;
    for (size_t i = 0; i < Sim::HqvgaSensor::kPixels; ++i) {
        if (truth.depthMm[i] <= 0.0f) continue;
        const auto decoded = decodeFourPhase(planes.data(), Sim::HqvgaSensor::kPixels, i, range);
        errors.push_back(wrappedDepthError(decoded.depthMm, truth.depthMm[i], range));
    }
    std::nth_element(errors.begin(), errors.begin() + errors.size() / 2, errors.end());
    return errors[errors.size() / 2];
}

// How many frame periods at `rate` a timestamp step spans; 0 when it is off the frame
// grid (each frame's timestamp is its start rounded to whole milliseconds). A slow build
// may lose frames, so steps of several periods are fine.
int framePeriods(uint64_t stepMs, double rate) {
    const double periods = static_cast<double>(stepMs) * rate / 1000.0;
    const long k = std::lround(periods);
    return k >= 1 && std::fabs(static_cast<double>(stepMs) - k * 1000.0 / rate) <= 1.0 ? static_cast<int>(k) : 0;
}

Sim::HqvgaGroundTruth truthOf(const std::string& configPath) {
    Evk::VirtualDeviceConfig config;
    std::string error;
    EXPECT_EQ(Evk::readVirtualDeviceConfig(configPath, config, error), Evk::ConfigStatus::Ok) << error;
    return Sim::HqvgaSensor(config.scene, config.intrinsics, config.pixel, config.seed).groundTruth();
}

TEST(EvkSdk, DefaultDeviceDeliversFourPhaseFramesAtThirtyFramesPerSecond) {
    EvkCamera camera;
    ASSERT_EQ(camera.open(), KORVANE_EVK_OK);
    const KorvaneCameraConfig config = camera.config();
    EXPECT_EQ(config.width, 240u);
    EXPECT_EQ(config.height, 180u);
    EXPECT_EQ(config.bit_width, 12);
    EXPECT_EQ(config.bytes_per_sample, 2);
    EXPECT_EQ(config.images_per_frame, 4u);
    EXPECT_EQ(config.frame_rate, 30.0);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    const auto images = camera.capture(12);
    ASSERT_EQ(images.size(), 12u);
    for (size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].index, i % 4);
        EXPECT_EQ(images[i].samples.size(), 240u * 180u * 2u);
        if (i % 4 != 0) {
            EXPECT_EQ(images[i].timestamp, images[i - 1].timestamp + 1) << "phase images 1 ms apart";
        }
    }
    // Frames start 1000 / 30 ms apart, rounded on the device clock.
    for (size_t f = 4; f < images.size(); f += 4) {
        const uint64_t step = images[f].timestamp - images[f - 4].timestamp;
        EXPECT_GE(framePeriods(step, 30.0), 1) << step;
    }
    EXPECT_EQ(KorvaneStopCamera(camera.handle), KORVANE_EVK_OK);
}

// Catches a default device that drifts from the shipped configuration said to describe it.
TEST(EvkSdk, DefaultDeviceIsTheShippedSimulatedConfiguration) {
    EvkCamera byDefault, shipped;
    ASSERT_EQ(byDefault.open(), KORVANE_EVK_OK);
    ASSERT_EQ(shipped.open(KORVANE_VIRTUAL_CONFIG_DIR "/simulated_hqvga.cfg"), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(byDefault.handle), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(shipped.handle), KORVANE_EVK_OK);
    const auto a = byDefault.capture(4), b = shipped.capture(4);
    ASSERT_EQ(a.size(), 4u);
    ASSERT_EQ(b.size(), 4u);
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(a[k].samples, b[k].samples) << "image " << k;
    EXPECT_STREQ(byDefault.config().type, shipped.config().type);
}

// Catches capture that is not paced (images handed out as fast as they are rendered) and
// timestamps that do not follow the frame rate.
TEST(EvkSdk, CaptureIsPacedToTheConfiguredFrameRate) {
    TempDir dir;
    EvkCamera camera;
    ASSERT_EQ(camera.open(dir.write("sim.cfg", simulatedConfigText(50))), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    const Clock::time_point begin = Clock::now();
    const auto images = camera.capture(6 * 4);
    const auto elapsed = Clock::now() - begin;
    ASSERT_EQ(images.size(), 24u);
    int periods = 0;
    for (size_t f = 4; f < images.size(); f += 4) {
        const int k = framePeriods(images[f].timestamp - images[f - 4].timestamp, 50.0);
        EXPECT_GE(k, 1) << "frame " << f / 4 << " is off the 20 ms frame grid";
        periods += k;
    }
    // The last frame delivered is due `periods` x 20 ms after the first.
    EXPECT_GE(elapsed, std::chrono::milliseconds(periods * 20 - 2));
}

// Catches a reader that falls behind and is then served stale frames one by one, like a
// sensor with an unlimited buffer.
TEST(EvkSdk, SlowReaderLosesTheOldestFramesBeyondTheBuffer) {
    TempDir dir;
    EvkCamera camera;
    ASSERT_EQ(camera.open(dir.write("sim.cfg", simulatedConfigText(50))), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    const Clock::time_point start = Clock::now();
    const auto first = camera.capture(4);
    ASSERT_EQ(first.size(), 4u);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const auto later = camera.capture(1);
    const auto sinceStartMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].index, 0u) << "frames are lost whole";
    const uint64_t frameOffsetMs = later[0].timestamp - first[0].timestamp;
    // At least 400 ms = 20 frames have passed; the adapter keeps the latest 8.
    EXPECT_GE(frameOffsetMs, (400u / 20u - 8u) * 20u);
    EXPECT_LE(static_cast<int64_t>(frameOffsetMs), sinceStartMs);
}

struct ModulationCase {
    const char* name;
    std::vector<std::pair<uint32_t, uint32_t>> writes;
    int range;  // of the decode that must match the ground truth
};

void PrintTo(const ModulationCase& c, std::ostream* os) { *os << c.name; }

class RegisterWrites : public ::testing::TestWithParam<ModulationCase> {};

// Catches register writes that do not reach the simulated sensor, a switch on a partial
// register set, and a plane order that the decode of the other frequency does not undo.
TEST_P(RegisterWrites, SelectTheModulationFrequencyFromTheNextFrame) {
    TempDir dir;
    const std::string path = dir.write("sim.cfg", simulatedConfigText());
    EvkCamera camera;
    ASSERT_EQ(camera.open(path), KORVANE_EVK_OK);
    for (const auto& [reg, value] : GetParam().writes) {
        ASSERT_EQ(KorvaneWriteSensorReg(camera.handle, reg, value), KORVANE_EVK_OK);
    }
    std::map<uint32_t, uint32_t> last(GetParam().writes.begin(), GetParam().writes.end());
    for (const auto& write : GetParam().writes) last[write.first] = write.second;
    for (const auto& [reg, value] : last) {
        uint32_t read = 0;
        ASSERT_EQ(KorvaneReadSensorReg(camera.handle, reg, &read), KORVANE_EVK_OK);
        EXPECT_EQ(read, value);
    }
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    const auto images = camera.capture(4);
    ASSERT_EQ(images.size(), 4u);
    const auto truth = truthOf(path);
    const int range = GetParam().range;
    EXPECT_LT(medianDepthError(framePlanes(images, 0), truth, range), range == 2000 ? 8.0 : 15.0);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, RegisterWrites,
    ::testing::Values(ModulationCase{"reset_state_is_37_5_MHz", {}, 4000},
                      ModulationCase{"set_for_75_MHz", {{0x216c, 0x08}, {0x2179, 0x0a}, {0x217a, 0x0e}, {0x217b, 0x12}}, 2000},
                      ModulationCase{"partial_set_keeps_37_5_MHz", {{0x216c, 0x08}, {0x2179, 0x0a}, {0x217a, 0x0e}}, 4000},
                      ModulationCase{"back_to_37_5_MHz",
                                     {{0x216c, 0x08}, {0x2179, 0x0a}, {0x217a, 0x0e}, {0x217b, 0x12},
                                      {0x216c, 0x10}, {0x2179, 0x0e}, {0x217a, 0x16}, {0x217b, 0x1e}},
                                     4000}),
    [](const ::testing::TestParamInfo<ModulationCase>& info) { return std::string(info.param.name); });

TEST(EvkSdk, ConfigurationRegistersAreWrittenAtInit) {
    TempDir dir;
    const std::string path = dir.write(
        "sim.cfg", simulatedConfigText() +
                       "[register parameter]\nREG = 0x216c, 0x08\nREG = 0x2179, 0x0a\nREG = 0x217a, 0x0e\nREG = 0x217b, 0x12\n");
    EvkCamera camera;
    ASSERT_EQ(camera.open(path), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    const auto images = camera.capture(4);
    ASSERT_EQ(images.size(), 4u);
    EXPECT_LT(medianDepthError(framePlanes(images, 0), truthOf(path), 2000), 8.0);
}

// Catches a bit width that is reported but not delivered: the same frame at 8, 12 and 14
// bits holds the same 12-bit samples, scaled.
TEST(EvkSdk, SimulatedSamplesFollowTheConfiguredBitWidth) {
    TempDir dir;
    EvkCamera twelve, eight, fourteen;
    ASSERT_EQ(twelve.open(dir.write("12.cfg", simulatedConfigText(30, "", 12))), KORVANE_EVK_OK);
    ASSERT_EQ(eight.open(dir.write("8.cfg", simulatedConfigText(30, "", 8))), KORVANE_EVK_OK);
    ASSERT_EQ(fourteen.open(dir.write("14.cfg", simulatedConfigText(30, "", 14))), KORVANE_EVK_OK);
    EXPECT_EQ(eight.config().bytes_per_sample, 1);
    EXPECT_EQ(fourteen.config().bit_width, 14);
    for (EvkCamera* camera : {&twelve, &eight, &fourteen}) ASSERT_EQ(KorvaneStartCamera(camera->handle), KORVANE_EVK_OK);
    const auto a = twelve.capture(1), b = eight.capture(1), c = fourteen.capture(1);
    ASSERT_EQ(a.size() + b.size() + c.size(), 3u);
    const std::vector<uint16_t> base = samples16(a[0].samples), wide = samples16(c[0].samples);
    ASSERT_EQ(b[0].samples.size(), base.size());
    for (size_t i = 0; i < base.size(); ++i) {
        ASSERT_EQ(b[0].samples[i], base[i] >> 4) << i;
        ASSERT_EQ(wide[i], base[i] << 2) << i;
    }
}

TEST(EvkSdk, CallsOutOfOrderAreRefused) {
    KorvaneOpenParam param;
    KorvaneDefaultParam(&param);
    KorvaneCameraHandle handle = nullptr;
    ASSERT_EQ(KorvaneOpenCamera(&handle, &param), KORVANE_EVK_OK);
    KorvaneImage image{};
    EXPECT_EQ(KorvaneStartCamera(handle), KORVANE_EVK_ERROR_STATE) << "start before init";
    EXPECT_EQ(KorvaneInitCamera(handle), KORVANE_EVK_OK);
    EXPECT_EQ(KorvaneCaptureImage(handle, &image, 10), KORVANE_EVK_ERROR_STATE) << "capture before start";
    EXPECT_EQ(KorvaneStartCamera(handle), KORVANE_EVK_OK);
    EXPECT_EQ(KorvaneStartCamera(handle), KORVANE_EVK_ERROR_STATE) << "start while streaming";
    EXPECT_EQ(KorvaneStopCamera(handle), KORVANE_EVK_OK);
    EXPECT_EQ(KorvaneCaptureImage(handle, &image, 10), KORVANE_EVK_ERROR_STATE) << "capture after stop";
    EXPECT_EQ(KorvaneCloseCamera(handle), KORVANE_EVK_OK);
    EXPECT_EQ(KorvaneCaptureImage(nullptr, &image, 10), KORVANE_EVK_ERROR_ARGUMENT);
    EXPECT_EQ(KorvaneOpenCamera(nullptr, &param), KORVANE_EVK_ERROR_ARGUMENT);
}

// Catches a capture that keeps waiting (or returns a stale image) after another thread
// stopped the stream.
TEST(EvkSdk, StopWakesAWaitingCapture) {
    TempDir dir;
    EvkCamera camera;
    ASSERT_EQ(camera.open(dir.write("sim.cfg", simulatedConfigText(1))), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    ASSERT_EQ(camera.capture(4).size(), 4u);  // the next frame is due a second later
    std::atomic<int> result{1};
    std::thread waiter([&] {
        KorvaneImage image{};
        result = KorvaneCaptureImage(camera.handle, &image, 5000);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const Clock::time_point stopped = Clock::now();
    EXPECT_EQ(KorvaneStopCamera(camera.handle), KORVANE_EVK_OK);
    waiter.join();
    EXPECT_EQ(result, KORVANE_EVK_ERROR_STATE);
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(900)) << "woken before the next frame was due";
}

}  // namespace
}  // namespace Korvane::testing
