#include "platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>

namespace Korvane {
namespace {

struct ModelCase {
    const char* model;
    PlatformType expected;
};

void PrintTo(const ModelCase& c, std::ostream* os) { *os << '"' << c.model << '"'; }

class PlatformFromModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(PlatformFromModel, Classifies) {
    EXPECT_EQ(platformFromModel(GetParam().model), GetParam().expected) << GetParam().model;
}

INSTANTIATE_TEST_SUITE_P(
    Boards, PlatformFromModel,
    ::testing::Values(ModelCase{"NVIDIA Jetson Xavier NX Developer Kit", PLATFORM_JETSON},
                      ModelCase{"NVIDIA Jetson Nano Developer Kit", PLATFORM_JETSON_NANO},
                      ModelCase{"NVIDIA Jetson TX1", PLATFORM_JETSON_NANO},
                      ModelCase{"NVIDIA Jetson AGX", PLATFORM_JETSON},
                      ModelCase{"NVIDIA Orin Nano Developer Kit", PLATFORM_JETSON},
                      ModelCase{"NVIDIA Orin", PLATFORM_JETSON},
                      ModelCase{"NVIDIAOrin", PLATFORM_UNKNOWN},  // " Orin" needs its blank
                      ModelCase{"Raspberry Pi 4 Model B Rev 1.4", PLATFORM_RASPBERRY_PI},
                      ModelCase{"Raspberry Pi 5 Model B Rev 1.0", PLATFORM_RASPBERRY_PI5},
                      ModelCase{"Radxa ROCK 5B", PLATFORM_ROCK},
                      ModelCase{"Radxa Zero", PLATFORM_UNKNOWN}, ModelCase{"", PLATFORM_UNKNOWN}));

TEST(DetectPlatform, ReadsTheFirstLineOfTheModelFile) {
    const std::string path = ::testing::TempDir() + "korvane_model";
    {
        std::ofstream out(path, std::ios::binary);
        out << "Raspberry Pi 5 Model B Rev 1.0" << '\0';
    }
    EXPECT_EQ(detectPlatform(path), PLATFORM_RASPBERRY_PI5);
    {
        // Only the first 99 characters are read.
        std::ofstream out(path, std::ios::binary);
        out << std::string(99, 'x') << "Raspberry Pi";
    }
    EXPECT_EQ(detectPlatform(path), PLATFORM_UNKNOWN);
    std::remove(path.c_str());
    EXPECT_EQ(detectPlatform(path), PLATFORM_UNKNOWN);
}

}  // namespace
}  // namespace Korvane
