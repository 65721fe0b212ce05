#include "korvane_tof_camera.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <system_error>

namespace Korvane {

namespace {

constexpr int64_t kAdjustPeriodNs = 3'000'000'000;

int64_t systemNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

KorvaneTOFCamera::KorvaneTOFCamera() : KorvaneTOFCamera(makeDefaultComponentFactory()) {}

KorvaneTOFCamera::KorvaneTOFCamera(std::unique_ptr<ComponentFactory> factory, const std::string& modelPath)
    : platform_(detectPlatform(modelPath)), factory_(std::move(factory)) {}

KorvaneTOFCamera::~KorvaneTOFCamera() {
    if (capture_.joinable()) {
        stop();
    }
    // The model holds a pointer to the transport: it goes first.
    device_.reset();
    sensor_.reset();
}

int KorvaneTOFCamera::open(Connection mode, int index) {
    if (mode != CSI && mode != USB) return KorvaneUnkownError;
    info_.index = index;
    info_.connect = mode;
    if (mode == CSI) {
        return installSensor(factory_->makeCsiSensor("/dev/video" + std::to_string(index), platform_));
    }
    return installSensor(factory_->makeUsbSensor(std::string(), index));
}

int KorvaneTOFCamera::openWithFile(const char* path, int index) {
    if (path == nullptr) return KorvaneUnkownError;
    info_.index = index;
    info_.connect = USB;
    return installSensor(factory_->makeUsbSensor(path, index));
}

int KorvaneTOFCamera::installSensor(std::unique_ptr<KorvaneTOFSensor> sensor) {
    // Re-opening a streaming camera would pull the transport from under the capture thread.
    if (capture_.joinable()) stop();
    // The old model is bound to the transport being replaced; keeping it would leave it
    // pointing at a destroyed transport if this open fails.
    device_.reset();
    sensor_ = std::move(sensor);
    if (!sensor_) return KorvaneNotImplemented;
    const int r = sensor_->open(*this);
    if (r != 0) return r;
    return openPostHandle();
}

int KorvaneTOFCamera::openPostHandle() {
    if (!sensor_) return KorvaneUnkownDevice;
    DeviceType type = VGA;
    if (info_.width == 240 && info_.height == 180) {
        sensor_->setImagesPerFrame(4);
        type = HQVGA;
    }
    device_ = factory_->makeDevice(type, platform_);
    if (!device_) return KorvaneNotImplemented;
    info_.device_type = type;
    return device_->init(sensor_.get());
}

void KorvaneTOFCamera::setSensorFormat(int32_t width, int32_t height, int32_t bitWidth, int32_t bpp) {
    info_.width = width;
    info_.height = height;
    info_.bit_width = bitWidth;
    info_.bpp = bpp;
}

int KorvaneTOFCamera::start(FrameType type) {
    if (!sensor_ || !device_) return KorvaneUnkownDevice;
    // A second start restarts the stream instead of leaking the running capture thread.
    if (capture_.joinable()) stop();

    int range = 0;
    getControl(RANGE, &range);
    setControl(RANGE, range);

    int r = device_->prepare();
    if (r != 0) return r;
    r = sensor_->start();
    if (r != 0) return r;
    r = device_->start();
    if (r != 0) return r;

    const CameraInfo sensorInfo = sensor_->getCameraInfo();
    info_.width = sensorInfo.width;
    info_.height = sensorInfo.height;
    info_.bit_width = sensorInfo.bit_width;
    info_.bpp = sensorInfo.bpp;
    info_.frame_type = type;

    r = setOutputType(type);
    if (r != 0) return r;

    delivered_ = 0;
    skipped_ = 0;
    failed_ = 0;
    std::shared_ptr<FrameQueue> queue = frameQueue();
    stop_.store(false);
    capture_ = std::thread(&KorvaneTOFCamera::captureThread, this, std::move(queue));
    return KorvaneSuccess;
}

int KorvaneTOFCamera::stop() {
    stop_.store(true);
    capture_.join();  // std::system_error (invalid argument) when no capture thread runs
    device_->stop();
    return sensor_->stop();
}

int KorvaneTOFCamera::close() {
    if (capture_.joinable()) stop();
    if (device_) device_->close();
    return sensor_ ? sensor_->close() : KorvaneUnkownDevice;
}

int KorvaneTOFCamera::setOutputType(FrameType type) {
    if (!stop_.load()) return KorvaneUnkownError;
    if (!sensor_ || !device_) return KorvaneUnkownDevice;
    info_.frame_type = type;
    if (type != RAW && type != DEPTH) return KorvaneUnkownError;

    const FrameGeometry staging{info_.width, info_.height * sensor_->imagesPerFrame()};
    device_->getFormats(rawGeometry_, depthGeometry_);
    const FrameGeometry planes = type == RAW ? rawGeometry_ : depthGeometry_;
    // A model or transport reporting an empty image would make every capture write
    // into buffers of size zero.
    if (staging.width <= 0 || staging.height <= 0 || planes.width <= 0 || planes.height <= 0) {
        std::fprintf(stderr, "Korvane: invalid frame geometry %dx%d / %dx%d\n", staging.width, staging.height,
                     planes.width, planes.height);
        return KorvaneUnkownError;
    }
    auto queue = std::make_shared<FrameQueue>(staging, type, planes);
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_ = std::move(queue);
    return KorvaneSuccess;
}

CameraInfo KorvaneTOFCamera::getCameraInfo() const { return info_; }

std::shared_ptr<FrameQueue> KorvaneTOFCamera::frameQueue() const {
    std::lock_guard<std::mutex> lock(queueMutex_);
    return queue_;
}

CaptureStatistics KorvaneTOFCamera::statistics() const {
    const std::shared_ptr<FrameQueue> queue = frameQueue();
    return CaptureStatistics{delivered_.load(), skipped_.load(), failed_.load(),
                             queue ? queue->recycledFrames() : 0};
}

int KorvaneTOFCamera::setControl(CameraCtrl ctrl, int value) {
    switch (ctrl) {
        case SKIP_FRAME: skipFrame_.store(value); return KorvaneSuccess;
        case SKIP_FRAME_LOOP: skipFrameLoop_.store(value); return KorvaneSuccess;
        case AUTO_FRAME_RATE: autoFrameRate_.store(value != 0); return KorvaneSuccess;
        default: break;
    }
    if (!device_) return KorvaneUnkownDevice;
    if (ctrl == FRAME_RATE) {
        int ceiling = 0;
        const int r = device_->getControl(FRAME_RATE, &ceiling);
        if (r != 0) return r;
        if (value > ceiling || value < 1) return KorvaneInvalidParameter;
    }
    return device_->setControl(ctrl, value);
}

int KorvaneTOFCamera::getControl(CameraCtrl ctrl, int* value) {
    if (value == nullptr) return KorvaneInvalidParameter;
    if (ctrl == AUTO_FRAME_RATE) {
        *value = autoFrameRate_.load() ? 1 : 0;
        return KorvaneSuccess;
    }
    if (!device_) return KorvaneUnkownDevice;
    return device_->getControl(ctrl, value);
}

int KorvaneTOFCamera::setControlExt(CameraCtrl ctrl, const char* value) {
    if (!device_) return KorvaneUnkownDevice;
    return device_->setControlExt(ctrl, value);
}

int KorvaneTOFCamera::getControlExt(CameraCtrl, const char**) { return KorvaneSuccess; }

KorvaneFrameBuffer* KorvaneTOFCamera::requestFrame(int16_t timeout) {
    const std::shared_ptr<FrameQueue> queue = frameQueue();
    return queue ? queue->requestFrame(timeout) : nullptr;
}

int KorvaneTOFCamera::releaseFrame(KorvaneFrameBuffer* frame) {
    const std::shared_ptr<FrameQueue> queue = frameQueue();
    return queue ? queue->releaseFrame(frame) : KorvaneUnkownError;
}

void KorvaneTOFCamera::captureThread(std::shared_ptr<FrameQueue> queue) {
    auto* staging = static_cast<uint8_t*>(queue->staging().getData(CACHE));
    lastFrameNs_ = systemNowNs();
    int64_t adjustTimerNs = steadyNowNs();
    while (!stop_.load()) {
        if (autoFrameRate_.load() && steadyNowNs() - adjustTimerNs > kAdjustPeriodNs) {
            adjustFrameRate();
            adjustTimerNs = steadyNowNs();
        }
        LinkNode* node = queue->takeForFilling();
        if (node == nullptr) continue;
        if (analysisFrame(staging, node) == 0) {
            updateFps();
            delivered_.fetch_add(1, std::memory_order_relaxed);
            queue->publish(node);
        } else {
            queue->returnToFree(node);
        }
    }
}

bool KorvaneTOFCamera::skipThisFrame() {
    // Keeps loop - skip of every `loop` frames, spread evenly. The loop length is held to
    // 1..255 (the arithmetic works on its low 8 bits, and 0 would divide by zero) and the
    // skip count to 0..loop, so skip >= loop drops every frame.
    const int32_t loop = std::clamp(skipFrameLoop_.load(), 1, 255);
    const int32_t skip = std::clamp(skipFrame_.load(), 0, loop);
    frameCounter_ = (frameCounter_ + 1) % loop;
    const uint32_t l = static_cast<uint32_t>(loop);
    const uint32_t k = static_cast<uint32_t>(loop - skip);
    const uint32_t c = static_cast<uint32_t>(frameCounter_);
    return c * k / l == (c + 1) * k / l;
}

int KorvaneTOFCamera::analysisFrame(uint8_t* staging, LinkNode* node) {
    uint64_t timestamp = 0;
    const int r = sensor_->getFrame(reinterpret_cast<int16_t*>(staging), &timestamp);
    // Transports also fail with -2 or 2 (a failed dequeue); the staging buffer then holds
    // the previous frame, which must not be delivered again as a new one.
    if (r != 0) {
        failed_.fetch_add(1, std::memory_order_relaxed);
        return r;
    }
    KorvaneFrameBuffer& buffer = *node->buffer;
    buffer.setTimestamp(timestamp);
    if (skipThisFrame()) {
        skipped_.fetch_add(1, std::memory_order_relaxed);
        return KorvaneSkipFrame;
    }
    switch (info_.frame_type) {
        case RAW:
            getRawImages(staging, static_cast<int16_t*>(buffer.getData(RAW)));
            return KorvaneSuccess;
        case DEPTH:
            if (getPhaseImage(staging, static_cast<float*>(buffer.getData(DEPTH)),
                              static_cast<float*>(buffer.getData(AMPLITUDE)),
                              static_cast<float*>(buffer.getData(CONFIDENCE))) != 0) {
                return KorvaneSuccess;
            }
            break;
        default: break;
    }
    failed_.fetch_add(1, std::memory_order_relaxed);
    return KorvaneUnkownError;
}

float KorvaneTOFCamera::updateFps() { return updateFpsAt(systemNowNs()); }

float KorvaneTOFCamera::updateFpsAt(int64_t nowNs) {
    const int64_t dtMs = (nowNs - lastFrameNs_) / 1'000'000;
    lastFrameNs_ = nowNs;
    if (fpsSamples_ == 0) {
        meanIntervalMs_ = static_cast<float>(dtMs);
    } else {
        const float x = fpsWeight_ * static_cast<float>(dtMs) + (1.0f - fpsWeight_) * meanIntervalMs_;
        if (std::fabs(x) <= std::numeric_limits<float>::max()) {
            meanIntervalMs_ = x;
            fpsWeight_ = 1.0f / 30.0f;
        }
    }
    ++fpsSamples_;
    const float fps = 1000.0f / meanIntervalMs_;
    fps_.store(fps, std::memory_order_relaxed);
    return fps;
}

void KorvaneTOFCamera::adjustFrameRate() {
    // Without a single measured interval there is no rate to compare with.
    if (fpsSamples_ == 0) return;
    const float fps = fps_.load(std::memory_order_relaxed);
    // A zero mean interval gives an infinite rate; converting that to int is undefined.
    const int target = std::isfinite(fps) && fps < static_cast<float>(std::numeric_limits<int>::max())
                           ? std::max(1, static_cast<int>(std::floor(fps)))
                           : std::numeric_limits<int>::max();
    int current = 0;
    getControl(FRAME_RATE, &current);
    const int tolerance = current < 10 ? 1 : current / 10;
    if (std::abs(static_cast<int64_t>(target) - current) > tolerance) {
        setControl(FRAME_RATE, target);
    }
}

int KorvaneTOFCamera::getPhaseImage(uint8_t* staging, float* depth, float* amplitude, float* confidence) {
    return device_->getPhaseImage(staging, depth, amplitude, confidence);
}

int KorvaneTOFCamera::getRawImages(uint8_t* staging, int16_t* raw) { return device_->getRawImages(staging, raw); }

}  // namespace Korvane
