// Cost of rendering one simulated 240 x 180 four-phase frame (noise included): the
// virtual adapter renders one per frame in the caller's capture thread, so at 30 frames
// per second it must stay well below 33 ms.
#include <benchmark/benchmark.h>

#include <vector>

#include "hqvga_sensor.h"

namespace {

using namespace Korvane::Sim;

void BM_HqvgaRenderFrame(benchmark::State& state) {
    Scene scene;
    scene.add(Plane{{0, 0, 1}, 1.8, 0.6});
    scene.add(Plane{{0, 1, 0}, 0.6, 0.4});
    scene.add(Sphere{{-0.25, 0, 1.0}, 0.2, 0.9});
    scene.add(Box{{0.15, 0.1, 1.1}, {0.45, 0.5, 1.4}, 0.7});
    const HqvgaSensor sensor(scene, Intrinsics{170, 170, 119.5, 89.5}, PixelModelParams{}, 1);
    std::vector<uint16_t> planes(HqvgaSensor::kSamplesPerFrame);
    uint64_t sequence = 0;
    for (auto _ : state) {
        sensor.render(sequence++, planes.data());
        benchmark::DoNotOptimize(planes.data());
    }
}
BENCHMARK(BM_HqvgaRenderFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
