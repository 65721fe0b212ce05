// The four line layouts of the boards, checked against buffers built byte by byte here
// (not by the emulated driver), so that the converters and the emulation cannot share a
// mistake.
#include "transport/csi/line_converters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "transport/csi/board_profile.h"

namespace Korvane::csi {
namespace {

std::vector<uint16_t> samplesOf(const std::vector<uint8_t>& bytes) {
    std::vector<uint16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Pi 5: a 240-sample line is 360 bytes of 3-byte groups followed by 8 bytes of padding,
// which must be skipped (else every later line is shifted into the padding).
TEST(LineConverters, Packed12SkipsTheEightPaddingBytesAfterEach240SampleLine) {
    constexpr size_t kLine = 368;
    std::vector<uint8_t> src(kLine * 3, 0xEE);  // padding poisoned
    for (size_t y = 0; y < 3; ++y) {
        for (size_t i = 0; i < 360; ++i) src[y * kLine + i] = static_cast<uint8_t>(i * 7 + y * 31 + 1);
    }
    std::vector<uint8_t> dst(240 * 3 * 2, 0);
    unpackPacked12(src.data(), src.size(), dst.data(), dst.size(), 240);

    const std::vector<uint16_t> out = samplesOf(dst);
    for (size_t y = 0; y < 3; ++y) {
        for (size_t g = 0; g < 120; ++g) {
            const uint8_t* b = &src[y * kLine + g * 3];
            ASSERT_EQ(out[y * 240 + 2 * g], (b[0] << 4) | (b[2] & 0x0F)) << "line " << y << " group " << g;
            ASSERT_EQ(out[y * 240 + 2 * g + 1], (b[1] << 4) | (b[2] >> 4)) << "line " << y << " group " << g;
        }
    }
}

// A line whose length needs no padding (640 samples = 960 bytes): the last groups of the
// buffer are converted too instead of being left with the previous frame's samples.
TEST(LineConverters, Packed12ConvertsTheLastGroupsOfAnUnpaddedBuffer) {
    std::vector<uint8_t> src(960);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i % 253 + 1);
    std::vector<uint8_t> dst(640 * 2, 0);
    unpackPacked12(src.data(), src.size(), dst.data(), dst.size(), 640);
    const std::vector<uint16_t> out = samplesOf(dst);
    EXPECT_EQ(out[638], (src[957] << 4) | (src[959] & 0x0F));
    EXPECT_EQ(out[639], (src[958] << 4) | (src[959] >> 4));
}

// Raspberry Pi: 92160 bytes are 180 lines of 512 bytes of which the first 480 are samples.
TEST(LineConverters, StrideCopyKeeps480BytesOfEach512ByteLine) {
    std::vector<uint8_t> src(kStrideBufferBytes, 0xEE);
    for (size_t y = 0; y < 180; ++y) {
        for (size_t i = 0; i < 480; ++i) src[y * 512 + i] = static_cast<uint8_t>(y * 3 + i);
    }
    std::vector<uint8_t> dst(86400, 0);
    strideCopy(src.data(), src.size(), dst.data(), dst.size(), 240);
    for (size_t y = 0; y < 180; ++y) {
        ASSERT_EQ(0, std::memcmp(&dst[y * 480], &src[y * 512], 480)) << "line " << y;
    }
}

// Jetson Xavier/Orin: per 960-byte block, line A = bytes 0-447 + 896-927, line B = 448-927.
TEST(LineConverters, PairedLineCopyBuildsBothLinesOfEachBlock) {
    std::vector<uint8_t> src(960 * 2);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i % 251);
    std::vector<uint8_t> dst(480 * 4, 0);
    pairedLineCopy(src.data(), src.size(), dst.data(), dst.size(), 240);
    for (size_t block = 0; block < 2; ++block) {
        const uint8_t* b = &src[block * 960];
        const uint8_t* lineA = &dst[block * 960];
        const uint8_t* lineB = lineA + 480;
        EXPECT_EQ(0, std::memcmp(lineA, b, 448)) << "block " << block;
        EXPECT_EQ(0, std::memcmp(lineA + 448, b + 896, 32)) << "block " << block;
        EXPECT_EQ(0, std::memcmp(lineB, b + 448, 480)) << "block " << block;
    }
}

TEST(LineConverters, PlainCopyKeepsEveryByte) {
    std::vector<uint8_t> src(1000);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 13);
    std::vector<uint8_t> dst(1000, 0);
    plainCopy(src.data(), src.size(), dst.data(), dst.size(), 240);
    EXPECT_EQ(src, dst);
}

// A kernel buffer longer than the image's slot must not be written past the slot.
class ConverterBounds : public ::testing::TestWithParam<LineConverter> {};

TEST_P(ConverterBounds, NeverWritesPastTheSlot) {
    std::vector<uint8_t> src(kStrideBufferBytes, 0x5A);
    constexpr size_t kSlot = 1001;  // deliberately not a multiple of any line
    std::vector<uint8_t> dst(kSlot + 64, 0xC3);
    GetParam()(src.data(), src.size(), dst.data(), kSlot, 240);
    for (size_t i = kSlot; i < dst.size(); ++i) ASSERT_EQ(dst[i], 0xC3) << "byte " << i << " past the slot";
}

INSTANTIATE_TEST_SUITE_P(AllConverters, ConverterBounds,
                         ::testing::Values(plainCopy, strideCopy, pairedLineCopy, unpackPacked12));

struct ChoiceCase {
    PlatformType platform;
    size_t bytes;
    LineConverter expected;
};

TEST(LineConverters, ChoiceByBufferSizeThenBoard) {
    const ChoiceCase cases[] = {
        {PLATFORM_RASPBERRY_PI, 92160, strideCopy},   {PLATFORM_RASPBERRY_PI5, 92160, strideCopy},
        {PLATFORM_JETSON, 92160, strideCopy},         {PLATFORM_RASPBERRY_PI, 86400, plainCopy},
        {PLATFORM_RASPBERRY_PI5, 66240, unpackPacked12}, {PLATFORM_JETSON, 86400, pairedLineCopy},
        {PLATFORM_JETSON_NANO, 86400, plainCopy},     {PLATFORM_ROCK, 86400, plainCopy},
        {PLATFORM_UNKNOWN, 86400, plainCopy},
    };
    for (const ChoiceCase& c : cases) {
        EXPECT_EQ(chooseConverter(boardProfile(c.platform), c.bytes), c.expected)
            << "platform " << c.platform << ", " << c.bytes << " bytes";
    }
}

}  // namespace
}  // namespace Korvane::csi
