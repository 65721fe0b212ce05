#include "korvane_tof_usb_sensor.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "korvane_tof_camera.h"

namespace Korvane {

namespace {

// A new image whose timestamp is this far (adapter units) or more after the previous one
// belongs to a later frame.
constexpr uint64_t kFrameGap = 6;

// Register writes that select the modulation frequency: 75 MHz for range 2000 mm, 37.5 MHz
// for any other range.
using RegisterWrites = std::array<std::pair<uint32_t, uint32_t>, 4>;
constexpr RegisterWrites kRange2000 = {{{0x216c, 0x08}, {0x2179, 0x0a}, {0x217a, 0x0e}, {0x217b, 0x12}}};
constexpr RegisterWrites kRange4000 = {{{0x216c, 0x10}, {0x2179, 0x0e}, {0x217a, 0x16}, {0x217b, 0x1e}}};

uint16_t readSample(const uint8_t* in) { return static_cast<uint16_t>(in[0] | (in[1] << 8)); }

void writeSample(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

KorvaneTOFUSBSensor::KorvaneTOFUSBSensor(std::string configPath, int index)
    : configPath_(std::move(configPath)), index_(index) {}

KorvaneTOFUSBSensor::~KorvaneTOFUSBSensor() { close(); }

int KorvaneTOFUSBSensor::open(KorvaneTOFCamera& camera) {
    KorvaneOpenParam param;
    KorvaneDefaultParam(&param);
    if (!configPath_.empty()) {
        if (configPath_.size() < 4) throw std::out_of_range("configuration path shorter than four characters");
        param.config_file = configPath_.c_str();
        param.binary_config = configPath_.compare(configPath_.size() - 4, 4, ".bin") == 0 ? 1 : 0;
    }
    // Re-opening replaces the previous camera rather than leaking it.
    close();
    if (KorvaneOpenCamera(&handle_, &param) != KORVANE_EVK_OK) {
        handle_ = nullptr;
        return KorvaneUnkownError;
    }
    if (KorvaneInitCamera(handle_) != KORVANE_EVK_OK) return KorvaneUnkownError;

    KorvaneCameraConfig config{};
    if (KorvaneGetCameraConfig(handle_, &config) != KORVANE_EVK_OK) return KorvaneUnkownError;
    // Conversions shift 16-bit samples by (bit width - 12): wider samples do not exist.
    if (config.bit_width == 0 || config.bit_width > 16) {
        std::fprintf(stderr, "Korvane: USB adapter reports %u-bit samples\n", static_cast<unsigned>(config.bit_width));
        return KorvaneUnkownError;
    }
    camera.setSensorFormat(static_cast<int32_t>(config.width), static_cast<int32_t>(config.height), config.bit_width,
                           config.bit_width > 8 ? 2 : 1);
    info_ = camera.getCameraInfo();
    return KorvaneSuccess;
}

int KorvaneTOFUSBSensor::close() {
    if (handle_ != nullptr) {
        KorvaneCloseCamera(handle_);
        handle_ = nullptr;
    }
    streaming_ = false;
    return KorvaneSuccess;
}

int KorvaneTOFUSBSensor::start() {
    if (streaming_) return KorvaneUnkownError;
    streaming_ = true;
    return KorvaneStartCamera(handle_) == KORVANE_EVK_OK ? KorvaneSuccess : KorvaneUnkownError;
}

int KorvaneTOFUSBSensor::stop() {
    streaming_ = false;
    KorvaneStopCamera(handle_);
    return KorvaneSuccess;
}

void KorvaneTOFUSBSensor::convertImage(const KorvaneImage& image, uint8_t* out) const {
    const size_t samples = static_cast<size_t>(info_.width) * static_cast<size_t>(info_.height);
    const int bitWidth = info_.bit_width;
    if (info_.bpp == 1) {
        // 8-bit samples (b << 4); narrower ones are likewise scaled to 12 bits.
        const int shift = 12 - bitWidth;
        for (size_t i = 0; i < samples; ++i) writeSample(out + 2 * i, static_cast<uint16_t>(image.data[i] << shift));
    } else if (info_.bpp == 2) {
        for (size_t i = 0; i < samples; ++i) {
            const uint16_t s = readSample(image.data + 2 * i);
            const uint16_t v = bitWidth >= 12 ? static_cast<uint16_t>(s >> (bitWidth - 12))
                                              : static_cast<uint16_t>(s << (12 - bitWidth));
            writeSample(out + 2 * i, v);
        }
    }
}

int KorvaneTOFUSBSensor::getFrame(int16_t* staging, uint64_t* timestamp) {
    const int32_t images = images_per_frame_;
    if (images < 1) return KorvaneUnkownError;
    const size_t imageBytes = static_cast<size_t>(info_.width) * info_.height * info_.bpp;
    const size_t stagingStride = static_cast<size_t>(info_.width) * info_.height * 2;
    auto* out = reinterpret_cast<uint8_t*>(staging);
    uint64_t last = 0;
    int32_t captured = 0;
    // A frame that restarts needs a few more captures; past twice its image count the
    // images keep arriving too far apart to form a frame.
    for (int32_t attempt = 0; captured < images; ++attempt) {
        // A frame with an image missing would mix the previous frame's staging content
        // into this one: nothing is delivered instead.
        if (!streaming_ || attempt == 2 * images) return KorvaneUnkownError;
        if (KorvaneCaptureImage(handle_, &image_, kCaptureTimeoutMs) != KORVANE_EVK_OK) return KorvaneUnkownError;
        // An image far after the previous one starts a new frame: it becomes image 0.
        if (captured > 0 && image_.timestamp - last >= kFrameGap) captured = 0;
        if (image_.size != imageBytes) {
            KorvaneFreeImage(handle_, image_);
            return KorvaneUnkownError;
        }
        convertImage(image_, out + captured * stagingStride);
        last = image_.timestamp;
        KorvaneFreeImage(handle_, image_);
        ++captured;
        *timestamp = last;
    }
    return KorvaneSuccess;
}

int KorvaneTOFUSBSensor::setControl(CameraCtrl ctrl, int value) {
    if (ctrl != RANGE) return KorvaneInvalidParameter;
    // The device models keep the range; here it selects the sensor's modulation frequency.
    for (const auto& [reg, regValue] : value == 2000 ? kRange2000 : kRange4000) {
        KorvaneWriteSensorReg(handle_, reg, regValue);
    }
    return KorvaneSuccess;
}

int KorvaneTOFUSBSensor::getControl(CameraCtrl, int*) { return KorvaneNotImplemented; }

}  // namespace Korvane
