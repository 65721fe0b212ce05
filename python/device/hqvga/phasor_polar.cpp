#include "phasor_polar.h"

#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Korvane::hqvga {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

// The first octant is cut at tan((2i+1) pi / 32) into five segments around the angles
// i pi / 16, whose tangents are kSegmentTan; within a segment the remaining angle has a
// tangent of at most tan(pi / 32) ~ 0.0985.
constexpr double kSegmentEdge[4] = {0.09849140335716425, 0.3033466836073424, 0.5345111359507916,
                                    0.8206787908286602};
constexpr double kSegmentTan[5] = {0.0, 0.198912367379658, 0.41421356237309503, 0.6681786379192989, 1.0};
constexpr double kSegmentAngle[5] = {0.0, 0.19634954084936207, 0.39269908169872414, 0.5890486225480862,
                                     0.7853981633974483};

// The double-precision angle below is within ~2e-15 of the true one, and the library's
// within one ulp; both round to the same float unless the angle lies this close to a
// point halfway between two floats, where the library call decides.
constexpr double kRoundingMargin = 1e-13;

double splat(double value, double) { return value; }
#if CV_SIMD128_64F
cv::v_float64x2 splat(double value, const cv::v_float64x2&) { return cv::v_setall_f64(value); }
#endif

// atan(r) for |r| <= 0.0985 by its series through r^15; the first term left out is below
// 5e-18 relative. A template so that scalars and vectors share one expression.
template <typename T>
T smallArctan(T r) {
    const T r2 = r * r;
    T p = splat(-1.0 / 15, r);
    p = p * r2 + splat(1.0 / 13, r);
    p = p * r2 - splat(1.0 / 11, r);
    p = p * r2 + splat(1.0 / 9, r);
    p = p * r2 - splat(1.0 / 7, r);
    p = p * r2 + splat(1.0 / 5, r);
    p = p * r2 - splat(1.0 / 3, r);
    p = p * r2 + splat(1.0, r);
    return r * p;
}

float nextFloat(float f, int32_t step) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    bits += static_cast<uint32_t>(step);
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// f = (float)angle for a positive normal angle: true when rounding cannot differ.
bool clearOfRoundingPoints(double angle, float f) {
    const double below = 0.5 * (static_cast<double>(f) + nextFloat(f, -1));
    const double above = 0.5 * (static_cast<double>(f) + nextFloat(f, +1));
    return angle - below > kRoundingMargin && above - angle > kRoundingMargin;
}

float libraryAngle(int a, int b) {
    return static_cast<float>(std::atan2(static_cast<double>(a), static_cast<double>(b)));
}

#if CV_SIMD128_64F
using cv::v_float32x4;
using cv::v_float64x2;
using cv::v_int32x4;

// The angle in [0, pi] of two phasors given as |a|, |b| and the signs of b; 0 where both
// components are 0.
v_float64x2 unsignedAngles(const v_float64x2& y, const v_float64x2& x, const v_float64x2& bNegative) {
    const v_float64x2 zero = cv::v_setzero_f64();
    const v_float64x2 num = cv::v_min(x, y);
    const v_float64x2 den = cv::v_max(x, y);
    v_float64x2 t = zero;
    v_float64x2 base = zero;
    for (int i = 0; i < 4; ++i) {
        const v_float64x2 beyond = num > cv::v_setall_f64(kSegmentEdge[i]) * den;
        t = cv::v_select(beyond, cv::v_setall_f64(kSegmentTan[i + 1]), t);
        base = cv::v_select(beyond, cv::v_setall_f64(kSegmentAngle[i + 1]), base);
    }
    v_float64x2 angle = base + smallArctan((num - t * den) / (den + t * num));
    angle = cv::v_select(y > x, cv::v_setall_f64(kHalfPi) - angle, angle);
    angle = cv::v_select(bNegative, cv::v_setall_f64(kPi) - angle, angle);
    return cv::v_select(den == zero, zero, angle);  // 0 / 0 above
}

// Lanes whose rounding to float cannot differ from the library's (zero angles are exact).
v_float64x2 clearLanes(const v_float64x2& angle, const v_float64x2& f, const v_float64x2& up,
                       const v_float64x2& down) {
    const v_float64x2 half = cv::v_setall_f64(0.5);
    const v_float64x2 margin = cv::v_setall_f64(kRoundingMargin);
    const v_float64x2 clear = ((angle - (f + down) * half) > margin) & (((f + up) * half - angle) > margin);
    return clear | (angle == cv::v_setzero_f64());
}
#endif

}  // namespace

// Written without data-dependent branches: phasors of a noisy frame point anywhere, and
// mispredicted octant and segment choices would cost more than the arithmetic.
float phasorAngle(int a, int b) {
    if (a == 0 && b >= 0) return 0.0f;
    const double y = std::abs(a);
    const double x = std::abs(b);
    const bool steep = y > x;
    const double num = std::min(x, y);
    const double den = std::max(x, y);  // > 0: both zero returned above
    const int segment = (num > kSegmentEdge[0] * den) + (num > kSegmentEdge[1] * den) +
                        (num > kSegmentEdge[2] * den) + (num > kSegmentEdge[3] * den);
    const double t = kSegmentTan[segment];
    double angle = kSegmentAngle[segment] + smallArctan((num - t * den) / (den + t * num));
    // Reflections about pi/4 and pi/2 as offset - angle; the multiplications by +-1 and
    // additions of 0 are exact.
    constexpr double kSteepOffset[2] = {0.0, kHalfPi};
    constexpr double kBackOffset[2] = {0.0, kPi};
    constexpr double kReflect[2] = {1.0, -1.0};
    angle = kSteepOffset[steep] + kReflect[steep] * angle;
    angle = kBackOffset[b < 0] + kReflect[b < 0] * angle;
    const float f = static_cast<float>(angle);
    if (__builtin_expect(!clearOfRoundingPoints(angle, f), 0)) return libraryAngle(a, b);
    constexpr float kSign[2] = {1.0f, -1.0f};
    return kSign[a < 0] * f;
}

float phasorHalfLength(int a, int b) {
    return static_cast<float>(0.5 * std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b));
}

void phasorPolar(const int32_t* a, const int32_t* b, size_t n, float* angle, float* halfLength) {
    size_t i = 0;
#if CV_SIMD128_64F
    const v_int32x4 zero = cv::v_setzero_s32();
    const v_int32x4 one = cv::v_setall_s32(1);
    const v_float64x2 half = cv::v_setall_f64(0.5);
    for (; i + 4 <= n; i += 4) {
        const v_int32x4 va = cv::v_load(a + i);
        const v_int32x4 vb = cv::v_load(b + i);
        const v_float64x2 yLo = cv::v_abs(cv::v_cvt_f64(va)), yHi = cv::v_abs(cv::v_cvt_f64_high(va));
        const v_float64x2 xLo = cv::v_abs(cv::v_cvt_f64(vb)), xHi = cv::v_abs(cv::v_cvt_f64_high(vb));
        const v_float64x2 bLo = cv::v_cvt_f64(vb), bHi = cv::v_cvt_f64_high(vb);
        const v_float64x2 zeroD = cv::v_setzero_f64();
        const v_float64x2 angleLo = unsignedAngles(yLo, xLo, bLo < zeroD);
        const v_float64x2 angleHi = unsignedAngles(yHi, xHi, bHi < zeroD);

        const v_float32x4 f = cv::v_cvt_f32(angleLo, angleHi);
        const v_int32x4 bits = cv::v_reinterpret_as_s32(f);
        const v_float32x4 up = cv::v_reinterpret_as_f32(bits + one);
        const v_float32x4 down = cv::v_reinterpret_as_f32(bits - one);
        const bool clear = cv::v_check_all(clearLanes(angleLo, cv::v_cvt_f64(f), cv::v_cvt_f64(up),
                                                      cv::v_cvt_f64(down))) &&
                           cv::v_check_all(clearLanes(angleHi, cv::v_cvt_f64_high(f), cv::v_cvt_f64_high(up),
                                                      cv::v_cvt_f64_high(down)));
        if (__builtin_expect(clear, 1)) {
            const v_float32x4 negative = cv::v_reinterpret_as_f32(va < zero);
            cv::v_store(angle + i, cv::v_select(negative, cv::v_setzero_f32() - f, f));
        } else {
            for (size_t k = i; k < i + 4; ++k) angle[k] = phasorAngle(a[k], b[k]);
        }
        const v_float64x2 lengthLo = half * cv::v_sqrt(xLo * xLo + yLo * yLo);
        const v_float64x2 lengthHi = half * cv::v_sqrt(xHi * xHi + yHi * yHi);
        cv::v_store(halfLength + i, cv::v_cvt_f32(lengthLo, lengthHi));
    }
#endif
    for (; i < n; ++i) {
        angle[i] = phasorAngle(a[i], b[i]);
        halfLength[i] = phasorHalfLength(a[i], b[i]);
    }
}

}  // namespace Korvane::hqvga
