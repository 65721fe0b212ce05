// Builds the transports and device models a camera opens. The camera asks the factory
// instead of naming concrete classes, so tests can hand it doubles and each concrete
// transport or model is registered in one place.
#pragma once

#include <memory>
#include <string>

#include "korvane_device.h"
#include "korvane_tof_sensor.h"
#include "korvane_types.h"

namespace Korvane {

class ComponentFactory {
public:
    virtual ~ComponentFactory() = default;
    // Null when the transport or model is not available in this build; the camera then
    // answers KorvaneNotImplemented.
    virtual std::unique_ptr<KorvaneTOFSensor> makeCsiSensor(const std::string& devicePath, PlatformType platform) = 0;
    virtual std::unique_ptr<KorvaneTOFSensor> makeUsbSensor(const std::string& configPath, int index) = 0;
    virtual std::unique_ptr<KorvaneDevice> makeDevice(DeviceType type, PlatformType platform) = 0;
};

// The factory of the real transports and device models.
std::unique_ptr<ComponentFactory> makeDefaultComponentFactory();

}  // namespace Korvane
