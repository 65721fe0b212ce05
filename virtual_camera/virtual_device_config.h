// What a virtual device is: read from a camera configuration file, or the built-in default.
//
// The [camera parameter] section gives the images' size and bit width (SIZE, BIT_WIDTH,
// TYPE); [register parameter] REG entries are written to the sensor at init. The virtual
// adapter's own settings live in the section [virtual device], which other readers of the
// file ignore:
//
//   KIND = SIMULATED_HQVGA | PLAYBACK
//   FRAME_RATE = 30                      frames per second, 1 to 100
//   SEED = 1                             noise seed (simulated)
//   INTRINSICS = fx, fy, cx, cy          pinhole camera, pixels (simulated)
//   PLANE = nx, ny, nz, offset, refl     points p with n.p = offset (mm)   (simulated)
//   BOX = x0, y0, z0, x1, y1, z1, refl   axis-aligned box corners (mm)     (simulated)
//   SPHERE = x, y, z, radius, refl       (mm)                              (simulated)
//   SIGNAL_ELECTRONS, DEMODULATION_CONTRAST, AMBIENT_ELECTRONS, FULL_WELL_ELECTRONS,
//   ELECTRONS_PER_CODE, READ_NOISE_ELECTRONS   pixel physics (simulated)
//   FILE = recording.kvr                 recording, relative to the file's folder (playback)
//   LOOP = 1                             1: start again after the last frame (playback)
//
// Coordinates are those of the camera: x right, y down, z along the optical axis.
// Reflectivities are 0 to 1. Without any shape the simulated sensor sees the default scene.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pinhole_camera.h"
#include "pixel_model.h"
#include "scene.h"

namespace Korvane::Evk {

enum class DeviceKind { SimulatedHqvga, Playback };

struct VirtualDeviceConfig {
    DeviceKind kind = DeviceKind::SimulatedHqvga;
    std::string type;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitWidth = 0;
    double frameRate = 30.0;
    std::vector<std::pair<uint32_t, uint32_t>> registers;  // (address, value) written at init

    // Simulated sensor.
    uint64_t seed = 1;
    Sim::Intrinsics intrinsics;
    Sim::Scene scene;
    Sim::PixelModelParams pixel;

    // Playback.
    std::string recordingPath;
    bool loop = false;
};

// The device KorvaneOpenCamera opens without a configuration file.
VirtualDeviceConfig defaultVirtualDevice();

// The default pinhole camera and scene of the simulated sensor.
Sim::Intrinsics defaultHqvgaIntrinsics();
Sim::Scene defaultScene();

enum class ConfigStatus { Ok, Invalid, UnknownKind };

// Reads `path`; on failure `error` names the file, the first bad line and the reason.
ConfigStatus readVirtualDeviceConfig(const std::string& path, VirtualDeviceConfig& config, std::string& error);

}  // namespace Korvane::Evk
