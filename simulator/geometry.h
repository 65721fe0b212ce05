// Small vector algebra for ray casting. Coordinates are in metres in the camera frame:
// x to the right, y down, z along the optical axis.
#pragma once

#include <cmath>

namespace Korvane::Sim {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(Vec3 a) { return (1.0 / length(a)) * a; }

// A ray from `origin` along the unit vector `direction`.
struct Ray {
    Vec3 origin;
    Vec3 direction;
};

}  // namespace Korvane::Sim
