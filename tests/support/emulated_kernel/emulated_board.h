// Single-board computers with a camera module attached, as the transport sees them: the
// device-tree model, the capture node and its sysfs entries, the media graph and
// sub-devices where the board has them, and the I2C adapter with the module's
// microcontroller at 0x0C.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "emulated_kernel.h"
#include "frame_source.h"
#include "i2c_adapter.h"
#include "korvane_types.h"
#include "media_device.h"
#include "subdevice.h"
#include "video_device.h"

namespace Korvane::emulation {

enum class BoardFamily { RaspberryPi, RaspberryPi5, JetsonNano, JetsonXavier, JetsonOrin, RadxaRock, Unknown };

const char* to_str(BoardFamily family);

struct BoardOptions {
    std::shared_ptr<FrameSource> source;  // default: TestPattern
    uint32_t width = 240, height = 180;
    uint32_t grantedBuffers = 0;          // REQBUFS answer; 0 grants what was asked
    size_t paddingBytes = 0;              // extra bytes after the image in every buffer
    bool streamingCapability = true;      // V4L2_CAP_STREAMING offered by the capture node
    // Names the camera's I2C adapter (and the bus part of the sensor's name) instead of
    // its number, so the transport has to look it up.
    std::string adapterName;
    std::function<int64_t(uint64_t sequence)> timestampUs;  // default: bursts of four images
};

inline constexpr const char* kVideoNode = "/dev/video0";
inline constexpr int32_t kExposureDefault = 500;
inline constexpr uint32_t kRangeControlId = 0x981901;

class EmulatedBoard {
public:
    explicit EmulatedBoard(BoardFamily family, BoardOptions options = {});

    BoardFamily family() const { return family_; }
    // The platform the board's model string names.
    PlatformType platform() const;
    EmulatedKernel& kernel() { return kernel_; }
    EmulatedVideoDevice& video() { return *video_; }
    EmulatedMediaDevice* media() { return media_.get(); }        // null without a media graph
    EmulatedSubdevice* sensor() { return sensor_.get(); }        // null without sub-devices
    EmulatedSubdevice* bridge() { return bridge_.get(); }        // null without a receiver sub-device
    EmulatedI2cAdapter* cameraBus() { return adapter_.get(); }   // null when no module is wired
    ModuleController& controller() { return *controller_; }
    const std::string& sensorNode() const { return sensorNode_; }  // "/dev/v4l-subdev<n>" or empty
    const std::string& bridgeNode() const { return bridgeNode_; }
    const std::string& busNode() const { return busNode_; }        // "/dev/i2c-<n>" or empty

private:
    void addVideoNode(VideoDeviceConfig config, const std::vector<std::string>& deviceEntries);
    std::shared_ptr<EmulatedSubdevice> addSubdevice(unsigned minor, unsigned index, SubdeviceConfig config,
                                                    std::string& node);
    void addCameraBus(int bus, const std::string& name);
    void addSysfsMount();

    BoardFamily family_;
    BoardOptions options_;
    EmulatedKernel kernel_;
    std::shared_ptr<EmulatedVideoDevice> video_;
    std::shared_ptr<EmulatedMediaDevice> media_;
    std::shared_ptr<EmulatedSubdevice> sensor_, bridge_;
    std::shared_ptr<EmulatedI2cAdapter> adapter_;
    std::shared_ptr<ModuleController> controller_;
    std::string sensorNode_, bridgeNode_, busNode_;
};

// EEPROM content of the emulated module: byte i is (i * 37 + 11) mod 256.
std::vector<uint8_t> moduleEeprom();

}  // namespace Korvane::emulation
