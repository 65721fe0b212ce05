// Depth error statistics against a simulator's ground truth, for end-to-end tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace Korvane::testing {

struct DepthErrors {
    double meanSigned;  // mm: a systematic error (plane order, frequency, scale) shows here
    double median;      // mm, of the absolute errors
    double outliers;    // fraction of the pixels off by more than 80 mm
};

// measured - truth taken modulo the unambiguous range, in [-range / 2, range / 2]: a depth
// that wrapped around counts by its distance across the wrap.
inline double wrappedSignedDepthError(double measuredMm, double trueMm, double rangeMm) {
    double error = std::fmod(measuredMm - trueMm, rangeMm);
    if (error > rangeMm / 2.0) error -= rangeMm;
    if (error < -rangeMm / 2.0) error += rangeMm;
    return error;
}

inline double wrappedDepthError(double measuredMm, double trueMm, double rangeMm) {
    return std::fabs(wrappedSignedDepthError(measuredMm, trueMm, rangeMm));
}

// Collects per-pixel errors taken modulo the unambiguous range.
class DepthErrorStats {
public:
    explicit DepthErrorStats(double rangeMm) : range_(rangeMm) {}

    void add(double measuredMm, double trueMm) {
        const double error = wrappedSignedDepthError(measuredMm, trueMm, range_);
        sum_ += error;
        outliers_ += std::fabs(error) > 80.0;
        errors_.push_back(std::fabs(error));
    }

    size_t count() const { return errors_.size(); }

    DepthErrors result() {
        if (errors_.empty()) return {NAN, NAN, NAN};
        std::nth_element(errors_.begin(), errors_.begin() + errors_.size() / 2, errors_.end());
        const double n = static_cast<double>(errors_.size());
        return {sum_ / n, errors_[errors_.size() / 2], static_cast<double>(outliers_) / n};
    }

private:
    double range_;
    double sum_ = 0.0;
    size_t outliers_ = 0;
    std::vector<double> errors_;
};

}  // namespace Korvane::testing
