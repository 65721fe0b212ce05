#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fake_components.h"
#include "korvane_tof_camera.h"

namespace Korvane::testing {

class CameraTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeSensorState> sensor = std::make_shared<FakeSensorState>();
    std::shared_ptr<FakeDeviceState> device = std::make_shared<FakeDeviceState>();
    std::unique_ptr<KorvaneTOFCamera> camera =
        std::make_unique<KorvaneTOFCamera>(std::make_unique<FakeFactory>(sensor, device), "/nonexistent/model");

    void openAndStart(FrameType type = DEPTH) {
        ASSERT_EQ(camera->open(CSI, 0), 0);
        ASSERT_EQ(camera->start(type), 0);
    }

    // Grants n frames one at a time and reads each back: the numbers the camera delivered
    // (skipped frames are simply absent).
    std::vector<int> captureOneByOne(int n) {
        std::vector<int> delivered;
        for (int i = 0; i < n; ++i) {
            sensor->grant(1);
            EXPECT_TRUE(sensor->drained());
            if (KorvaneFrameBuffer* frame = camera->requestFrame(100)) {
                delivered.push_back(static_cast<int>(static_cast<float*>(frame->getData(DEPTH))[0]));
                EXPECT_EQ(camera->releaseFrame(frame), 0);
            }
        }
        return delivered;
    }
};

}  // namespace Korvane::testing
