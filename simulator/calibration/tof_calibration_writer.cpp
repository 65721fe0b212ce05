#include "tof_calibration_writer.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "vc_TofCorrPostprocCode/Correct/zeaCaliRecords_Corr.h"

namespace Korvane::Calibration {
namespace {

using NAMESPACE_CORR::CALI_MODULE;

// A description that cannot be encoded.
struct EncodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void require(bool condition, const char* message) {
    if (!condition) throw EncodeError(message);
}

class ByteWriter {
public:
    size_t pos() const { return bytes_.size(); }
    std::vector<uint8_t>& bytes() { return bytes_; }

    void u8(uint8_t v) { bytes_.push_back(v); }
    void i8(int8_t v) { u8(static_cast<uint8_t>(v)); }
    void u16(uint16_t v) { put(v, 2); }
    void i16(int16_t v) { put(static_cast<uint16_t>(v), 2); }
    void u32(uint32_t v) { put(v, 4); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void f32s(const float* v, size_t n) {
        for (size_t i = 0; i < n; ++i) f32(v[i]);
    }
    void zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    // A fixed-size text field, zero-padded.
    void text(const std::string& s, size_t n) {
        require(s.size() <= n, "text longer than its field");
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        zeros(n - s.size());
    }
    void patchU32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    void put(uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> bytes_;
};

class BlobWriter {
public:
    explicit BlobWriter(const CalibrationDescription& d)
        : d_(d), v3_(d.version == BlobVersion::V3), freqs_(static_cast<int>(d.freqsMHz.size())) {}

    std::vector<uint8_t> write() {
        require(freqs_ >= 1 && freqs_ <= 4, "1 to 4 calibrated frequencies");
        require(!v3_ || (!d_.mask && !d_.luma && !d_.phaseFppn), "V3 has no mask, luma or phase FPPN record");
        require(d_.temperature.size() <= d_.freqsMHz.size() && d_.offsets.size() <= d_.freqsMHz.size() &&
                    d_.wiggling.size() <= d_.freqsMHz.size(),
                "more per-frequency records than frequencies");
        const int slots = v3_ ? NAMESPACE_CORR::CPD3_GetCaliParasSlotCount(freqs_)
                              : NAMESPACE_CORR::CPD3P1_GetCaliParasSlotCount(freqs_);
        offsets_.assign(slots, 0);
        valid_.assign(slots, 0);
        writeHeader(slots);
        for (int slot = 0; slot < slots; ++slot) writeSlot(slot);
        for (int slot = 0; slot < slots; ++slot) {
            w_.patchU32(offsetsAt_ + 4 * slot, offsets_[slot]);
            w_.bytes()[validAt_ + slot] = valid_[slot];
        }
        w_.patchU32(0, static_cast<uint32_t>(w_.pos()));
        return std::move(w_.bytes());
    }

private:
    size_t pixels() const { return static_cast<size_t>(d_.width) * d_.height; }

    void writeHeader(int slots) {
        w_.u32(0);  // total length, patched at the end
        w_.text(d_.versionText.empty() ? (v3_ ? "CALI0300" : "CALI0301") : d_.versionText, 9);
        if (!v3_) w_.text(d_.caliArithVersion, 16);
        w_.text(d_.sensorId, 24);
        w_.u8(static_cast<uint8_t>(freqs_));
        w_.u8(static_cast<uint8_t>(slots));
        offsetsAt_ = w_.pos();
        w_.zeros(4 * static_cast<size_t>(slots));
        validAt_ = w_.pos();
        w_.zeros(slots);
        if (v3_) {
            w_.u8(d_.isLenCaliFirst);
            w_.u8(d_.isTCaliFirst);
            w_.u8(d_.orderOfsWigFppn);
        }
        for (uint16_t f : d_.freqsMHz) w_.u16(f);
        for (int k = 0; k < freqs_; ++k) w_.u16(k < static_cast<int>(d_.expoTimesUs.size()) ? d_.expoTimesUs[k] : 0);
        w_.u16(d_.width);
        w_.u16(d_.height);
        w_.u16(d_.rawWidth);
        w_.u16(d_.rawHeight);
        w_.u16(d_.startX);
        w_.u16(d_.startY);
        w_.u8(d_.flipMode);
        w_.u8(d_.binningType);
        if (v3_) return;
        w_.u8(1);  // read-out steps x and y
        w_.u8(1);
        w_.u8(d_.phaseMode);
        w_.f32(d_.errPrecisionMM);
        const HeaderTail tail = d_.headerTail;
        if (tail >= HeaderTail::MaxFreq) w_.f32(d_.maxFreqMHz);
        if (tail >= HeaderTail::WigType) w_.u8(d_.wigType);
        if (tail >= HeaderTail::PulseMode) w_.u8(d_.pulseMode);
        if (tail >= HeaderTail::TwoPhaseMode) w_.u8(d_.twoPhaseMode);
    }

    int slotOf(CALI_MODULE m, int k = 0) const {
        return v3_ ? NAMESPACE_CORR::CPD3_GetCaliParasSlot(freqs_, m, k)
                   : NAMESPACE_CORR::CPD3P1_GetCaliParasSlot(freqs_, m, k);
    }

    template <class T>
    static const T* entry(const std::vector<std::optional<T>>& list, int k) {
        return k < static_cast<int>(list.size()) && list[k] ? &*list[k] : nullptr;
    }

    // Writes the record of one slot, if the description has it.
    void writeSlot(int slot) {
        offsets_[slot] = static_cast<uint32_t>(w_.pos());
        bool written = true;
        if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_BP) && d_.badPixels) {
            writeBadPixels(*d_.badPixels);
        } else if (!v3_ && slot == slotOf(NAMESPACE_CORR::CALI_MODULE_MASK) && d_.mask) {
            writeMask(*d_.mask);
        } else if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_FPN) && d_.grayFpn) {
            writeGrayFpn(*d_.grayFpn);
        } else if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_LEN) && d_.lens) {
            writeLens(*d_.lens);
        } else if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_FPPN) && d_.fppn) {
            writeFppn(*d_.fppn);
        } else if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_REG) && d_.registration) {
            writeRegistration(*d_.registration);
        } else if (!v3_ && slot == slotOf(NAMESPACE_CORR::CALI_MODULE_LUMA) && d_.luma) {
            writeLuma(*d_.luma);
        } else if (!v3_ && slot == slotOf(NAMESPACE_CORR::CALI_MODULE_PHASE_FPPN) && d_.phaseFppn) {
            writePhaseFppn(*d_.phaseFppn);
        } else {
            written = writePerFrequency(slot);
        }
        valid_[slot] = written ? 1 : 0;
    }

    bool writePerFrequency(int slot) {
        for (int k = 0; k < freqs_; ++k) {
            if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_T, k)) {
                const TemperatureCalibration* t = entry(d_.temperature, k);
                if (t) writeTemperature(*t);
                return t != nullptr;
            }
            if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_OFS, k)) {
                const OffsetCalibration* o = entry(d_.offsets, k);
                if (o) writeOffset(*o);
                return o != nullptr;
            }
            if (slot == slotOf(NAMESPACE_CORR::CALI_MODULE_WIG, k)) {
                const WigglingCalibration* wig = entry(d_.wiggling, k);
                if (wig) writeWiggling(*wig);
                return wig != nullptr;
            }
        }
        return false;
    }

    void writeBadPixels(const std::vector<BadPixelEntry>& list) {
        require(list.size() <= 0xFFFF, "too many bad-pixel entries");
        w_.u16(static_cast<uint16_t>(list.size()));
        for (const BadPixelEntry& e : list) {
            w_.i16(e.a);
            w_.i16(e.b);
        }
    }

    void writeRowLimits(const std::vector<uint16_t>& rows) {
        require(rows.size() == d_.height, "one mask limit per calibration row");
        w_.u16(rows[0]);
        for (size_t r = 1; r < rows.size(); ++r) {
            const int step = rows[r] - rows[r - 1];
            require(step >= -128 && step <= 127, "mask limits change by more than a signed byte per row");
            w_.i8(static_cast<int8_t>(step));
        }
    }

    void writeMask(const MaskCalibration& m) {
        w_.u8(m.type);
        if (m.type == 1) {
            writeRowLimits(m.xMin);
            writeRowLimits(m.xMax);
        } else if (m.type == 2) {
            require(m.image.size() == pixels(), "one mask value per calibration pixel");
            for (size_t i = 0; i + 8 <= pixels(); i += 8) {
                uint8_t bits = 0;
                for (int k = 0; k < 8; ++k) {
                    if (m.image[i + k] == 0) bits |= static_cast<uint8_t>(1u << k);
                }
                w_.u8(bits);
            }
        }
    }

    void writeGrayFpn(const GrayFpnCalibration& f) {
        if (v3_) {
            require(f.type == 1 && f.errors.size() == d_.width, "V3 gray FPN is one value per column");
        } else {
            w_.u8(f.type);
        }
        for (int16_t e : f.errors) w_.i16(e);
    }

    void writeLens(const LensCalibration& l) {
        w_.f32s(l.params, 9);
        w_.f32(l.zoom);
        if (!v3_ || l.writeSkew) w_.f32(l.skew);
    }

    void writeTemperature(const TemperatureCalibration& t) {
        if (v3_) {
            w_.u8(static_cast<uint8_t>((t.sensorType & 1) | ((t.driverType & 1) << 1)));
            w_.f32(t.tSensorDeg);
            w_.f32(t.tDriverDeg);
            w_.zeros(4);
            w_.f32(t.errPrecisionMM);
        } else {
            w_.u8(t.sensorType);
            w_.u8(t.driverType);
            w_.f32(t.tSensorDeg);
            w_.f32(t.tDriverDeg);
        }
        w_.u8(t.fitMode);
        w_.f32s(t.fitParas, 10);
    }

    void writeOffset(const OffsetCalibration& o) {
        w_.f32(o.globalMM);
        if (v3_) {
            require(o.blocksMM.size() == NAMESPACE_CORR::OFS_V3_BLOCKS, "V3 offsets have exactly 16 blocks");
        } else {
            require(o.blocksMM.size() <= 255, "at most 255 offset blocks");
            w_.u8(static_cast<uint8_t>(o.blocksMM.size()));
        }
        w_.f32s(o.blocksMM.data(), o.blocksMM.size());
    }

    void writeFppnImageValue(float v, uint8_t type) {
        switch (type) {
            case 0: w_.i8(static_cast<int8_t>(std::lround(v))); break;
            case 1: w_.i16(static_cast<int16_t>(std::lround(v))); break;
            default: w_.f32(v); break;
        }
    }

    void writeFppn(const FppnCalibration& f) {
        require(f.entries.size() == d_.freqsMHz.size(), "one FPPN entry per calibrated frequency");
        w_.u8(f.fileType);
        if (v3_) {
            w_.f32(f.errPrecisionMM);
        } else {
            w_.u8(f.imageSource);
        }
        for (const FppnEntry& e : f.entries) {
            w_.u8(e.fitMode);
            w_.f32s(e.fitParas, 10);
        }
        const bool hasImage = (f.fileType == 1 || f.fileType == 3) && (v3_ || f.imageSource == 0);
        if (!hasImage) return;
        require(f.image.size() == pixels(), "one FPPN value per calibration pixel");
        w_.u8(f.zoom);
        if (!v3_) w_.u8(f.imageType);
        const uint8_t type = v3_ ? 0 : f.imageType;
        for (float v : f.image) writeFppnImageValue(v, type);
    }

    void writeWiggling(const WigglingCalibration& wig) {
        w_.u8(wig.fileType);
        if (v3_) w_.f32(wig.errPrecisionMM);
        if (wig.fileType == 1) {
            require(wig.lut.size() <= 0xFFFF, "wiggling table too long");
            w_.u16(static_cast<uint16_t>(wig.lut.size()));
            w_.u8(wig.distZoom);
            w_.u8(wig.errZoom);
            w_.u16(wig.startDistMM);
            w_.u8(wig.stepDistMM);
            for (int16_t e : wig.lut) w_.i16(e);
        } else {
            require(wig.fitParas.size() <= 255, "too many wiggling fit parameters");
            w_.u8(wig.fitMode);
            w_.u8(static_cast<uint8_t>(wig.fitParas.size()));
            w_.f32s(wig.fitParas.data(), wig.fitParas.size());
        }
    }

    void writeRegistration(const RegistrationCalibration& r) {
        w_.f32s(r.tofIntrinsic, 9);
        w_.f32s(r.rgbIntrinsic, 9);
        w_.f32s(r.rotation, 9);
        w_.f32s(r.translation, 3);
        w_.u8(r.rgbCameraLeft);
    }

    void writeLuma(const LumaCalibration& l) {
        require(l.blockX > 0 && l.blockY > 0, "luma block sizes must not be 0");
        require(l.gains.size() == static_cast<size_t>(d_.width / l.blockX) * (d_.height / l.blockY),
                "one luma gain per block");
        w_.u8(l.type);
        w_.u8(l.blockX);
        w_.u8(l.blockY);
        w_.f32s(l.gains.data(), l.gains.size());
    }

    void writePhaseFppn(const std::vector<uint16_t>& values) {
        require(values.size() == pixels(), "one phase FPPN value per calibration pixel");
        for (uint16_t v : values) w_.u16(v);
    }

    const CalibrationDescription& d_;
    const bool v3_;
    const int freqs_;
    ByteWriter w_;
    size_t offsetsAt_ = 0;
    size_t validAt_ = 0;
    std::vector<uint32_t> offsets_;
    std::vector<uint8_t> valid_;
};

}  // namespace

CalibrationBlob writeCalibrationBlob(const CalibrationDescription& description) {
    CalibrationBlob blob;
    try {
        blob.bytes = BlobWriter(description).write();
    } catch (const EncodeError& e) {
        blob.error = e.what();
    }
    return blob;
}

}  // namespace Korvane::Calibration
