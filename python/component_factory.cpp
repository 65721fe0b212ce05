#include "component_factory.h"

#include "device/hqvga/korvane_device_hqvga.h"
#include "transport/usb/korvane_tof_usb_sensor.h"
#include "transport/csi/korvane_tof_csi_sensor.h"

namespace Korvane {

namespace {

// Concrete transports and device models are registered here as they become available;
// anything not yet built is reported as not implemented rather than faked.
class DefaultComponentFactory final : public ComponentFactory {
public:
    std::unique_ptr<KorvaneTOFSensor> makeCsiSensor(const std::string& devicePath, PlatformType platform) override {
        return std::make_unique<KorvaneTOFCSISensor>(devicePath, platform);
    }
    std::unique_ptr<KorvaneTOFSensor> makeUsbSensor(const std::string& configPath, int index) override {
        return std::make_unique<KorvaneTOFUSBSensor>(configPath, index);
    }
    std::unique_ptr<KorvaneDevice> makeDevice(DeviceType type, PlatformType platform) override {
        if (type == HQVGA) return std::make_unique<KorvaneDeviceHQVGA>(platform);
        return nullptr;
    }
};

}  // namespace

std::unique_ptr<ComponentFactory> makeDefaultComponentFactory() {
    return std::make_unique<DefaultComponentFactory>();
}

}  // namespace Korvane
