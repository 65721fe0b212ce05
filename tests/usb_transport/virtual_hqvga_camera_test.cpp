// The virtual HQVGA sensor through KorvaneTOFUSBSensor and the camera core: the four
// phase planes of each frame decode, with the device model's arithmetic, to the
// simulator's ground truth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "component_factory.h"
#include "depth_errors.h"
#include "hqvga_decode.h"
#include "hqvga_sensor.h"
#include "korvane_tof_camera.h"
#include "transport/usb/korvane_tof_usb_sensor.h"
#include "temp_dir.h"
#include "virtual_camera_files.h"
#include "virtual_device_config.h"

namespace Korvane::testing {
namespace {

constexpr int kWidth = 240, kHeight = 180;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;

// Device model that hands the four captured planes through unchanged as its RAW frame
// (240 x 720: Q0, Q1, Q2, Q3 back to back) and keeps RANGE, forwarding it to the
// transport as a four-phase model does to switch the modulation frequency.
class PlanePassthroughDevice final : public KorvaneDevice {
public:
    using KorvaneDevice::KorvaneDevice;
    int getDeviceType() override { return HQVGA; }
    void getFormats(FrameGeometry& raw, FrameGeometry& depth) override {
        raw = {kWidth, kHeight * 4};
        depth = {kWidth, kHeight};
    }
    int init(KorvaneTOFSensor* sensor) override {
        sensor_ = sensor;
        return 0;
    }
    int close() override { return 0; }
    int prepare() override { return 0; }
    int start() override { return 0; }
    int stop() override { return 0; }
    int setControl(CameraCtrl ctrl, int value) override {
        if (ctrl != RANGE) return KorvaneInvalidParameter;
        range_ = value;
        return sensor_->setControl(RANGE, value);
    }
    int setControlExt(CameraCtrl, const char*) override { return KorvaneInvalidParameter; }
    int getControl(CameraCtrl ctrl, int* value) override {
        if (ctrl != RANGE) return sensor_->getControl(ctrl, value);
        *value = range_;
        return 0;
    }
    int getControlExt(CameraCtrl, const char**) override { return KorvaneInvalidParameter; }
    int getRawImages(const uint8_t* staging, int16_t* raw) override {
        std::memcpy(raw, staging, kPixels * 4 * sizeof(int16_t));
        return 1;
    }
    int getPhaseImage(const uint8_t*, float*, float*, float*) override { return 0; }

private:
    int range_ = 4000;
};

class VirtualUsbFactory final : public ComponentFactory {
public:
    std::unique_ptr<KorvaneTOFSensor> makeCsiSensor(const std::string&, PlatformType) override { return nullptr; }
    std::unique_ptr<KorvaneTOFSensor> makeUsbSensor(const std::string& path, int index) override {
        return makeDefaultComponentFactory()->makeUsbSensor(path, index);
    }
    std::unique_ptr<KorvaneDevice> makeDevice(DeviceType, PlatformType platform) override {
        return std::make_unique<PlanePassthroughDevice>(platform);
    }
};

bool saturated(const uint16_t* planes, size_t i) {
    for (size_t k = 0; k < 4; ++k) {
        const int32_t v = hqvgaValue(planes[k * kPixels + i]);
        if (v == 1023 * 16 || v == -1024 * 16) return true;
    }
    return false;
}

struct CameraErrors {
    DepthErrors depth;
    double saturated;  // fraction of pixels left out: a sample at the end of its range
};

// Over the pixels that see a surface and are not saturated (clipped samples bend the
// phase; that is the sensor's limit, not noise).
CameraErrors compare(const int16_t* raw, const Sim::HqvgaGroundTruth& truth, int range) {
    const auto* planes = reinterpret_cast<const uint16_t*>(raw);
    DepthErrorStats stats(range);
    size_t clipped = 0;
    for (size_t i = 0; i < kPixels; ++i) {
        if (truth.depthMm[i] <= 0.0f) continue;
        if (saturated(planes, i)) {
            ++clipped;
            continue;
        }
        stats.add(decodeFourPhase(planes, kPixels, i, range).depthMm, truth.depthMm[i]);
    }
    return {stats.result(), static_cast<double>(clipped) / kPixels};
}

class VirtualHqvgaCamera : public ::testing::Test {
protected:
    void SetUp() override {
        configPath = dir.write("sensor.cfg", simulatedConfigText(30));
        Evk::VirtualDeviceConfig config;
        std::string error;
        ASSERT_EQ(Evk::readVirtualDeviceConfig(configPath, config, error), Evk::ConfigStatus::Ok) << error;
        sensor = std::make_unique<Sim::HqvgaSensor>(config.scene, config.intrinsics, config.pixel, config.seed);
    }

    // Streams RAW frames at `range` and checks each against the ground truth.
    void expectFramesMatchTruth(int range, double medianLimitMm) {
        ASSERT_EQ(camera.setControl(RANGE, range), 0);
        ASSERT_EQ(camera.start(RAW), 0);
        uint64_t previous = 0;
        for (int n = 0; n < 3; ++n) {
            KorvaneFrameBuffer* frame = camera.requestFrame(3000);
            ASSERT_NE(frame, nullptr) << "frame " << n;
            FrameDataFormat format{};
            ASSERT_EQ(frame->getFormat(RAW, &format), 0);
            EXPECT_EQ(format.width, kWidth);
            EXPECT_EQ(format.height, kHeight * 4);
            if (n > 0) {
                EXPECT_GE(format.timestamp - previous, 33u) << "frames follow the sensor's 30 fps clock";
            }
            previous = format.timestamp;
            const CameraErrors e = compare(static_cast<int16_t*>(frame->getData(RAW)), sensor->groundTruth(), range);
            // The decode's 3e8 m/s for c adds +0.07 % (under 1 mm here) to the true distance.
            EXPECT_LT(std::fabs(e.depth.meanSigned), 3.0) << "range " << range << ", frame " << n;
            EXPECT_LT(e.depth.median, medianLimitMm) << "range " << range << ", frame " << n;
            EXPECT_LT(e.depth.outliers, 0.002) << "range " << range << ", frame " << n;
            EXPECT_LT(e.saturated, 0.1) << "the near sphere saturates, the rest of the scene does not";
            EXPECT_EQ(camera.releaseFrame(frame), 0);
        }
        EXPECT_EQ(camera.stop(), 0);
    }

    TempDir dir;
    std::string configPath;
    std::unique_ptr<Sim::HqvgaSensor> sensor;
    KorvaneTOFCamera camera{std::make_unique<VirtualUsbFactory>(), "/nonexistent/model"};
};

TEST_F(VirtualHqvgaCamera, FourPhasePlanesDecodeToGroundTruthAtBothFrequencies) {
    ASSERT_EQ(camera.openWithFile(configPath.c_str(), 0), 0);
    const CameraInfo info = camera.getCameraInfo();
    EXPECT_EQ(info.device_type, HQVGA);
    EXPECT_EQ(info.width, kWidth);
    EXPECT_EQ(info.height, kHeight);
    EXPECT_EQ(info.bit_width, 12);
    EXPECT_EQ(info.bpp, 2);
    // RANGE 4000 keeps 37.5 MHz, 2000 writes the 75 MHz registers, 4000 switches back:
    // a frame decoded with the other frequency's plane order would be hundreds of mm off.
    expectFramesMatchTruth(4000, 15.0);
    expectFramesMatchTruth(2000, 8.0);
    expectFramesMatchTruth(4000, 15.0);
    EXPECT_EQ(camera.close(), 0);
}

TEST_F(VirtualHqvgaCamera, OpenWithoutFileUsesTheDefaultVirtualSensor) {
    ASSERT_EQ(camera.open(USB, 0), 0);
    EXPECT_EQ(camera.getCameraInfo().device_type, HQVGA);
    ASSERT_EQ(camera.start(RAW), 0);
    KorvaneFrameBuffer* frame = camera.requestFrame(3000);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(camera.releaseFrame(frame), 0);
    EXPECT_EQ(camera.stop(), 0);
    EXPECT_EQ(camera.close(), 0);
}

}  // namespace
}  // namespace Korvane::testing
