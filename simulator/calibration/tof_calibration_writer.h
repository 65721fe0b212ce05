// Writes calibration blobs (V3.1, or V3) from a calibration description held in memory.
//
// Every record is optional: an absent record gets an empty slot with its valid flag 0.
// Per-frequency records are listed in the order of the calibrated frequencies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Korvane::Calibration {

enum class BlobVersion { V3, V3_1 };

// How far the V3.1 header reaches after fErrPrecisionMM; later fields are left out, and
// the first record follows directly.
enum class HeaderTail { ErrPrecision, MaxFreq, WigType, PulseMode, TwoPhaseMode };

// a >= 0: bad pixel at column a, row b; a = -2: whole row b; a = -3: whole column b.
// Row values and the column list carry a class in their thousands (class * 1000 + index).
struct BadPixelEntry {
    int16_t a = 0;
    int16_t b = 0;
};

struct MaskCalibration {
    uint8_t type = 1;              // 1 per-row valid column range, 2 image
    std::vector<uint16_t> xMin;    // type 1: per calibration row
    std::vector<uint16_t> xMax;
    std::vector<uint8_t> image;    // type 2: per pixel, 0 valid, 128 masked
};

struct GrayFpnCalibration {
    uint8_t type = 1;              // 1 per column, 2 per pixel (V3: per column only)
    std::vector<int16_t> errors;
};

struct LensCalibration {
    float params[9] = {};          // fx, fy, cx, cy (1-based), k1, k2, p1, p2, k3
    float zoom = 1.0f;
    float skew = 0.0f;
    bool writeSkew = true;         // V3 records may end before the skew
};

struct TemperatureCalibration {
    uint8_t sensorType = 1;
    uint8_t driverType = 0;        // V3 stores one bit
    float tSensorDeg = 0;
    float tDriverDeg = 0;
    float errPrecisionMM = 0;      // V3 only (V3.1: the header's)
    uint8_t fitMode = 1;
    float fitParas[10] = {};
};

struct OffsetCalibration {
    float globalMM = 0;
    std::vector<float> blocksMM;   // V3: exactly 16
};

struct FppnEntry {
    uint8_t fitMode = 2;
    float fitParas[10] = {};
};

struct FppnCalibration {
    uint8_t fileType = 1;          // 1 error image, 2 fitted surface, 3 both
    uint8_t imageSource = 0;       // V3.1: 0 in the record, 1 in the separate FPPN blob
    float errPrecisionMM = 0;      // V3 only
    std::vector<FppnEntry> entries;  // one per calibrated frequency
    uint8_t zoom = 1;
    uint8_t imageType = 1;         // V3.1: 0 int8, 1 int16, 2 float (V3: int8)
    std::vector<float> image;      // per calibration pixel, values of the image type
};

struct WigglingCalibration {
    uint8_t fileType = 1;          // 1 sampled curve, 2 fitted curve
    float errPrecisionMM = 0;      // V3 only
    uint8_t distZoom = 1;
    uint8_t errZoom = 1;
    uint16_t startDistMM = 0;
    uint8_t stepDistMM = 1;
    std::vector<int16_t> lut;
    uint8_t fitMode = 2;
    std::vector<float> fitParas;   // 1..100
};

struct RegistrationCalibration {
    float tofIntrinsic[9] = {};
    float rgbIntrinsic[9] = {};
    float rotation[9] = {};
    float translation[3] = {};
    uint8_t rgbCameraLeft = 0;
};

struct LumaCalibration {
    uint8_t type = 1;
    uint8_t blockX = 8;
    uint8_t blockY = 8;
    std::vector<float> gains;      // (width / blockX) * (height / blockY), row by row
};

struct CalibrationDescription {
    BlobVersion version = BlobVersion::V3_1;
    std::string versionText;       // empty: "CALI0301" for V3.1, "CALI0300" for V3
    std::string caliArithVersion = "korvane-sim";  // V3.1, at most 16 characters
    std::string sensorId = "ZEF4471";              // at most 24 characters
    std::vector<uint16_t> freqsMHz;                // 1..4 calibrated frequencies
    std::vector<uint16_t> expoTimesUs;             // one per frequency (missing: 0)

    uint16_t width = 640;
    uint16_t height = 480;
    uint16_t rawWidth = 640;
    uint16_t rawHeight = 480;
    uint16_t startX = 0;
    uint16_t startY = 0;
    uint8_t flipMode = 0;
    uint8_t binningType = 0;
    uint8_t phaseMode = 0;         // V3.1

    float errPrecisionMM = 1.0f;   // V3.1
    float maxFreqMHz = 960.0f;     // V3.1
    uint8_t wigType = 0;           // V3.1
    uint8_t pulseMode = 0;         // V3.1
    uint8_t twoPhaseMode = 0;      // V3.1
    HeaderTail headerTail = HeaderTail::TwoPhaseMode;

    uint8_t isLenCaliFirst = 0;    // V3 order flags
    uint8_t isTCaliFirst = 0;
    uint8_t orderOfsWigFppn = 0;

    std::optional<std::vector<BadPixelEntry>> badPixels;
    std::optional<MaskCalibration> mask;                    // V3.1
    std::optional<GrayFpnCalibration> grayFpn;
    std::optional<LensCalibration> lens;
    std::vector<std::optional<TemperatureCalibration>> temperature;
    std::vector<std::optional<OffsetCalibration>> offsets;
    std::optional<FppnCalibration> fppn;
    std::vector<std::optional<WigglingCalibration>> wiggling;
    std::optional<RegistrationCalibration> registration;
    std::optional<LumaCalibration> luma;                    // V3.1
    std::optional<std::vector<uint16_t>> phaseFppn;         // V3.1, per calibration pixel
};

struct CalibrationBlob {
    std::vector<uint8_t> bytes;
    std::string error;  // why the description cannot be written; empty on success
    bool ok() const { return error.empty(); }
};

CalibrationBlob writeCalibrationBlob(const CalibrationDescription& description);

}  // namespace Korvane::Calibration
