// Calibration descriptions for the tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <vector>

#include "tof_calibration_writer.h"

namespace correction_test {

// A description with every record the version carries, for the given calibrated
// frequencies and calibration size; values follow simple patterns so each record is
// distinct.
Korvane::Calibration::CalibrationDescription fullDescription(Korvane::Calibration::BlobVersion version,
                                                             std::vector<uint16_t> freqsMHz, uint16_t usWidth = 16,
                                                             uint16_t usHeight = 8);

}  // namespace correction_test
