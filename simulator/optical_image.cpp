#include "optical_image.h"

#include <cstddef>

namespace Korvane::Sim {

OpticalImage renderOptics(const Scene& scene, const PinholeCamera& camera) {
    OpticalImage image;
    image.width = camera.width();
    image.height = camera.height();
    const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    image.distance.assign(pixels, 0.0f);
    image.reflectivity.assign(pixels, 0.0f);
    image.cosIncidence.assign(pixels, 0.0f);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const auto hit = scene.intersect(camera.ray(x, y));
            if (!hit) continue;
            const size_t i = static_cast<size_t>(y) * image.width + x;
            image.distance[i] = static_cast<float>(hit->distance);
            image.reflectivity[i] = static_cast<float>(hit->reflectivity);
            image.cosIncidence[i] = static_cast<float>(hit->cosIncidence);
        }
    }
    return image;
}

}  // namespace Korvane::Sim
