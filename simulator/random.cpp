#include "random.h"

#include <cmath>

namespace Korvane::Sim {

namespace {

uint64_t splitmix64(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

constexpr double kPoissonExactBelow = 30.0;

}  // namespace

Random::Random(uint64_t seed) {
    for (uint64_t& word : state_) word = splitmix64(seed);
}

Random Random::forStream(uint64_t seed, uint64_t stream) {
    uint64_t mixed = seed;
    const uint64_t a = splitmix64(mixed);
    uint64_t s = stream;
    return Random(a ^ splitmix64(s));
}

uint64_t Random::next() {
    const uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
}

double Random::uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

// Marsaglia's polar method; every second call uses the spare value.
double Random::normal() {
    if (hasSpare_) {
        hasSpare_ = false;
        return spare_;
    }
    double u, v, s;
    do {
        u = 2.0 * uniform() - 1.0;
        v = 2.0 * uniform() - 1.0;
        s = u * u + v * v;
    } while (s >= 1.0 || s == 0.0);
    const double scale = std::sqrt(-2.0 * std::log(s) / s);
    spare_ = v * scale;
    hasSpare_ = true;
    return u * scale;
}

double Random::poisson(double mean) {
    if (mean <= 0.0) return 0.0;
    if (mean >= kPoissonExactBelow) {
        return std::fmax(0.0, std::round(mean + std::sqrt(mean) * normal()));
    }
    // Knuth: count uniforms until their product drops below exp(-mean).
    const double limit = std::exp(-mean);
    double product = uniform();
    double count = 0.0;
    while (product > limit) {
        product *= uniform();
        count += 1.0;
    }
    return count;
}

}  // namespace Korvane::Sim
