// The camera over the CSI transport on an emulated Raspberry Pi, with a stand-in device
// model: what the capture thread delivers when the driver fails.
#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "emulated_board.h"
#include "fake_components.h"
#include "transport/csi/korvane_tof_csi_sensor.h"
#include "transport/system/system_calls.h"

namespace Korvane::testing {
namespace {

class CsiWithFakeModel final : public ComponentFactory {
public:
    explicit CsiWithFakeModel(std::shared_ptr<FakeDeviceState> device) : device_(std::move(device)) {}
    std::unique_ptr<KorvaneTOFSensor> makeCsiSensor(const std::string& path, PlatformType platform) override {
        return std::make_unique<KorvaneTOFCSISensor>(path, platform);
    }
    std::unique_ptr<KorvaneTOFSensor> makeUsbSensor(const std::string&, int) override { return nullptr; }
    std::unique_ptr<KorvaneDevice> makeDevice(DeviceType type, PlatformType platform) override {
        return std::make_unique<FakeDevice>(type, platform, device_);
    }

private:
    std::shared_ptr<FakeDeviceState> device_;
};

// A failed dequeue leaves the previous frame in the staging buffer; delivering it would
// hand out that frame again as a new one.
TEST(CsiCamera, FailedDequeuesDeliverNoFrame) {
    emulation::EmulatedBoard board(emulation::BoardFamily::RaspberryPi);
    sys::ScopedSystemCalls use(board.kernel());
    auto device = std::make_shared<FakeDeviceState>();
    KorvaneTOFCamera camera(std::make_unique<CsiWithFakeModel>(device));
    EXPECT_EQ(camera.platform(), PLATFORM_RASPBERRY_PI);
    ASSERT_EQ(camera.open(CSI, 0), 0);
    EXPECT_EQ(camera.getCameraInfo().device_type, HQVGA);

    constexpr int kFailures = 20;
    board.kernel().failIoctl(VIDIOC_DQBUF, EIO, kFailures);
    ASSERT_EQ(camera.start(RAW), 0);
    KorvaneFrameBuffer* frame = camera.requestFrame(2000);
    ASSERT_NE(frame, nullptr);
    // A real capture: the driver's clock starts at 1000 s (a stale frame would carry 0).
    FrameDataFormat format{};
    ASSERT_EQ(frame->getFormat(RAW, &format), 0);
    EXPECT_GE(format.timestamp, 1'000'003u);
    EXPECT_EQ(camera.releaseFrame(frame), 0);
    EXPECT_EQ(camera.stop(), 0);
    const CaptureStatistics statistics = camera.statistics();
    EXPECT_EQ(statistics.failed, static_cast<uint64_t>(kFailures));
    EXPECT_GT(statistics.delivered, 0u);
    EXPECT_LE(statistics.delivered * 4, board.video().captured()) << "every delivered frame took four captures";
    EXPECT_EQ(camera.close(), 0);
    EXPECT_EQ(board.kernel().openDescriptors(), 0u);
}

}  // namespace
}  // namespace Korvane::testing
