#include "emulated_board.h"

#include <linux/i2c.h>
#include <linux/media.h>
#include <linux/videodev2.h>

#include "transport/csi/v4l2_compat.h"

namespace Korvane::emulation {

namespace {

constexpr unsigned kV4l2Major = 81;
constexpr unsigned kI2cMajor = 89;
constexpr unsigned kMediaMajor = 236;
constexpr const char* kModelFile = "/sys/firmware/devicetree/base/model";
constexpr const char* kSensorDriver = "korvane-tessaline";
constexpr unsigned long kPlainAdapter = I2C_FUNC_I2C | I2C_FUNC_SMBUS_EMUL;
constexpr size_t kEepromBytes = 16 * 1024;

std::string charDevice(unsigned major, unsigned minor) {
    return "/sys/dev/char/" + std::to_string(major) + ":" + std::to_string(minor);
}

}  // namespace

const char* to_str(BoardFamily family) {
    switch (family) {
        case BoardFamily::RaspberryPi: return "RaspberryPi";
        case BoardFamily::RaspberryPi5: return "RaspberryPi5";
        case BoardFamily::JetsonNano: return "JetsonNano";
        case BoardFamily::JetsonXavier: return "JetsonXavier";
        case BoardFamily::JetsonOrin: return "JetsonOrin";
        case BoardFamily::RadxaRock: return "RadxaRock";
        case BoardFamily::Unknown: return "Unknown";
    }
    return "?";
}

std::vector<uint8_t> moduleEeprom() {
    std::vector<uint8_t> bytes(kEepromBytes);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
    return bytes;
}

PlatformType EmulatedBoard::platform() const {
    switch (family_) {
        case BoardFamily::RaspberryPi: return PLATFORM_RASPBERRY_PI;
        case BoardFamily::RaspberryPi5: return PLATFORM_RASPBERRY_PI5;
        case BoardFamily::JetsonNano: return PLATFORM_JETSON_NANO;
        case BoardFamily::JetsonXavier:
        case BoardFamily::JetsonOrin: return PLATFORM_JETSON;
        case BoardFamily::RadxaRock: return PLATFORM_ROCK;
        case BoardFamily::Unknown: return PLATFORM_UNKNOWN;
    }
    return PLATFORM_UNKNOWN;
}

void EmulatedBoard::addVideoNode(VideoDeviceConfig config, const std::vector<std::string>& deviceEntries) {
    config.width = options_.width;
    config.height = options_.height;
    config.grantedBuffers = options_.grantedBuffers;
    config.paddingBytes = options_.paddingBytes;
    config.streaming = options_.streamingCapability;
    config.timestampUs = options_.timestampUs;
    video_ = std::make_shared<EmulatedVideoDevice>(std::move(config), options_.source);
    kernel_.addDevice(kVideoNode, kV4l2Major, 0, video_);
    for (const std::string& entry : deviceEntries) kernel_.addDirectory(charDevice(kV4l2Major, 0) + "/device/" + entry);
}

std::shared_ptr<EmulatedSubdevice> EmulatedBoard::addSubdevice(unsigned minor, unsigned index, SubdeviceConfig config,
                                                               std::string& node) {
    auto subdevice = std::make_shared<EmulatedSubdevice>(std::move(config));
    node = "/dev/v4l-subdev" + std::to_string(index);
    kernel_.addDevice(node, kV4l2Major, minor, subdevice);
    kernel_.addSymlink(charDevice(kV4l2Major, minor),
                       "../../devices/platform/camera/video4linux/v4l-subdev" + std::to_string(index));
    return subdevice;
}

void EmulatedBoard::addCameraBus(int bus, const std::string& name) {
    adapter_ = std::make_shared<EmulatedI2cAdapter>(kernel_.trace(), bus, kPlainAdapter);
    adapter_->attach(0x0C, controller_);
    adapter_->markBusy(0x0C);  // the sensor's kernel driver is bound there
    busNode_ = "/dev/i2c-" + std::to_string(bus);
    kernel_.addDevice(busNode_, kI2cMajor, static_cast<unsigned>(bus), adapter_);
    kernel_.addFile("/sys/class/i2c-dev/i2c-" + std::to_string(bus) + "/name",
                    (options_.adapterName.empty() ? name : options_.adapterName) + "\n");
}

void EmulatedBoard::addSysfsMount() {
    kernel_.addFile("/proc/mounts",
                    "/dev/root / ext4 rw,noatime 0 0\n"
                    "devtmpfs /dev devtmpfs rw,relatime,size=1872928k,mode=755 0 0\n"
                    "proc /proc proc rw,relatime 0 0\n"
                    "sysfs /sys sysfs rw,nosuid,nodev,noexec,relatime 0 0\n");
    // A second adapter with nothing of ours on it.
    auto other = std::make_shared<EmulatedI2cAdapter>(kernel_.trace(), 1, kPlainAdapter);
    kernel_.addDevice("/dev/i2c-1", kI2cMajor, 1, other);
    kernel_.addFile("/sys/class/i2c-dev/i2c-1/name", "Synopsys DesignWare I2C adapter\n");
}

EmulatedBoard::EmulatedBoard(BoardFamily family, BoardOptions options)
    : family_(family), options_(std::move(options)) {
    if (!options_.source) options_.source = std::make_shared<TestPattern>();
    controller_ = std::make_shared<ModuleController>(moduleEeprom());
    addSysfsMount();
    SubdeviceConfig sensorConfig{options_.width, options_.height, true, 1,
                                 {{V4L2_CID_EXPOSURE, kExposureDefault}, {kRangeControlId, 0}}};
    SubdeviceConfig bridgeConfig{options_.width, options_.height, false, 6, {}};
    const auto sensorName = [&](const char* driver, const char* bus) {
        return std::string(driver) + " " + (options_.adapterName.empty() ? bus : options_.adapterName.c_str()) +
               "-000c";
    };
    const std::vector<std::string> platformDevice{"driver", "media0", "of_node", "power", "subsystem", "uevent",
                                                  "video4linux"};

    switch (family) {
        case BoardFamily::RaspberryPi: {
            kernel_.addFile(kModelFile, std::string("Raspberry Pi 4 Model B Rev 1.4", 31));
            addVideoNode({false, true, 0, 0, {V4L2_PIX_FMT_Y12}, LinePacking::Stride512, 0, 0, 0, 1, {}},
                         platformDevice);
            sensor_ = addSubdevice(1, 0, sensorConfig, sensorNode_);
            media_ = std::make_shared<EmulatedMediaDevice>(
                std::vector<MediaEntity>{{1, sensorName(kSensorDriver, "10"), MEDIA_ENT_F_CAM_SENSOR, kV4l2Major, 1, 1},
                                         {3, "unicam-image", MEDIA_ENT_F_IO_V4L, kV4l2Major, 0, 1},
                                         {5, "unicam-embedded", MEDIA_ENT_F_IO_V4L, kV4l2Major, 2, 1}},
                std::vector<MediaLink>{{1, 0, 3, 0, true}});
            kernel_.addDevice("/dev/media0", kMediaMajor, 0, media_);
            addCameraBus(10, "i2c-22-mux (chan_id 1)");
            break;
        }
        case BoardFamily::RaspberryPi5: {
            kernel_.addFile(kModelFile, std::string("Raspberry Pi 5 Model B Rev 1.0", 31));
            addVideoNode({false, true, 0, 0, {V4L2_PIX_FMT_Y12P}, LinePacking::Packed12, 0, 0, 0, 1, {}},
                         platformDevice);
            bridge_ = addSubdevice(2, 0, bridgeConfig, bridgeNode_);
            std::string frontEnd;
            addSubdevice(3, 1, SubdeviceConfig{options_.width, options_.height, false, 2, {}}, frontEnd);
            sensor_ = addSubdevice(4, 2, sensorConfig, sensorNode_);
            media_ = std::make_shared<EmulatedMediaDevice>(
                std::vector<MediaEntity>{{1, "rp1-cfe-csi2_ch0", MEDIA_ENT_F_IO_V4L, kV4l2Major, 0, 1},
                                         {5, "rp1-cfe-csi2_ch1", MEDIA_ENT_F_IO_V4L, kV4l2Major, 5, 1},
                                         {13, "csi2", MEDIA_ENT_F_VID_IF_BRIDGE, kV4l2Major, 2, 6},
                                         {20, "pisp-fe", MEDIA_ENT_F_PROC_VIDEO_ISP, kV4l2Major, 3, 2},
                                         {30, sensorName(kSensorDriver, "4"), MEDIA_ENT_F_CAM_SENSOR, kV4l2Major, 4,
                                          1}},
                std::vector<MediaLink>{{13, 4, 1, 0, false}, {13, 5, 5, 0, false}, {30, 0, 13, 0, true}});
            kernel_.addDevice("/dev/media0", kMediaMajor, 0, media_);
            addCameraBus(4, "rp1 i2c");
            break;
        }
        case BoardFamily::RadxaRock: {
            kernel_.addFile(kModelFile, std::string("Radxa ROCK 5B", 14));
            addVideoNode({true, true, 0, 0, {V4L2_PIX_FMT_Y12}, LinePacking::Plain16, 0, 0, 0, 1, {}},
                         platformDevice);
            bridge_ = addSubdevice(1, 0, SubdeviceConfig{options_.width, options_.height, false, 2, {}}, bridgeNode_);
            sensor_ = addSubdevice(2, 1, sensorConfig, sensorNode_);
            media_ = std::make_shared<EmulatedMediaDevice>(
                std::vector<MediaEntity>{{1, "rockchip-csi2-dphy1", MEDIA_ENT_F_VID_IF_BRIDGE, kV4l2Major, 1, 2},
                                         {3, "stream_cif_mipi_id0", MEDIA_ENT_F_IO_V4L, kV4l2Major, 0, 1},
                                         {7, sensorName("m00_b_tessaline", "7"), MEDIA_ENT_F_CAM_SENSOR, kV4l2Major,
                                          2, 1}},
                std::vector<MediaLink>{{7, 0, 1, 0, true}, {1, 1, 3, 0, true}});
            kernel_.addDevice("/dev/media0", kMediaMajor, 0, media_);
            addCameraBus(7, "rk3x-i2c");
            break;
        }
        case BoardFamily::JetsonNano:
        case BoardFamily::JetsonXavier:
        case BoardFamily::JetsonOrin: {
            const bool nano = family == BoardFamily::JetsonNano;
            kernel_.addFile(kModelFile, nano ? std::string("NVIDIA Jetson Nano Developer Kit", 33)
                                        : family == BoardFamily::JetsonXavier
                                            ? std::string("NVIDIA Jetson Xavier NX Developer Kit", 38)
                                            : std::string("NVIDIA Jetson AGX Orin Developer Kit", 37));
            // Xavier and Orin capture two lines per block, with samples in the upper 12 bits.
            addVideoNode({false, true, 0, 0, {V4L2_PIX_FMT_Y12},
                          nano ? LinePacking::Plain16 : LinePacking::PairedLines, nano ? 0u : 4u, 0, 0, 1, {}},
                         {"driver", "power", "uevent", "video4linux"});
            kernel_.addFile(charDevice(kV4l2Major, 0) + "/name", "vi-output, " + sensorName("korvane", "30") + "\n");
            addCameraBus(30, "i2c-2-mux (chan_id 0)");
            break;
        }
        case BoardFamily::Unknown:
            addVideoNode({false, true, 0, 0, {V4L2_PIX_FMT_Y12}, LinePacking::Plain16, 0, 0, 0, 1, {}},
                         {"driver", "power", "uevent"});
            break;
    }
}

}  // namespace Korvane::emulation
