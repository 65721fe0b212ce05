#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "optical_image.h"
#include "pinhole_camera.h"
#include "scene.h"

namespace Korvane::Sim {
namespace {

struct HitCase {
    const char* name;
    Scene scene;
    Ray ray;
    double distance;  // < 0: no hit
    double cosIncidence;
    double reflectivity;
};

void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }

Scene with(const Plane& p) { Scene s; s.add(p); return s; }
Scene with(const Sphere& p) { Scene s; s.add(p); return s; }
Scene with(const Box& p) { Scene s; s.add(p); return s; }

const Ray kForward{{0, 0, 0}, {0, 0, 1}};
const Ray kDiagonal{{0, 0, 0}, normalized({1, 0, 1})};

class SceneHits : public ::testing::TestWithParam<HitCase> {};

// Catches wrong roots, wrong faces and hits behind the camera.
TEST_P(SceneHits, NearestSurfaceAlongTheRay) {
    const HitCase& c = GetParam();
    const auto hit = c.scene.intersect(c.ray);
    if (c.distance < 0) {
        EXPECT_FALSE(hit.has_value());
        return;
    }
    ASSERT_TRUE(hit.has_value());
    EXPECT_NEAR(hit->distance, c.distance, 1e-9);
    EXPECT_NEAR(hit->cosIncidence, c.cosIncidence, 1e-9);
    EXPECT_EQ(hit->reflectivity, c.reflectivity);
}

Scene nearestOfThree() {
    Scene s;
    s.add(Plane{{0, 0, 1}, 5.0, 0.1});
    s.add(Sphere{{0, 0, 3}, 0.5, 0.2});
    s.add(Box{{-1, -1, 4}, {1, 1, 4.5}, 0.3});
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SceneHits,
    ::testing::Values(
        HitCase{"wall", with(Plane{{0, 0, 1}, 2.0, 0.5}), kForward, 2.0, 1.0, 0.5},
        HitCase{"wall_seen_at_45_degrees", with(Plane{{0, 0, 1}, 2.0, 0.5}), kDiagonal, 2.0 * std::sqrt(2.0),
                std::sqrt(0.5), 0.5},
        HitCase{"unnormalised_plane_normal", with(Plane{{0, 0, -4}, -8.0, 0.5}), kForward, 2.0, 1.0, 0.5},
        HitCase{"plane_behind_camera", with(Plane{{0, 0, 1}, -2.0, 0.5}), kForward, -1, 0, 0},
        HitCase{"plane_parallel_to_ray", with(Plane{{1, 0, 0}, 1.0, 0.5}), kForward, -1, 0, 0},
        HitCase{"sphere_front", with(Sphere{{0, 0, 3}, 1.0, 0.9}), kForward, 2.0, 1.0, 0.9},
        HitCase{"sphere_grazed_off_centre", with(Sphere{{0.6, 0, 3}, 1.0, 0.9}), kForward, 3.0 - 0.8, 0.8, 0.9},
        HitCase{"inside_sphere_sees_far_side", with(Sphere{{0, 0, 0.5}, 1.0, 0.9}), kForward, 1.5, 1.0, 0.9},
        HitCase{"sphere_missed", with(Sphere{{3, 0, 3}, 1.0, 0.9}), kForward, -1, 0, 0},
        HitCase{"box_front_face", with(Box{{-1, -1, 2}, {1, 1, 4}, 0.7}), kForward, 2.0, 1.0, 0.7},
        HitCase{"box_corners_swapped", with(Box{{1, 1, 4}, {-1, -1, 2}, 0.7}), kForward, 2.0, 1.0, 0.7},
        HitCase{"box_side_face", with(Box{{0.5, -1, 0}, {2, 1, 10}, 0.7}), kDiagonal, 0.5 * std::sqrt(2.0),
                std::sqrt(0.5), 0.7},
        HitCase{"box_missed", with(Box{{2, 2, 2}, {3, 3, 3}, 0.7}), kForward, -1, 0, 0},
        HitCase{"nearest_of_three", nearestOfThree(), kForward, 2.5, 1.0, 0.2}),
    [](const ::testing::TestParamInfo<HitCase>& info) { return std::string(info.param.name); });

// Catches a depth image that holds z instead of the radial distance, or mixes up x and y.
TEST(OpticalImage, HoldsTrueRadialDistanceThroughEachPixel) {
    Scene scene;
    scene.add(Plane{{0, 0, 1}, 2.0, 0.5});
    const PinholeCamera camera(8, 6, Intrinsics{4.0, 5.0, 3.5, 2.5});
    const OpticalImage image = renderOptics(scene, camera);
    ASSERT_EQ(image.distance.size(), 48u);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const double dx = (x - 3.5) / 4.0, dy = (y - 2.5) / 5.0;
            const double expected = 2.0 * std::sqrt(1.0 + dx * dx + dy * dy);
            const size_t i = static_cast<size_t>(y) * 8 + x;
            EXPECT_NEAR(image.distance[i], expected, 1e-5) << x << "," << y;
            EXPECT_NEAR(image.cosIncidence[i], 2.0 / expected, 1e-6);
            EXPECT_EQ(image.reflectivity[i], 0.5f);
        }
    }
}

TEST(OpticalImage, PixelsThatSeeNothingHaveNoDistance) {
    Scene scene;
    scene.add(Sphere{{0, 0, 2}, 0.1, 1.0});
    const OpticalImage image = renderOptics(scene, PinholeCamera(3, 1, Intrinsics{10.0, 10.0, 1.0, 0.0}));
    EXPECT_EQ(image.distance[0], 0.0f);
    EXPECT_NEAR(image.distance[1], 1.9f, 1e-6);
    EXPECT_EQ(image.distance[2], 0.0f);
}

}  // namespace
}  // namespace Korvane::Sim
