// A CSI transport on an emulated board: the board's kernel is installed as the process's
// system calls for the rig's lifetime, and a camera object receives what open reports.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "component_factory.h"
#include "emulated_board.h"
#include "korvane_tof_camera.h"
#include "transport/csi/korvane_tof_csi_sensor.h"
#include "transport/system/system_calls.h"

namespace Korvane::testing {

using emulation::BoardFamily;
using emulation::BoardOptions;
using emulation::EmulatedBoard;

class CsiRig {
public:
    explicit CsiRig(BoardFamily family, BoardOptions options = {})
        : board(family, std::move(options)),
          use_(board.kernel()),
          camera(makeDefaultComponentFactory()),
          sensor(emulation::kVideoNode, board.platform()) {}

    // Opens and starts with `images` images per frame; the staging buffer fits one frame.
    void openAndStart(int images = 1) {
        ASSERT_EQ(sensor.open(camera), 0);
        sensor.setImagesPerFrame(images);
        ASSERT_EQ(sensor.start(), 0);
        const CameraInfo info = sensor.getCameraInfo();
        width = static_cast<uint32_t>(info.width);
        height = static_cast<uint32_t>(info.height);
        staging.assign(static_cast<size_t>(width) * height * images, 0);
    }

    int grab(uint64_t* timestamp = nullptr) {
        uint64_t ignored = 0;
        return sensor.getFrame(staging.data(), timestamp != nullptr ? timestamp : &ignored);
    }

    // Sample (x, y) of image `image` in the staging buffer.
    uint16_t at(int image, uint32_t x, uint32_t y) const {
        return static_cast<uint16_t>(staging[(static_cast<size_t>(image) * height + y) * width + x]);
    }

    EmulatedBoard board;

private:
    sys::ScopedSystemCalls use_;

public:
    KorvaneTOFCamera camera;
    KorvaneTOFCSISensor sensor;
    std::vector<int16_t> staging;
    uint32_t width = 0, height = 0;  // of one image, as open reported it
};

}  // namespace Korvane::testing
