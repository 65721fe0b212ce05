#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "evk_camera.h"
#include "temp_dir.h"
#include "virtual_camera_files.h"

namespace Korvane::testing {
namespace {

// Three frames of four 240 x 180 12-bit images with random samples and irregular
// timestamps, played back through the adapter SDK.
class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        format.width = 240;
        format.height = 180;
        format.bitWidth = 12;
        format.bytesPerSample = 2;
        format.imagesPerFrame = 4;
        std::mt19937 random(17);
        const uint64_t frameStarts[3] = {1000, 1033, 1071};
        for (uint64_t start : frameStarts) {
            for (uint64_t k = 0; k < 4; ++k) {
                RecordedImage image{start + k * 2, std::vector<uint8_t>(format.imageBytes())};
                for (size_t i = 0; i < image.samples.size(); i += 2) {
                    const uint16_t sample = random() & 0x0FFF;
                    image.samples[i] = static_cast<uint8_t>(sample);
                    image.samples[i + 1] = static_cast<uint8_t>(sample >> 8);
                }
                recorded.push_back(std::move(image));
            }
        }
        ASSERT_TRUE(writeRecording(dir.path("scene.kvr"), format, recorded));
    }

    std::string config(bool loop) {
        return dir.write(loop ? "loop.cfg" : "once.cfg", playbackConfigText("scene.kvr", 240, 180, 12, loop));
    }

    void expectRecorded(const std::vector<CapturedImage>& played, size_t first, uint64_t timeShift) {
        for (size_t i = 0; i < played.size(); ++i) {
            const RecordedImage& expected = recorded[(first + i) % recorded.size()];
            EXPECT_EQ(played[i].timestamp, expected.timestamp + timeShift) << "image " << i;
            EXPECT_EQ(played[i].index, (first + i) % 4);
            EXPECT_TRUE(played[i].samples == expected.samples) << "image " << i << " differs";
        }
    }

    TempDir dir;
    Evk::RecordingFormat format;
    std::vector<RecordedImage> recorded;
};

TEST_F(Playback, YieldsBitIdenticalImagesAndTimestampsThenEnds) {
    EvkCamera camera;
    ASSERT_EQ(camera.open(config(false)), KORVANE_EVK_OK);
    const KorvaneCameraConfig info = camera.config();
    EXPECT_EQ(info.images_per_frame, 4u);
    EXPECT_EQ(info.bytes_per_sample, 2);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    int result = 0;
    const auto played = camera.capture(12, 2000, &result);
    ASSERT_EQ(played.size(), 12u) << "result " << result;
    expectRecorded(played, 0, 0);
    camera.capture(1, 50, &result);
    EXPECT_EQ(result, KORVANE_EVK_END_OF_STREAM);

    // Each start plays the recording from its first frame.
    ASSERT_EQ(KorvaneStopCamera(camera.handle), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    expectRecorded(camera.capture(4), 0, 0);
}

TEST_F(Playback, LoopingContinuesWithAdvancingTimestamps) {
    EvkCamera camera;
    ASSERT_EQ(camera.open(config(true)), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(camera.handle), KORVANE_EVK_OK);
    const auto played = camera.capture(20);
    ASSERT_EQ(played.size(), 20u);
    expectRecorded({played.begin(), played.begin() + 12}, 0, 0);
    // One pass lasts from the first to the last frame (71 ms) plus one frame period at
    // 30 frames per second (33 ms).
    expectRecorded({played.begin() + 12, played.end()}, 12, 71 + 33);
}

TEST_F(Playback, RecorderToolWritesWhatTheDeviceDelivers) {
    // The playback example's recording was made by korvane_evk_record from the shipped
    // simulated configuration; playing it yields the simulated sensor's first frames.
    EvkCamera recording, simulated;
    ASSERT_EQ(recording.open(KORVANE_VIRTUAL_SHARE_DIR "/playback_hqvga.cfg"), KORVANE_EVK_OK);
    ASSERT_EQ(simulated.open(KORVANE_VIRTUAL_CONFIG_DIR "/simulated_hqvga.cfg"), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(recording.handle), KORVANE_EVK_OK);
    ASSERT_EQ(KorvaneStartCamera(simulated.handle), KORVANE_EVK_OK);
    const auto a = recording.capture(4), b = simulated.capture(4);
    ASSERT_EQ(a.size(), 4u);
    ASSERT_EQ(b.size(), 4u);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(a[k].index, k);
        EXPECT_TRUE(a[k].samples == b[k].samples) << "image " << k;
    }
}

TEST(RawRecordingWriter, RefusesImagesThatDoNotMakeWholeFrames) {
    TempDir dir;
    Evk::RecordingFormat format{2, 2, 12, 2, 4};
    const std::vector<uint8_t> image(format.imageBytes());
    Evk::RawRecordingWriter writer(dir.path("partial.kvr"), format);
    ASSERT_TRUE(writer.ok()) << writer.error();
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(writer.addImage(i, image.data()));
    EXPECT_FALSE(writer.finish());
    EXPECT_FALSE(Evk::RawRecordingWriter(dir.path("bad.kvr"), Evk::RecordingFormat{2, 2, 12, 1, 4}).ok())
        << "12-bit samples do not fit one byte";
}

}  // namespace
}  // namespace Korvane::testing
