#include "calibration_samples.h"

#include <algorithm>

namespace correction_test {

namespace cal = Korvane::Calibration;

cal::CalibrationDescription fullDescription(cal::BlobVersion version, std::vector<uint16_t> freqsMHz, uint16_t usWidth,
                                            uint16_t usHeight) {
    const bool v3 = version == cal::BlobVersion::V3;
    const int freqs = static_cast<int>(freqsMHz.size());
    const size_t pixels = static_cast<size_t>(usWidth) * usHeight;
    cal::CalibrationDescription d;
    d.version = version;
    d.caliArithVersion = "sim-1.2.3";
    d.sensorId = "ZEF4471-unit-0042";
    d.freqsMHz = freqsMHz;
    for (int k = 0; k < freqs; ++k) d.expoTimesUs.push_back(static_cast<uint16_t>(1000 + 100 * k));
    d.width = usWidth;
    d.height = usHeight;
    d.rawWidth = usWidth;
    d.rawHeight = usHeight;
    d.startX = 0;
    d.startY = 0;
    d.flipMode = 1;
    d.phaseMode = 2;
    d.errPrecisionMM = 0.25f;
    d.maxFreqMHz = 960.0f;
    d.wigType = 1;
    d.pulseMode = 1;
    d.twoPhaseMode = 1;
    d.isLenCaliFirst = 1;
    d.isTCaliFirst = 0;
    d.orderOfsWigFppn = 2;

    d.badPixels = std::vector<cal::BadPixelEntry>{
        {1, 2}, {3, 2005}, {-2, 1003}, {-3, 2007}, {static_cast<int16_t>(usWidth - 1), 0}};
    if (!v3) {
        cal::MaskCalibration mask;
        if (freqs % 2 == 1) {
            mask.type = 1;
            for (int r = 0; r < usHeight; ++r) {
                mask.xMin.push_back(static_cast<uint16_t>(r % 3));
                mask.xMax.push_back(static_cast<uint16_t>(usWidth - 1 - r % 2));
            }
        } else {
            mask.type = 2;
            for (size_t i = 0; i < pixels; ++i) mask.image.push_back(i % 5 == 0 ? 128 : 0);
        }
        d.mask = mask;
    }
    cal::GrayFpnCalibration fpn;
    fpn.type = !v3 && freqs % 2 == 0 ? 2 : 1;
    const size_t fpnCount = fpn.type == 2 ? pixels : usWidth;
    for (size_t i = 0; i < fpnCount; ++i) fpn.errors.push_back(static_cast<int16_t>(static_cast<int>(i) * 3 - 40));
    d.grayFpn = fpn;

    cal::LensCalibration lens;
    const float lensParas[9] = {500.5f, 501.5f, usWidth / 2 + 0.5f, usHeight / 2 + 0.25f, -0.1f, 0.02f,
                                0.001f, -0.002f, 0.0005f};
    std::copy(lensParas, lensParas + 9, lens.params);
    lens.zoom = 1.05f;
    lens.skew = 0.01f;
    d.lens = lens;

    cal::FppnCalibration fppn;
    fppn.fileType = 3;
    fppn.errPrecisionMM = 0.125f;
    fppn.zoom = 4;
    const uint8_t imageTypes[4] = {2, 1, 0, 1};
    fppn.imageType = v3 ? 0 : imageTypes[freqs - 1];
    for (size_t i = 0; i < pixels; ++i) {
        fppn.image.push_back(static_cast<float>(static_cast<int>((i * 7) % 50) - 25) + (fppn.imageType == 2 ? 0.5f : 0));
    }
    for (int k = 0; k < freqs; ++k) {
        d.temperature.emplace_back();
        cal::TemperatureCalibration& t = d.temperature.back().emplace();
        t.sensorType = 1;
        t.driverType = static_cast<uint8_t>(v3 ? k % 2 : k % 4);
        t.tSensorDeg = 35.0f + k;
        t.tDriverDeg = 40.5f + k;
        t.errPrecisionMM = 0.5f + k;
        t.fitMode = static_cast<uint8_t>(k % 4);
        for (int j = 0; j < 10; ++j) t.fitParas[j] = 0.1f * j + k;

        d.offsets.emplace_back();
        cal::OffsetCalibration& o = d.offsets.back().emplace();
        o.globalMM = 1.5f + k;
        const int blocks = v3 ? 16 : 8 + k;
        for (int j = 0; j < blocks; ++j) o.blocksMM.push_back(-0.5f * j + k);

        cal::FppnEntry entry;
        entry.fitMode = static_cast<uint8_t>(2 + k % 2);
        for (int j = 0; j < 10; ++j) entry.fitParas[j] = 0.01f * j - k;
        fppn.entries.push_back(entry);

        d.wiggling.emplace_back();
        cal::WigglingCalibration& w = d.wiggling.back().emplace();
        w.errPrecisionMM = 0.75f + k;
        if (k % 2 == 0) {
            w.fileType = 1;
            w.distZoom = 2;
            w.errZoom = 3;
            w.startDistMM = static_cast<uint16_t>(100 + k);
            w.stepDistMM = 5;
            for (int j = 0; j < 20; ++j) w.lut.push_back(static_cast<int16_t>(j * 3 - 30 + k));
        } else {
            w.fileType = 2;
            w.fitMode = 2;
            for (int j = 0; j < 8; ++j) w.fitParas.push_back(0.2f * j - k);
        }
    }
    d.fppn = fppn;

    cal::RegistrationCalibration reg;
    for (int j = 0; j < 9; ++j) {
        reg.tofIntrinsic[j] = 1.0f + j;
        reg.rgbIntrinsic[j] = 2.0f + j;
        reg.rotation[j] = 0.1f * j;
    }
    reg.translation[0] = 25.0f;
    reg.translation[1] = -1.0f;
    reg.translation[2] = 0.5f;
    reg.rgbCameraLeft = 1;
    d.registration = reg;

    if (!v3) {
        cal::LumaCalibration luma;
        luma.blockX = 4;
        luma.blockY = 4;
        for (int j = 0; j < (usWidth / 4) * (usHeight / 4); ++j) luma.gains.push_back(1.0f + 0.01f * j);
        d.luma = luma;
        std::vector<uint16_t> phase;
        for (size_t i = 0; i < pixels; ++i) phase.push_back(static_cast<uint16_t>((i * 13) % 4096));
        d.phaseFppn = phase;
    }
    return d;
}

}  // namespace correction_test
