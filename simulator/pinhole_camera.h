// Pinhole camera at the origin looking along +z; pixel (0, 0) is the top-left one.
#pragma once

#include "geometry.h"

namespace Korvane::Sim {

struct Intrinsics {
    double fx = 0.0, fy = 0.0;  // focal lengths, pixels
    double cx = 0.0, cy = 0.0;  // principal point, pixels
};

class PinholeCamera {
public:
    PinholeCamera(int width, int height, const Intrinsics& intrinsics)
        : width_(width), height_(height), intrinsics_(intrinsics) {}

    int width() const { return width_; }
    int height() const { return height_; }
    const Intrinsics& intrinsics() const { return intrinsics_; }

    // The ray through the centre of pixel (x, y), unit direction.
    Ray ray(int x, int y) const {
        const Vec3 direction{(x - intrinsics_.cx) / intrinsics_.fx, (y - intrinsics_.cy) / intrinsics_.fy, 1.0};
        return Ray{Vec3{}, normalized(direction)};
    }

private:
    int width_;
    int height_;
    Intrinsics intrinsics_;
};

}  // namespace Korvane::Sim
