#include "korvane_device_hqvga.h"

#include "hqvga_depth.h"

namespace Korvane {

namespace {

constexpr int32_t kNearRangeMm = 2000;  // 75 MHz
constexpr int32_t kFarRangeMm = 4000;   // 37.5 MHz

}  // namespace

KorvaneDeviceHQVGA::KorvaneDeviceHQVGA(PlatformType platform)
    : KorvaneDevice(platform),
      settings_(RangeSetting{kFarRangeMm, hqvga::kFrequency37M5}),
      // Jetson capture delivers the samples four bits higher.
      sampleShift_(platform == PLATFORM_JETSON ? 4 : 0) {}

int KorvaneDeviceHQVGA::getDeviceType() { return HQVGA; }

void KorvaneDeviceHQVGA::getFormats(FrameGeometry& raw, FrameGeometry& depth) {
    raw = {hqvga::kWidth, hqvga::kHeight * hqvga::kPhases};
    depth = {hqvga::kWidth, hqvga::kHeight};
}

int KorvaneDeviceHQVGA::init(KorvaneTOFSensor* sensor) {
    sensor_ = sensor;
    return KorvaneSuccess;
}

int KorvaneDeviceHQVGA::close() { return KorvaneSuccess; }
int KorvaneDeviceHQVGA::prepare() { return KorvaneSuccess; }
int KorvaneDeviceHQVGA::start() { return KorvaneSuccess; }
int KorvaneDeviceHQVGA::stop() { return KorvaneSuccess; }

int KorvaneDeviceHQVGA::setControl(CameraCtrl ctrl, int value) {
    if (ctrl != RANGE) return KorvaneInvalidParameter;
    RangeSetting current = settings_.load();
    RangeSetting next{};
    do {
        next.rangeMm = value;
        next.frequencyHz = value == kNearRangeMm  ? hqvga::kFrequency75M
                           : value == kFarRangeMm ? hqvga::kFrequency37M5
                                                  : current.frequencyHz;
    } while (!settings_.compare_exchange_weak(current, next));
    // The sensor must modulate at the frequency the depth is computed for. Only the two
    // values that choose a frequency are forwarded; the transport's answer does not change
    // the model's (a transport without the control still computes correct phases for
    // sensors already at that frequency).
    if ((value == kNearRangeMm || value == kFarRangeMm) && sensor_ != nullptr) {
        sensor_->setControl(RANGE, value);
    }
    return KorvaneSuccess;
}

int KorvaneDeviceHQVGA::setControlExt(CameraCtrl, const char*) { return KorvaneInvalidParameter; }

int KorvaneDeviceHQVGA::getControl(CameraCtrl ctrl, int* value) {
    if (ctrl == RANGE) {
        *value = settings_.load().rangeMm;
        return KorvaneSuccess;
    }
    return sensor_ != nullptr ? sensor_->getControl(ctrl, value) : KorvaneUnkownDevice;
}

int KorvaneDeviceHQVGA::getControlExt(CameraCtrl, const char**) { return KorvaneInvalidParameter; }

int KorvaneDeviceHQVGA::getRawImages(const uint8_t* staging, int16_t* raw) {
    // The staging plane is an array of 16-bit samples handed on as bytes.
    hqvga::interleaveRawImages(reinterpret_cast<const uint16_t*>(staging), sampleShift_, raw);
    return 1;
}

int KorvaneDeviceHQVGA::getPhaseImage(const uint8_t* staging, float* depth, float* amplitude, float* confidence) {
    const RangeSetting setting = settings_.load();
    const hqvga::PhaseSettings phase{sampleShift_, setting.rangeMm == kNearRangeMm, setting.frequencyHz};
    hqvga::computeDepth(reinterpret_cast<const uint16_t*>(staging), phase, depth, amplitude, confidence);
    return 1;
}

}  // namespace Korvane
