// Seeded random numbers for sensor noise: xoshiro256** with normal and Poisson draws.
// The same seed gives the same sequence on every machine (no library distributions).
#pragma once

#include <cstdint>

namespace Korvane::Sim {

class Random {
public:
    explicit Random(uint64_t seed);
    // A generator for one of many independent streams of a seed (for example one per frame).
    static Random forStream(uint64_t seed, uint64_t stream);

    uint64_t next();
    double uniform();  // [0, 1)
    double normal();   // mean 0, standard deviation 1
    // Poisson-distributed count: exact for small means, the normal approximation above.
    double poisson(double mean);

private:
    uint64_t state_[4];
    bool hasSpare_ = false;
    double spare_ = 0.0;
};

}  // namespace Korvane::Sim
