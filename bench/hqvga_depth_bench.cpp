// Depth, amplitude and confidence of one 240 x 180 frame (four phase planes), the work the
// capture thread does per frame for the small sensor. Goal: well under 1 ms on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "device/hqvga/hqvga_depth.h"

namespace {

using namespace Korvane;

// A scene: a slanted wall (phase rising across the image) with amplitude falling towards
// the corners and sample noise, as a lens would show it.
std::vector<uint16_t> sceneFrame() {
    std::vector<uint16_t> staging(hqvga::kPixels * hqvga::kPhases);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 4.0);
    for (int r = 0; r < hqvga::kHeight; ++r) {
        for (int c = 0; c < hqvga::kWidth; ++c) {
            const double phase = 0.5 + 4.5 * c / hqvga::kWidth + 0.5 * r / hqvga::kHeight;
            const double dx = (c - 120) / 120.0, dy = (r - 90) / 90.0;
            const double amplitude = 300.0 * (1.0 - 0.4 * (dx * dx + dy * dy));
            for (int k = 0; k < hqvga::kPhases; ++k) {
                const double s = 512.0 + amplitude * std::cos(phase + k * M_PI / 2) + noise(random);
                staging[k * hqvga::kPixels + r * hqvga::kWidth + c] = static_cast<uint16_t>(std::lround(s));
            }
        }
    }
    return staging;
}

// Independent samples: every pixel a random phasor (no branch of the arctangent repeats).
std::vector<uint16_t> randomFrame() {
    std::vector<uint16_t> staging(hqvga::kPixels * hqvga::kPhases);
    std::mt19937 random(2);
    std::uniform_int_distribution<int> sample(0, 0x7FF);
    for (uint16_t& s : staging) s = static_cast<uint16_t>(sample(random));
    return staging;
}

void runDepth(benchmark::State& state, const std::vector<uint16_t>& staging, int range) {
    std::vector<float> depth(hqvga::kPixels), amplitude(hqvga::kPixels), confidence(hqvga::kPixels);
    const hqvga::PhaseSettings settings{0, range == 2000,
                                        range == 2000 ? hqvga::kFrequency75M : hqvga::kFrequency37M5};
    for (auto _ : state) {
        hqvga::computeDepth(staging.data(), settings, depth.data(), amplitude.data(), confidence.data());
        benchmark::DoNotOptimize(depth.data());
        benchmark::DoNotOptimize(amplitude.data());
        benchmark::ClobberMemory();
    }
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(hqvga::kPixels) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
}

void BM_HqvgaDepthScene(benchmark::State& state) { runDepth(state, sceneFrame(), static_cast<int>(state.range(0))); }
void BM_HqvgaDepthRandom(benchmark::State& state) { runDepth(state, randomFrame(), 4000); }

void BM_HqvgaRawInterleave(benchmark::State& state) {
    const std::vector<uint16_t> staging = sceneFrame();
    std::vector<int16_t> raw(hqvga::kPixels * hqvga::kPhases);
    for (auto _ : state) {
        hqvga::interleaveRawImages(staging.data(), 0, raw.data());
        benchmark::DoNotOptimize(raw.data());
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_HqvgaDepthScene)->Arg(4000)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HqvgaDepthRandom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HqvgaRawInterleave)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
