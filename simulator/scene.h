// A static scene of simple shapes with diffuse (Lambertian) reflectivity.
#pragma once

#include <optional>
#include <vector>

#include "geometry.h"

namespace Korvane::Sim {

// The points p with dot(normal, p) = offset (metres); normal need not be unit length.
struct Plane {
    Vec3 normal;
    double offset = 0.0;
    double reflectivity = 0.0;  // 0 to 1
};

// Axis-aligned box between two corners (metres).
struct Box {
    Vec3 min;
    Vec3 max;
    double reflectivity = 0.0;
};

struct Sphere {
    Vec3 centre;
    double radius = 0.0;  // metres
    double reflectivity = 0.0;
};

struct Hit {
    double distance;      // along the ray, metres
    double cosIncidence;  // cosine between the ray and the surface normal, 0 to 1
    double reflectivity;
};

class Scene {
public:
    void add(const Plane& plane) { planes_.push_back(plane); }
    void add(const Box& box) { boxes_.push_back(box); }
    void add(const Sphere& sphere) { spheres_.push_back(sphere); }
    bool empty() const { return planes_.empty() && boxes_.empty() && spheres_.empty(); }

    // The nearest surface in front of the ray's origin, if any.
    std::optional<Hit> intersect(const Ray& ray) const;

private:
    std::vector<Plane> planes_;
    std::vector<Box> boxes_;
    std::vector<Sphere> spheres_;
};

}  // namespace Korvane::Sim
