#include "scene.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Korvane::Sim {

namespace {

constexpr double kMinDistance = 1e-9;  // hits closer than this are the ray's own origin

std::optional<Hit> intersectPlane(const Plane& plane, const Ray& ray) {
    const double along = dot(plane.normal, ray.direction);
    const double normalLength = length(plane.normal);
    if (normalLength == 0.0 || std::fabs(along) < 1e-12 * normalLength) return std::nullopt;
    const double t = (plane.offset - dot(plane.normal, ray.origin)) / along;
    if (t <= kMinDistance) return std::nullopt;
    return Hit{t, std::fabs(along) / normalLength, plane.reflectivity};
}

std::optional<Hit> intersectSphere(const Sphere& sphere, const Ray& ray) {
    const Vec3 toOrigin = ray.origin - sphere.centre;
    const double b = dot(toOrigin, ray.direction);
    const double c = dot(toOrigin, toOrigin) - sphere.radius * sphere.radius;
    const double discriminant = b * b - c;
    if (discriminant < 0.0) return std::nullopt;
    const double root = std::sqrt(discriminant);
    double t = -b - root;
    if (t <= kMinDistance) t = -b + root;  // origin inside the sphere: its far side
    if (t <= kMinDistance) return std::nullopt;
    const Vec3 normal = normalized(ray.origin + t * ray.direction - sphere.centre);
    return Hit{t, std::fabs(dot(normal, ray.direction)), sphere.reflectivity};
}

// Slab method; the face crossed decides the normal.
std::optional<Hit> intersectBox(const Box& box, const Ray& ray) {
    const double origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const double direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    const double low[3] = {std::min(box.min.x, box.max.x), std::min(box.min.y, box.max.y),
                           std::min(box.min.z, box.max.z)};
    const double high[3] = {std::max(box.min.x, box.max.x), std::max(box.min.y, box.max.y),
                            std::max(box.min.z, box.max.z)};
    double tNear = -INFINITY, tFar = INFINITY;
    int nearAxis = -1, farAxis = -1;
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0.0) {
            if (origin[axis] < low[axis] || origin[axis] > high[axis]) return std::nullopt;
            continue;
        }
        double t0 = (low[axis] - origin[axis]) / direction[axis];
        double t1 = (high[axis] - origin[axis]) / direction[axis];
        if (t0 > t1) std::swap(t0, t1);
        if (t0 > tNear) tNear = t0, nearAxis = axis;
        if (t1 < tFar) tFar = t1, farAxis = axis;
    }
    if (tNear > tFar) return std::nullopt;
    double t = tNear;
    int axis = nearAxis;
    if (t <= kMinDistance) t = tFar, axis = farAxis;  // origin inside the box: its far wall
    if (t <= kMinDistance || axis < 0) return std::nullopt;
    return Hit{t, std::fabs(direction[axis]), box.reflectivity};
}

void keepNearest(std::optional<Hit>& nearest, const std::optional<Hit>& candidate) {
    if (candidate && (!nearest || candidate->distance < nearest->distance)) nearest = candidate;
}

}  // namespace

std::optional<Hit> Scene::intersect(const Ray& ray) const {
    std::optional<Hit> nearest;
    for (const Plane& plane : planes_) keepNearest(nearest, intersectPlane(plane, ray));
    for (const Box& box : boxes_) keepNearest(nearest, intersectBox(box, ray));
    for (const Sphere& sphere : spheres_) keepNearest(nearest, intersectSphere(sphere, ray));
    return nearest;
}

}  // namespace Korvane::Sim
