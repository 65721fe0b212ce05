#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "component_factory.h"
#include "korvane_tof_camera.h"
#include "transport/usb/korvane_tof_usb_sensor.h"
#include "temp_dir.h"
#include "virtual_camera_files.h"

namespace Korvane::testing {
namespace {

// A camera only to receive the transport's sensor format; it opens nothing itself.
std::unique_ptr<KorvaneTOFCamera> formatSink() {
    return std::make_unique<KorvaneTOFCamera>(makeDefaultComponentFactory(), "/nonexistent/model");
}

// Plays `images` (4 x 2 pixels each, one image per recorded frame) through the transport.
class UsbSensorTest : public ::testing::Test {
protected:
    // Returns the configuration path of a recording of the given sample format.
    std::string record(uint32_t bitWidth, uint32_t bytesPerSample, const std::vector<RecordedImage>& images) {
        const Evk::RecordingFormat format{4, 2, bitWidth, bytesPerSample, 1};
        EXPECT_TRUE(writeRecording(dir.path("rec.kvr"), format, images));
        return dir.write("rec.cfg", playbackConfigText("rec.kvr", 4, 2, bitWidth, false));
    }

    static RecordedImage image16(uint64_t timestamp, uint16_t sample) {
        RecordedImage image{timestamp, std::vector<uint8_t>(16)};
        for (size_t i = 0; i < 16; i += 2) {
            image.samples[i] = static_cast<uint8_t>(sample);
            image.samples[i + 1] = static_cast<uint8_t>(sample >> 8);
        }
        return image;
    }

    TempDir dir;
    std::unique_ptr<KorvaneTOFCamera> camera = formatSink();
};

struct ConversionCase {
    uint32_t bitWidth;
    uint32_t bytesPerSample;
    uint16_t sample;
    uint16_t expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.bitWidth << "-bit"; }

class SampleConversion : public UsbSensorTest, public ::testing::WithParamInterface<ConversionCase> {};

// Catches a conversion that does not bring every bit width to 12 significant bits.
TEST_P(SampleConversion, ScalesEveryBitWidthToTwelveBits) {
    const ConversionCase c = GetParam();
    RecordedImage image = image16(7, c.sample);
    if (c.bytesPerSample == 1) image.samples.assign(8, static_cast<uint8_t>(c.sample));
    KorvaneTOFUSBSensor sensor(record(c.bitWidth, c.bytesPerSample, {image}), 0);
    ASSERT_EQ(sensor.open(*camera), 0);
    EXPECT_EQ(camera->getCameraInfo().bit_width, static_cast<int32_t>(c.bitWidth));
    EXPECT_EQ(sensor.getCameraInfo().bpp, static_cast<int32_t>(c.bytesPerSample));
    ASSERT_EQ(sensor.start(), 0);
    std::vector<int16_t> staging(8, -1);
    uint64_t timestamp = 0;
    ASSERT_EQ(sensor.getFrame(staging.data(), &timestamp), 0);
    EXPECT_EQ(timestamp, 7u);
    for (int16_t v : staging) EXPECT_EQ(static_cast<uint16_t>(v), c.expected);
}

INSTANTIATE_TEST_SUITE_P(BitWidths, SampleConversion,
                         ::testing::Values(ConversionCase{8, 1, 0xAB, 0xAB0}, ConversionCase{10, 2, 0x3FF, 0xFFC},
                                           ConversionCase{12, 2, 0xABC, 0xABC}, ConversionCase{14, 2, 0x3FFF, 0xFFF},
                                           ConversionCase{16, 2, 0xFFF0, 0xFFF}));

// Catches frames assembled from images of two different frames: an image that arrives 6
// or more time units after the previous one starts the frame again.
TEST_F(UsbSensorTest, TimestampGapRestartsTheFrame) {
    std::vector<RecordedImage> images;
    const uint64_t stamps[] = {0, 1, 2, 10, 11, 12, 13, 14};
    for (uint16_t n = 0; n < 8; ++n) images.push_back(image16(stamps[n], n));
    KorvaneTOFUSBSensor sensor(record(12, 2, images), 0);
    sensor.setImagesPerFrame(4);
    ASSERT_EQ(sensor.open(*camera), 0);
    ASSERT_EQ(sensor.start(), 0);
    std::vector<int16_t> staging(32, -1);
    uint64_t timestamp = 0;
    ASSERT_EQ(sensor.getFrame(staging.data(), &timestamp), 0);
    EXPECT_EQ(timestamp, 13u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(staging[k * 8], 3 + k) << "staging image " << k;
}

// Catches a frame completed with the previous frame's staging content when the adapter
// delivers no more images.
TEST_F(UsbSensorTest, FrameWithMissingImagesIsNotDelivered) {
    std::vector<RecordedImage> images;
    for (uint16_t n = 0; n < 3; ++n) images.push_back(image16(n, n));
    KorvaneTOFUSBSensor sensor(record(12, 2, images), 0);
    sensor.setImagesPerFrame(4);
    ASSERT_EQ(sensor.open(*camera), 0);
    std::vector<int16_t> staging(32);
    uint64_t timestamp = 0;
    EXPECT_EQ(sensor.getFrame(staging.data(), &timestamp), -1) << "not streaming";
    ASSERT_EQ(sensor.start(), 0);
    EXPECT_EQ(sensor.getFrame(staging.data(), &timestamp), -1) << "the recording ends after three images";
}

// Catches a size check that trusts the adapter: 8-bit samples delivered in 16-bit words
// are twice the size the transport expects.
TEST_F(UsbSensorTest, ImageOfUnexpectedSizeFailsTheFrame) {
    KorvaneTOFUSBSensor sensor(record(8, 2, {image16(0, 0x12)}), 0);
    ASSERT_EQ(sensor.open(*camera), 0);
    EXPECT_EQ(sensor.getCameraInfo().bpp, 1);
    ASSERT_EQ(sensor.start(), 0);
    std::vector<int16_t> staging(8);
    uint64_t timestamp = 0;
    EXPECT_EQ(sensor.getFrame(staging.data(), &timestamp), -1);
}

TEST_F(UsbSensorTest, ConfigurationPathRules) {
    KorvaneTOFUSBSensor shortPath("a.b", 0);
    EXPECT_THROW(shortPath.open(*camera), std::out_of_range);

    // A ".bin" path is handed over as a binary configuration, which the virtual adapter refuses.
    const std::string binary = dir.write("camera.bin", "[camera parameter]\nSIZE = 240, 180\nBIT_WIDTH = 12\n");
    KorvaneTOFUSBSensor binarySensor(binary, 0);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(binarySensor.open(*camera), -1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("binary"), std::string::npos);

    // The same text under a ".cfg" name is read as text.
    const std::string text = dir.write("camera.cfg", "[camera parameter]\nSIZE = 240, 180\nBIT_WIDTH = 12\n");
    KorvaneTOFUSBSensor textSensor(text, 0);
    EXPECT_EQ(textSensor.open(*camera), 0);
    EXPECT_EQ(camera->getCameraInfo().width, 240);
}

TEST_F(UsbSensorTest, ControlsAndStreamingState) {
    KorvaneTOFUSBSensor sensor("", 3);
    ASSERT_EQ(sensor.open(*camera), 0) << "no path: the adapter's default device";
    EXPECT_EQ(sensor.getCameraInfo().width, 240);
    EXPECT_EQ(sensor.getCameraInfo().bit_width, 12);
    EXPECT_EQ(sensor.getCameraInfo().bpp, 2);
    EXPECT_EQ(sensor.setControl(RANGE, 2000), 0);
    EXPECT_EQ(sensor.setControl(RANGE, 3000), 0);
    for (CameraCtrl ctrl : {FMT_WIDTH, FMT_HEIGHT, FRAME_RATE}) EXPECT_EQ(sensor.setControl(ctrl, 10), 1);
    int value = 55;
    for (CameraCtrl ctrl : {RANGE, FRAME_RATE, EXPOSURE}) EXPECT_EQ(sensor.getControl(ctrl, &value), 4);
    EXPECT_EQ(value, 55) << "getControl writes nothing";
    ASSERT_EQ(sensor.start(), 0);
    EXPECT_EQ(sensor.start(), -1) << "already streaming";
    EXPECT_EQ(sensor.stop(), 0);
    EXPECT_EQ(sensor.start(), 0);
    EXPECT_EQ(sensor.close(), 0);
    EXPECT_EQ(sensor.close(), 0);
}

// Under the leak checker: a transport destroyed without close (as the camera does when
// an open replaces it) still releases the adapter's camera.
TEST_F(UsbSensorTest, DestroyingAnOpenTransportReleasesTheAdapterCamera) {
    auto sensor = std::make_unique<KorvaneTOFUSBSensor>("", 0);
    ASSERT_EQ(sensor->open(*camera), 0);
    ASSERT_EQ(sensor->start(), 0);
    sensor.reset();
}

TEST(UsbSensorFactory, DefaultFactoryBuildsTheUsbTransport) {
    auto sensor = makeDefaultComponentFactory()->makeUsbSensor("camera.cfg", 2);
    auto* usb = dynamic_cast<KorvaneTOFUSBSensor*>(sensor.get());
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->deviceIndex(), 2);
}

}  // namespace
}  // namespace Korvane::testing
