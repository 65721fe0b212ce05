// What reaches each pixel from a static scene: the ground truth every simulated sensor
// starts from. Independent of modulation frequency and noise, so it is computed once.
#pragma once

#include <vector>

#include "pinhole_camera.h"
#include "scene.h"

namespace Korvane::Sim {

struct OpticalImage {
    int width = 0;
    int height = 0;
    // Per pixel, row-major. Pixels whose ray hits nothing have distance 0 and return no light.
    std::vector<float> distance;      // true radial distance from the camera centre, metres
    std::vector<float> reflectivity;  // of the surface seen, 0 to 1
    std::vector<float> cosIncidence;  // angle between the ray and the surface normal
};

OpticalImage renderOptics(const Scene& scene, const PinholeCamera& camera);

}  // namespace Korvane::Sim
