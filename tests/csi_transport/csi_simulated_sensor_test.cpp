// The simulator's four-phase sensor behind the emulated Raspberry Pi driver: the transport
// delivers its phase planes unchanged, and RANGE reaches the sensor's modulation.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "csi_rig.h"
#include "hqvga_sensor.h"
#include "simulator_frame_source.h"

namespace Korvane::testing {
namespace {

using Sim::HqvgaModulation;
using Sim::HqvgaSensor;

const Sim::Intrinsics kIntrinsics{170.0, 170.0, 119.5, 89.5};

Sim::Scene wallAndSphere() {
    Sim::Scene scene;
    scene.add(Sim::Plane{{0, 0, 1}, 2.0, 0.7});
    scene.add(Sim::Sphere{{0.2, 0.1, 1.3}, 0.25, 0.8});
    return scene;
}

std::vector<uint16_t> rendered(HqvgaModulation modulation, uint64_t frame) {
    HqvgaSensor sensor(wallAndSphere(), kIntrinsics, Sim::PixelModelParams{}, 5);
    sensor.setModulation(modulation);
    std::vector<uint16_t> planes(HqvgaSensor::kSamplesPerFrame);
    sensor.render(frame, planes.data());
    return planes;
}

// A frame mixing the planes of two simulated frames, or one at the wrong frequency,
// differs from the simulator's own rendering.
TEST(CsiSimulatedSensor, PlanesArriveUnchangedAndRangeSwitchesTheModulation) {
    HqvgaSensor simulated(wallAndSphere(), kIntrinsics, Sim::PixelModelParams{}, 5);
    auto source = std::make_shared<emulation::SimulatorFrameSource>(simulated);
    BoardOptions options;
    options.source = source;
    CsiRig rig(BoardFamily::RaspberryPi, options);
    source->followRangeControl(*rig.board.sensor());
    rig.openAndStart(4);

    const auto staged = [&rig] {
        std::vector<uint16_t> planes(HqvgaSensor::kSamplesPerFrame);
        std::memcpy(planes.data(), rig.staging.data(), planes.size() * sizeof(uint16_t));
        return planes;
    };
    ASSERT_EQ(rig.grab(), 0);
    EXPECT_EQ(staged(), rendered(HqvgaModulation::MHz37_5, 0));

    ASSERT_EQ(rig.sensor.setControl(RANGE, 2000), 0);
    ASSERT_EQ(rig.grab(), 0);
    EXPECT_EQ(staged(), rendered(HqvgaModulation::MHz75, 1));

    ASSERT_EQ(rig.sensor.setControl(RANGE, 4000), 0);
    ASSERT_EQ(rig.grab(), 0);
    EXPECT_EQ(staged(), rendered(HqvgaModulation::MHz37_5, 2));
}

}  // namespace
}  // namespace Korvane::testing
