// The camera object behind every Python call: opens a transport, picks the device model
// from the sensor's image size, runs one capture thread per start and hands frames to
// callers through a FrameQueue.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "component_factory.h"
#include "frame_queue.h"
#include "korvane_device.h"
#include "korvane_tof_sensor.h"
#include "korvane_types.h"
#include "platform.h"

namespace Korvane {

// Counters of one streaming session (reset by start).
struct CaptureStatistics {
    uint64_t delivered;  // frames published to the queue
    uint64_t skipped;    // dropped by the skip rule
    uint64_t failed;     // captures (time-outs included) or conversions that produced no frame
    uint64_t recycled;   // published frames overwritten before anyone requested them
};

class KorvaneTOFCamera {
public:
    KorvaneTOFCamera();
    // Tests and embedders choose the components and where the board's model string is read.
    explicit KorvaneTOFCamera(std::unique_ptr<ComponentFactory> factory,
                              const std::string& modelPath = kDeviceTreeModelPath);
    // Stops a running capture thread first; destroys queue, model and transport without
    // closing them.
    ~KorvaneTOFCamera();
    KorvaneTOFCamera(const KorvaneTOFCamera&) = delete;
    KorvaneTOFCamera& operator=(const KorvaneTOFCamera&) = delete;

    int open(Connection mode, int index);
    int openWithFile(const char* path, int index);
    int openPostHandle();

    int start(FrameType type);
    // Throws std::system_error when no capture thread is running.
    int stop();
    int close();
    int setOutputType(FrameType type);

    CameraInfo getCameraInfo() const;
    int setControl(CameraCtrl ctrl, int value);
    int getControl(CameraCtrl ctrl, int* value);
    int setControlExt(CameraCtrl ctrl, const char* value);
    int getControlExt(CameraCtrl ctrl, const char** value);

    // Null on time-out or before the first start.
    KorvaneFrameBuffer* requestFrame(int16_t timeout);
    int releaseFrame(KorvaneFrameBuffer* frame);

    // Called by a transport's open: the size and sample format of one sensor image.
    void setSensorFormat(int32_t width, int32_t height, int32_t bitWidth, int32_t bpp);

    PlatformType platform() const { return platform_; }
    bool isStreaming() const { return !stop_.load(); }
    // The current queue; a holder keeps its buffers alive after the next start replaces it.
    std::shared_ptr<FrameQueue> frameQueue() const;
    CaptureStatistics statistics() const;
    float fps() const { return fps_.load(std::memory_order_relaxed); }

    // Capture-thread steps, public so that their rules can be exercised directly.
    int analysisFrame(uint8_t* staging, LinkNode* node);
    float updateFps();
    float updateFpsAt(int64_t nowNs);
    void adjustFrameRate();
    int getPhaseImage(uint8_t* staging, float* depth, float* amplitude, float* confidence);
    int getRawImages(uint8_t* staging, int16_t* raw);

private:
    void captureThread(std::shared_ptr<FrameQueue> queue);
    int installSensor(std::unique_ptr<KorvaneTOFSensor> sensor);
    bool skipThisFrame();

    CameraInfo info_{};
    FrameGeometry rawGeometry_{};
    FrameGeometry depthGeometry_{};
    std::unique_ptr<KorvaneTOFSensor> sensor_;
    std::unique_ptr<KorvaneDevice> device_;
    mutable std::mutex queueMutex_;  // guards the queue pointer against callers' threads
    std::shared_ptr<FrameQueue> queue_;
    std::thread capture_;
    std::atomic<bool> stop_{true};
    PlatformType platform_ = PLATFORM_UNKNOWN;
    std::atomic<int32_t> skipFrame_{0};
    std::atomic<int32_t> skipFrameLoop_{1};
    int32_t frameCounter_ = 0;
    float meanIntervalMs_ = 0.0f;
    float fpsWeight_ = 0.1f;
    std::atomic<float> fps_{0.0f};
    int32_t fpsSamples_ = 0;
    int64_t lastFrameNs_ = 0;
    std::atomic<bool> autoFrameRate_{true};
    std::unique_ptr<ComponentFactory> factory_;
    std::atomic<uint64_t> delivered_{0};
    std::atomic<uint64_t> skipped_{0};
    std::atomic<uint64_t> failed_{0};
};

}  // namespace Korvane
