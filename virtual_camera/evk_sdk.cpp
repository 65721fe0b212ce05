// The C entry points of libkorvane_evk_sdk over VirtualDevice.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "korvane_evk_sdk.h"
#include "virtual_device.h"
#include "virtual_device_config.h"

struct KorvaneEvkCamera {
    std::unique_ptr<Korvane::Evk::VirtualDevice> device;
};

namespace {

using Korvane::Evk::VirtualDevice;

int report(int result, const std::string& message) {
    std::fprintf(stderr, "korvane_evk: %s\n", message.c_str());
    return result;
}

// Runs `call` so that no exception crosses the C interface.
template <typename Call>
int guarded(const char* name, Call&& call) {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return report(KORVANE_EVK_ERROR_MEMORY, std::string(name) + ": out of memory");
    } catch (const std::exception& e) {
        return report(KORVANE_EVK_ERROR_CONFIG, std::string(name) + ": " + e.what());
    }
}

template <typename Call>
int withDevice(KorvaneCameraHandle handle, const char* name, Call&& call) {
    if (handle == nullptr || !handle->device) return report(KORVANE_EVK_ERROR_ARGUMENT, std::string(name) + ": no camera");
    return guarded(name, [&] { return call(*handle->device); });
}

}  // namespace

extern "C" {

int KorvaneDefaultParam(KorvaneOpenParam* param) {
    if (param == nullptr) return report(KORVANE_EVK_ERROR_ARGUMENT, "KorvaneDefaultParam: no parameter record");
    *param = KorvaneOpenParam{};
    return KORVANE_EVK_OK;
}

int KorvaneOpenCamera(KorvaneCameraHandle* handle, const KorvaneOpenParam* param) {
    if (handle == nullptr || param == nullptr) {
        return report(KORVANE_EVK_ERROR_ARGUMENT, "KorvaneOpenCamera: no handle or parameter record");
    }
    *handle = nullptr;
    return guarded("KorvaneOpenCamera", [&] {
        using namespace Korvane::Evk;
        VirtualDeviceConfig config = defaultVirtualDevice();
        if (param->config_file != nullptr) {
            const std::string path = param->config_file;
            if (param->binary_config) {
                return report(KORVANE_EVK_ERROR_CONFIG,
                              path + ": binary configurations are not supported by the virtual adapter");
            }
            std::string error;
            const ConfigStatus status = readVirtualDeviceConfig(path, config, error);
            if (status == ConfigStatus::UnknownKind) return report(KORVANE_EVK_ERROR_DEVICE_KIND, error);
            if (status != ConfigStatus::Ok) return report(KORVANE_EVK_ERROR_CONFIG, error);
        }
        int result = KORVANE_EVK_OK;
        std::string error;
        auto camera = std::make_unique<KorvaneEvkCamera>();
        camera->device = VirtualDevice::create(config, result, error);
        if (!camera->device) return report(result, error);
        *handle = camera.release();  // owned by the caller until KorvaneCloseCamera
        return static_cast<int>(KORVANE_EVK_OK);
    });
}

int KorvaneInitCamera(KorvaneCameraHandle handle) {
    return withDevice(handle, "KorvaneInitCamera", [](VirtualDevice& device) { return device.init(); });
}

int KorvaneGetCameraConfig(KorvaneCameraHandle handle, KorvaneCameraConfig* config) {
    if (config == nullptr) return report(KORVANE_EVK_ERROR_ARGUMENT, "KorvaneGetCameraConfig: no configuration record");
    return withDevice(handle, "KorvaneGetCameraConfig", [&](VirtualDevice& device) {
        *config = device.cameraConfig();
        return static_cast<int>(KORVANE_EVK_OK);
    });
}

int KorvaneStartCamera(KorvaneCameraHandle handle) {
    return withDevice(handle, "KorvaneStartCamera", [](VirtualDevice& device) {
        const int result = device.start();
        return result == KORVANE_EVK_OK ? result
                                        : report(result, "KorvaneStartCamera: camera not initialised or already streaming");
    });
}

int KorvaneCaptureImage(KorvaneCameraHandle handle, KorvaneImage* image, uint32_t timeout_ms) {
    if (image == nullptr) return report(KORVANE_EVK_ERROR_ARGUMENT, "KorvaneCaptureImage: no image record");
    return withDevice(handle, "KorvaneCaptureImage", [&](VirtualDevice& device) {
        // Time-outs and the end of a recording are ordinary outcomes of a capture: no message.
        return device.capture(*image, timeout_ms);
    });
}

int KorvaneFreeImage(KorvaneCameraHandle handle, KorvaneImage image) {
    std::free(image.data);
    return handle == nullptr ? KORVANE_EVK_ERROR_ARGUMENT : KORVANE_EVK_OK;
}

int KorvaneStopCamera(KorvaneCameraHandle handle) {
    return withDevice(handle, "KorvaneStopCamera", [](VirtualDevice& device) { return device.stop(); });
}

int KorvaneCloseCamera(KorvaneCameraHandle handle) {
    if (handle == nullptr) return report(KORVANE_EVK_ERROR_ARGUMENT, "KorvaneCloseCamera: no camera");
    std::unique_ptr<KorvaneEvkCamera> camera(handle);
    if (camera->device) camera->device->stop();
    return KORVANE_EVK_OK;
}

int KorvaneWriteSensorReg(KorvaneCameraHandle handle, uint32_t reg, uint32_t value) {
    return withDevice(handle, "KorvaneWriteSensorReg",
                      [&](VirtualDevice& device) { return device.writeRegister(reg, value); });
}

int KorvaneReadSensorReg(KorvaneCameraHandle handle, uint32_t reg, uint32_t* value) {
    if (value == nullptr) return report(KORVANE_EVK_ERROR_ARGUMENT, "KorvaneReadSensorReg: no value");
    return withDevice(handle, "KorvaneReadSensorReg", [&](VirtualDevice& device) {
        *value = device.readRegister(reg);
        return static_cast<int>(KORVANE_EVK_OK);
    });
}

}  // extern "C"
