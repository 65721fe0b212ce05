#include "device/hqvga/phasor_polar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace Korvane::hqvga {
namespace {

uint32_t bitsOf(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float libraryAngle(int a, int b) { return static_cast<float>(std::atan2(static_cast<double>(a), static_cast<double>(b))); }

float libraryHalfLength(int a, int b) {
    return static_cast<float>(0.5 * std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b));
}

// Compares the scalar and the vector path with the library, bit for bit. The count of
// phasors is odd, so the vector loop hands a remainder to the scalar code.
void expectLibraryResults(const std::vector<int32_t>& a, const std::vector<int32_t>& b) {
    std::vector<float> angle(a.size()), length(a.size());
    phasorPolar(a.data(), b.data(), a.size(), angle.data(), length.data());
    int mismatches = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const uint32_t expected = bitsOf(libraryAngle(a[i], b[i]));
        const bool ok = bitsOf(angle[i]) == expected && bitsOf(phasorAngle(a[i], b[i])) == expected &&
                        bitsOf(length[i]) == bitsOf(libraryHalfLength(a[i], b[i])) &&
                        bitsOf(phasorHalfLength(a[i], b[i])) == bitsOf(length[i]);
        if (!ok && ++mismatches <= 5) {
            ADD_FAILURE() << "a " << a[i] << " b " << b[i] << ": angle " << angle[i] << " / " << phasorAngle(a[i], b[i])
                          << " vs " << libraryAngle(a[i], b[i]) << ", half length " << length[i];
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Phase differences are differences of two samples converted to multiples of 16 in
// -16384 .. 16368, so a and b are 16 k with |k| <= 2047: every such pair is checked. A
// wrong octant, segment or constant, or a rounding that differs from the library's in a
// single pixel, fails here.
TEST(PhasorPolar, EqualsTheLibraryOnEverySensorPhasor) {
    std::vector<int32_t> a, b;
    a.reserve(4095 * 4095 + 1);
    b.reserve(4095 * 4095 + 1);
    for (int ka = -2047; ka <= 2047; ++ka) {
        for (int kb = -2047; kb <= 2047; ++kb) {
            a.push_back(16 * ka);
            b.push_back(16 * kb);
        }
    }
    a.push_back(0);
    b.push_back(0);
    expectLibraryResults(a, b);
}

TEST(PhasorPolar, EqualsTheLibraryOnArbitraryComponents) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> component(-32767, 32767);
    std::vector<int32_t> a, b;
    for (int i = 0; i < 2'000'001; ++i) {
        a.push_back(component(random));
        b.push_back(component(random));
    }
    for (const int ea : {0, 1, -1, 32767, -32767}) {
        for (const int eb : {0, 1, -1, 32767, -32767}) {
            a.push_back(ea);
            b.push_back(eb);
        }
    }
    expectLibraryResults(a, b);
}

}  // namespace
}  // namespace Korvane::hqvga
