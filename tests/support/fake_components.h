// Test doubles for the camera's transport and device-model interfaces. They run on the
// real capture thread: the sensor delivers numbered frames only when the test grants
// them, so every test decides exactly which frames exist.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "component_factory.h"
#include "korvane_tof_camera.h"

namespace Korvane::testing {

// State shared between a fake and the test, which keeps it after the camera took the fake.
struct FakeSensorState {
    int32_t width = 8;
    int32_t height = 4;
    int openResult = 0;
    std::atomic<int> frameResult{0};  // result of a getFrame that has a permit
    int opens = 0, starts = 0, stops = 0, closes = 0;
    int32_t imagesPerFrame = 1;  // seen at the last getFrame
    int frameRateCeiling = 30;   // what getControl(FRAME_RATE) reports
    int lastFrameRate = 0;
    std::string lastPath;  // device path or configuration file the factory was given

    std::mutex mutex;
    std::condition_variable cond;
    int permits = 0;
    int16_t nextFrame = 1;

    // Lets the sensor deliver n more frames.
    void grant(int n) {
        std::lock_guard<std::mutex> lock(mutex);
        permits += n;
        cond.notify_all();
    }
    // Waits until every granted frame was taken by the capture thread.
    bool drained(std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> lock(mutex);
        return cond.wait_for(lock, limit, [this] { return permits == 0; });
    }
};

class FakeSensor final : public KorvaneTOFSensor {
public:
    explicit FakeSensor(std::shared_ptr<FakeSensorState> state) : state_(std::move(state)) {}

    int open(KorvaneTOFCamera& camera) override {
        ++state_->opens;
        camera.setSensorFormat(state_->width, state_->height, 12, 2);
        info_ = camera.getCameraInfo();
        return state_->openResult;
    }
    int close() override { return ++state_->closes, 0; }
    int start() override { return ++state_->starts, 0; }
    int stop() override { return ++state_->stops, 0; }
    CameraInfo getCameraInfo() override { return info_; }

    // Fills every sample of the frame with its number; the timestamp is 10 x the number.
    int getFrame(int16_t* staging, uint64_t* timestamp) override {
        std::unique_lock<std::mutex> lock(state_->mutex);
        state_->imagesPerFrame = images_per_frame_;
        if (!state_->cond.wait_for(lock, std::chrono::milliseconds(5), [this] { return state_->permits > 0; })) {
            return -1;
        }
        --state_->permits;
        const int16_t number = state_->nextFrame++;
        state_->cond.notify_all();
        const size_t samples = static_cast<size_t>(info_.width) * info_.height * images_per_frame_;
        std::fill(staging, staging + samples, number);
        *timestamp = static_cast<uint64_t>(number) * 10;
        return state_->frameResult;
    }
    int setControl(CameraCtrl ctrl, int value) override {
        if (ctrl != FRAME_RATE) return KorvaneInvalidParameter;
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->lastFrameRate = value;
        return 0;
    }
    int getControl(CameraCtrl ctrl, int* value) override {
        if (ctrl != FRAME_RATE) return KorvaneInvalidParameter;
        std::lock_guard<std::mutex> lock(state_->mutex);
        *value = state_->lastFrameRate != 0 ? state_->lastFrameRate : state_->frameRateCeiling;
        return 0;
    }

private:
    std::shared_ptr<FakeSensorState> state_;
    CameraInfo info_{};
};

struct FakeDeviceState {
    int type = -1;  // DeviceType the camera asked for
    int prepares = 0, starts = 0, stops = 0, closes = 0;
    std::atomic<int> phaseResult{1};
    int range = 0;
    KorvaneTOFSensor* boundSensor = nullptr;
};

// Writes the frame number (the first staging sample) into pixel 0 of every plane.
class FakeDevice final : public KorvaneDevice {
public:
    FakeDevice(DeviceType type, PlatformType platform, std::shared_ptr<FakeDeviceState> state)
        : KorvaneDevice(platform), type_(type), state_(std::move(state)) {
        state_->type = type;
    }
    int getDeviceType() override { return type_; }
    void getFormats(FrameGeometry& raw, FrameGeometry& depth) override {
        const CameraInfo info = sensor_->getCameraInfo();
        raw = {info.width, info.height * sensor_->imagesPerFrame()};
        depth = {info.width, info.height};
    }
    int init(KorvaneTOFSensor* sensor) override {
        sensor_ = sensor;
        state_->boundSensor = sensor;
        return 0;
    }
    int close() override { return ++state_->closes, 0; }
    int prepare() override { return ++state_->prepares, 0; }
    int start() override { return ++state_->starts, 0; }
    int stop() override { return ++state_->stops, 0; }
    int setControl(CameraCtrl ctrl, int value) override {
        if (ctrl == RANGE) return state_->range = value, 0;
        return sensor_->setControl(ctrl, value);
    }
    int setControlExt(CameraCtrl, const char*) override { return KorvaneInvalidParameter; }
    int getControl(CameraCtrl ctrl, int* value) override {
        if (ctrl == RANGE) return *value = state_->range, 0;
        return sensor_->getControl(ctrl, value);
    }
    int getControlExt(CameraCtrl, const char**) override { return KorvaneInvalidParameter; }
    int getRawImages(const uint8_t* staging, int16_t* raw) override {
        raw[0] = reinterpret_cast<const int16_t*>(staging)[0];
        return 1;
    }
    int getPhaseImage(const uint8_t* staging, float* depth, float* amplitude, float* confidence) override {
        const float number = reinterpret_cast<const int16_t*>(staging)[0];
        depth[0] = amplitude[0] = confidence[0] = number;
        return state_->phaseResult;
    }

private:
    DeviceType type_;
    std::shared_ptr<FakeDeviceState> state_;
};

class FakeFactory final : public ComponentFactory {
public:
    FakeFactory(std::shared_ptr<FakeSensorState> sensor, std::shared_ptr<FakeDeviceState> device)
        : sensor_(std::move(sensor)), device_(std::move(device)) {}
    std::unique_ptr<KorvaneTOFSensor> makeCsiSensor(const std::string& path, PlatformType) override {
        sensor_->lastPath = path;
        return std::make_unique<FakeSensor>(sensor_);
    }
    std::unique_ptr<KorvaneTOFSensor> makeUsbSensor(const std::string& path, int) override {
        sensor_->lastPath = path;
        return std::make_unique<FakeSensor>(sensor_);
    }
    std::unique_ptr<KorvaneDevice> makeDevice(DeviceType type, PlatformType platform) override {
        return std::make_unique<FakeDevice>(type, platform, device_);
    }
private:
    std::shared_ptr<FakeSensorState> sensor_;
    std::shared_ptr<FakeDeviceState> device_;
};

}  // namespace Korvane::testing
