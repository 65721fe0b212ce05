#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "evk_camera.h"
#include "temp_dir.h"
#include "virtual_camera_files.h"

namespace Korvane::testing {
namespace {

struct BadInput {
    const char* name;
    std::string config;  // configuration text; empty: no configuration file at all
    int expected;
    const char* message;  // part of what standard error must say
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

// A valid 4 x 2, 12-bit recording of one frame of two images, and broken variants of it.
class BadInputs : public ::testing::TestWithParam<BadInput> {
protected:
    void SetUp() override {
        const Evk::RecordingFormat format{4, 2, 12, 2, 2};
        const std::vector<RecordedImage> images{{0, std::vector<uint8_t>(16, 1)}, {1, std::vector<uint8_t>(16, 2)}};
        ASSERT_TRUE(writeRecording(dir.path("good.kvr"), format, images));
        std::ifstream in(dir.path("good.kvr"), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        dir.write("truncated.kvr", bytes.substr(0, bytes.size() - 5));
        dir.write("trailing.kvr", bytes + "x");
        dir.write("garbage.kvr", "not a recording at all, just some text that is long enough");
        std::string zeroWidth = bytes;
        zeroWidth[12] = 0;
        dir.write("zero_width.kvr", zeroWidth);
    }
    TempDir dir;
};

// Every bad input gets its own error code and a message, never a crash or a device.
TEST_P(BadInputs, OpenFailsWithAClearResult) {
    const BadInput& c = GetParam();
    const std::string path = c.config.empty() ? dir.path("missing.cfg") : dir.write("camera.cfg", c.config);
    KorvaneOpenParam param;
    KorvaneDefaultParam(&param);
    param.config_file = path.c_str();
    param.binary_config = std::string(c.name) == "binary_configuration";
    KorvaneCameraHandle handle = nullptr;
    ::testing::internal::CaptureStderr();
    const int result = KorvaneOpenCamera(&handle, &param);
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(handle, nullptr);
    EXPECT_NE(stderrText.find(c.message), std::string::npos) << stderrText;
    if (handle != nullptr) KorvaneCloseCamera(handle);
}

std::string playback(const char* file, int width = 4, int height = 2, int bits = 12) {
    return playbackConfigText(file, width, height, bits, false);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputs,
    ::testing::Values(
        BadInput{"missing_configuration", "", KORVANE_EVK_ERROR_CONFIG, "cannot read configuration file"},
        BadInput{"binary_configuration", "[camera parameter]\n", KORVANE_EVK_ERROR_CONFIG, "binary configurations"},
        BadInput{"malformed_line", "[camera parameter]\nSIZE = 240, 180\nno separator here\n", KORVANE_EVK_ERROR_CONFIG,
                 "camera.cfg:3: line not accepted"},
        BadInput{"unknown_kind", "[camera parameter]\nSIZE = 4, 2\nBIT_WIDTH = 12\n[virtual device]\nKIND = TELEPORTER\n",
                 KORVANE_EVK_ERROR_DEVICE_KIND, "camera.cfg:5: unknown device kind 'TELEPORTER'"},
        BadInput{"unknown_key", simulatedConfigText(30, "SPEED = 3\n"), KORVANE_EVK_ERROR_CONFIG, "unknown key 'SPEED'"},
        BadInput{"bad_reflectivity", simulatedConfigText(30, "SPHERE = 0, 0, 500, 100, 1.5\n"), KORVANE_EVK_ERROR_CONFIG,
                 "SPHERE reflectivity"},
        BadInput{"bad_number", simulatedConfigText(30, "PLANE = 0, 0, 1, far, 0.5\n"), KORVANE_EVK_ERROR_CONFIG,
                 "PLANE needs 5 numbers"},
        BadInput{"frame_rate_out_of_range", simulatedConfigText(500), KORVANE_EVK_ERROR_CONFIG, "FRAME_RATE"},
        BadInput{"register_without_value", simulatedConfigText() + "[register parameter]\nREG = 0x216c\n",
                 KORVANE_EVK_ERROR_CONFIG, "needs address, value"},
        BadInput{"simulated_size_mismatch", "[camera parameter]\nSIZE = 320, 240\nBIT_WIDTH = 12\n",
                 KORVANE_EVK_ERROR_CONFIG, "240 x 180"},
        BadInput{"no_size", "[camera parameter]\nBIT_WIDTH = 12\n", KORVANE_EVK_ERROR_CONFIG, "needs SIZE"},
        BadInput{"playback_without_file", "[camera parameter]\nSIZE = 4, 2\nBIT_WIDTH = 12\n[virtual device]\nKIND = PLAYBACK\n",
                 KORVANE_EVK_ERROR_CONFIG, "PLAYBACK needs FILE"},
        BadInput{"missing_recording", playback("nowhere.kvr"), KORVANE_EVK_ERROR_RECORDING, "cannot open recording"},
        BadInput{"truncated_recording", playback("truncated.kvr"), KORVANE_EVK_ERROR_RECORDING, "(truncated)"},
        BadInput{"recording_with_trailing_bytes", playback("trailing.kvr"), KORVANE_EVK_ERROR_RECORDING,
                 "its header promises"},
        BadInput{"not_a_recording", playback("garbage.kvr"), KORVANE_EVK_ERROR_RECORDING, "no valid header"},
        BadInput{"recording_with_zero_width", playback("zero_width.kvr"), KORVANE_EVK_ERROR_RECORDING, "out of range"},
        BadInput{"recording_size_mismatch", playback("good.kvr", 8, 2), KORVANE_EVK_ERROR_RECORDING,
                 "the configuration describes 8x2"},
        BadInput{"recording_bit_width_mismatch", playback("good.kvr", 4, 2, 10), KORVANE_EVK_ERROR_RECORDING,
                 "of 10 bits"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

TEST(BadInputs, GoodRecordingOfTheSameFixtureOpens) {
    // The fixture's valid recording opens: the failures above come from what was broken.
    TempDir dir;
    const std::vector<RecordedImage> images{{0, std::vector<uint8_t>(16, 1)}, {1, std::vector<uint8_t>(16, 2)}};
    ASSERT_TRUE(writeRecording(dir.path("good.kvr"), Evk::RecordingFormat{4, 2, 12, 2, 2}, images));
    EvkCamera camera;
    EXPECT_EQ(camera.open(dir.write("camera.cfg", playback("good.kvr"))), KORVANE_EVK_OK);
}

}  // namespace
}  // namespace Korvane::testing
