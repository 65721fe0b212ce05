#include "korvane_tof_csi_sensor.h"

#include <fcntl.h>
#include <linux/i2c.h>
#include <linux/media-bus-format.h>
#include <linux/v4l2-subdev.h>
#include <linux/videodev2.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "bus_names.h"
#include "korvane_tof_camera.h"
#include "media_discovery.h"
#include "module_controller.h"
#include "transport/i2c/i2c_adapters.h"
#include "transport/i2c/i2c_helpers.h"
#include "transport/system/ioctl.h"

namespace Korvane {

namespace {

constexpr int kIoctlAttempts = 5;  // V4L2 and media calls interrupted or timed out are repeated
constexpr uint32_t kBuffersRequested = 8;
constexpr uint32_t kMinimumBuffers = 2;
constexpr size_t kNameFileLength = 255;
constexpr unsigned long kMaxBusNumber = 0xFFFFF;
constexpr int32_t kBitWidth = 12;
constexpr int32_t kBytesPerSample = 2;
// Driver control of the modulation frequency: 1 selects 75 MHz (2 m range), 0 37.5 MHz (4 m).
constexpr uint32_t kRangeControl = 0x981901;
constexpr int64_t kRestartGapUs = 5000;
// A frame whose images keep arriving more than 5 ms apart is given up after this many
// restarts, so that the capture thread returns and can see a stop request.
constexpr int kMaxRestarts = 4;

int64_t microsecondsBetween(const timeval& earlier, const timeval& later) {
    return (static_cast<int64_t>(later.tv_sec) - earlier.tv_sec) * 1'000'000 + (later.tv_usec - earlier.tv_usec);
}

// The driver value of a range: 2 or 4 (metres) as (value / 2) mod 2, and the millimetre
// ranges 2000 and 4000 that the device models use.
std::optional<int32_t> rangeControlValue(int range) {
    switch (range) {
        case 2:
        case 4: return (range / 2) % 2;
        case 2000: return 1;
        case 4000: return 0;
        default: return std::nullopt;
    }
}

}  // namespace

KorvaneTOFCSISensor::KorvaneTOFCSISensor(std::string devicePath, PlatformType platform)
    : sys_(sys::systemCalls()),
      devicePath_(std::move(devicePath)),
      board_(csi::boardProfile(platform)),
      chipAddress_(csi::kModuleControllerAddress) {}

int KorvaneTOFCSISensor::v4l2Ioctl(int fd, unsigned long request, void* arg) {
    return sys::callIoctl(sys_, fd, request, arg, kIoctlAttempts);
}

int KorvaneTOFCSISensor::open(KorvaneTOFCamera& camera) {
    video_ = sys::UniqueFd(sys_, sys_.open(devicePath_, O_RDWR));
    if (!video_.isValid()) return KorvaneSystemError;

    v4l2_capability capability{};
    const int r = v4l2Ioctl(video_.get(), VIDIOC_QUERYCAP, &capability);
    if (r < 0) {
        // Reported and refused; ending the process here would end the caller's program.
        std::fprintf(stderr, "VIDIOC_QUERYCAP: error - %d\n", -r);
        return KorvaneSystemError;
    }
    if ((capability.capabilities & (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_CAPTURE_MPLANE)) == 0 ||
        (capability.capabilities & V4L2_CAP_STREAMING) == 0) {
        return KorvaneSystemError;
    }

    subdevices_.clear();
    sensorSubdevice_.reset();
    busName_.clear();
    if (board_.mediaDiscovery) {
        openMediaTopology();
    } else if (board_.busFromNameFile && busNameFromNameFile() != 0) {
        return KorvaneSystemError;
    }

    if (board_.bufferType != V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE) {
        int input = input_;
        if (v4l2Ioctl(video_.get(), VIDIOC_S_INPUT, &input) < 0) return KorvaneSystemError;
    }
    if (openI2cBus() != 0) return KorvaneSystemError;

    uint32_t width = 0, height = 0;
    const int result = readSensorSize(width, height) == 0 ? KorvaneSuccess : KorvaneSystemError;
    camera.setSensorFormat(static_cast<int32_t>(width), static_cast<int32_t>(height), kBitWidth, kBytesPerSample);
    info_ = camera.getCameraInfo();
    return result;
}

void KorvaneTOFCSISensor::openMediaTopology() {
    struct stat node{};
    if (sys_.fstat(video_.get(), &node) != 0) return;  // no bus name: reported by the bus lookup
    csi::MediaTopology topology = csi::discoverMediaTopology(sys_, node.st_rdev, board_);
    subdevices_ = std::move(topology.subdevices);
    sensorSubdevice_ = topology.sensor;
    busName_ = std::move(topology.busName);
}

int KorvaneTOFCSISensor::busNameFromNameFile() {
    struct stat node{};
    if (sys_.fstat(video_.get(), &node) != 0 || !S_ISCHR(node.st_mode)) return KorvaneSystemError;
    std::string line;
    const std::string path = csi::sysfsCharDevice(major(node.st_rdev), minor(node.st_rdev)) + "/name";
    if (sys::readFirstLine(sys_, path, kNameFileLength, line) != 0) return KorvaneSystemError;
    std::optional<std::string> bus = csi::busNameFromJetsonName(line);
    if (!bus) return KorvaneSystemError;
    busName_ = std::move(*bus);
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::openI2cBus() {
    int bus = -1;
    char* end = nullptr;
    const unsigned long number = std::strtoul(busName_.c_str(), &end, 0);
    if (!busName_.empty() && *end == '\0') {
        if (number > kMaxBusNumber) {
            std::fprintf(stderr, "Error: I2C bus out of range!\n");
            return KorvaneSystemError;
        }
        bus = static_cast<int>(number);
    } else {
        bus = i2c::lookupI2cBusByName(sys_, busName_);
        if (bus < 0) return KorvaneSystemError;
    }

    char filename[32];
    i2c_ = sys::UniqueFd(sys_, i2c::openI2cDev(sys_, bus, filename, sizeof filename, false));
    if (!i2c_.isValid()) return KorvaneSystemError;
    unsigned long functions = 0;
    if (i2c::getFunctionality(sys_, i2c_.get(), &functions) != 0) return KorvaneSystemError;
    if ((functions & I2C_FUNC_I2C) == 0) {
        std::fprintf(stderr, "Error: Adapter does not have %s capability\n", "I2C transfers");
        return KorvaneSystemError;
    }
    chipAddress_ = csi::kModuleControllerAddress;
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::readSensorSize(uint32_t& width, uint32_t& height) {
    if (board_.mediaDiscovery) {
        if (!sensorSubdevice_) return KorvaneSystemError;
        v4l2_subdev_format format{};
        format.which = V4L2_SUBDEV_FORMAT_TRY;
        format.pad = 0;
        if (v4l2Ioctl(subdevices_[*sensorSubdevice_].get(), VIDIOC_SUBDEV_G_FMT, &format) < 0) {
            return KorvaneSystemError;
        }
        width = format.format.width;
        height = format.format.height;
        return KorvaneSuccess;
    }
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (v4l2Ioctl(video_.get(), VIDIOC_G_FMT, &format) < 0) return KorvaneSystemError;
    width = format.fmt.pix.width;
    height = format.fmt.pix.height;
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::close() {
    buffers_.clear();
    subdevices_.clear();
    sensorSubdevice_.reset();
    video_.reset();
    i2c_.reset();
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::setFormat() {
    const uint32_t width = static_cast<uint32_t>(info_.width);
    const uint32_t height = static_cast<uint32_t>(info_.height);
    v4l2_format format{};
    format.type = board_.bufferType;
    if (board_.bufferType == V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE) {
        format.fmt.pix_mp.width = width;
        format.fmt.pix_mp.height = height;
        format.fmt.pix_mp.pixelformat = board_.pixelFormat;
        format.fmt.pix_mp.field = V4L2_FIELD_NONE;
        format.fmt.pix_mp.num_planes = 1;
        format.fmt.pix_mp.plane_fmt[0].bytesperline = width * kBytesPerSample;
        format.fmt.pix_mp.plane_fmt[0].sizeimage = width * height * kBytesPerSample;
    } else {
        format.fmt.pix.width = width;
        format.fmt.pix.height = height;
        format.fmt.pix.pixelformat = board_.pixelFormat;
        format.fmt.pix.field = V4L2_FIELD_NONE;
    }
    int r = v4l2Ioctl(video_.get(), VIDIOC_TRY_FMT, &format);
    if (r < 0) return r;
    r = v4l2Ioctl(video_.get(), VIDIOC_S_FMT, &format);
    if (r < 0) return r;

    if (board_.mediaDiscovery) {
        for (const sys::UniqueFd& subdevice : subdevices_) {
            v4l2_subdev_format busFormat{};
            busFormat.which = V4L2_SUBDEV_FORMAT_ACTIVE;
            busFormat.pad = 0;
            busFormat.format.width = width;
            busFormat.format.height = height;
            busFormat.format.code = MEDIA_BUS_FMT_Y12_1X12;
            busFormat.format.field = V4L2_FIELD_NONE;
            r = v4l2Ioctl(subdevice.get(), VIDIOC_SUBDEV_S_FMT, &busFormat);
            if (r < 0) return r;
            // Only read, so that drivers refresh their crop rectangle; the result does not matter.
            v4l2_subdev_selection crop{};
            crop.which = V4L2_SUBDEV_FORMAT_ACTIVE;
            crop.pad = 0;
            crop.target = V4L2_SEL_TGT_CROP;
            v4l2Ioctl(subdevice.get(), VIDIOC_SUBDEV_G_SELECTION, &crop);
        }
    }
    uint32_t readWidth = 0, readHeight = 0;
    if (readSensorSize(readWidth, readHeight) != 0) return KorvaneSystemError;
    return readWidth == width && readHeight == height ? KorvaneSuccess : KorvaneUnkownError;
}

int KorvaneTOFCSISensor::start() {
    if (setFormat() != 0) return KorvaneUnkownError;
    v4l2_requestbuffers request{};
    request.count = kBuffersRequested;
    request.type = board_.bufferType;
    request.memory = V4L2_MEMORY_MMAP;
    if (v4l2Ioctl(video_.get(), VIDIOC_REQBUFS, &request) < 0) return KorvaneUnkownError;
    if (mapBuffers(request.count) != 0) {
        releaseBuffers();
        return KorvaneUnkownError;
    }
    int type = static_cast<int>(board_.bufferType);
    if (v4l2Ioctl(video_.get(), VIDIOC_STREAMON, &type) < 0) {
        releaseBuffers();  // so that a later start finds the driver free
        return KorvaneSystemError;
    }
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::mapBuffers(uint32_t granted) {
    buffers_.clear();
    // Streaming works with any two buffers; a driver granting more than eight keeps the
    // rest unused.
    if (granted < kMinimumBuffers) {
        std::fprintf(stderr, "Error: the driver granted %u capture buffers, at least %u are needed\n", granted,
                     kMinimumBuffers);
        return KorvaneUnkownError;
    }
    const uint32_t count = std::min(granted, kBuffersRequested);
    const bool multiPlanar = board_.bufferType == V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE;
    for (uint32_t index = 0; index < count; ++index) {
        v4l2_plane plane{};
        v4l2_buffer buffer{};
        buffer.index = index;
        buffer.type = board_.bufferType;
        buffer.memory = V4L2_MEMORY_MMAP;
        if (multiPlanar) {
            buffer.m.planes = &plane;
            buffer.length = 1;
        }
        if (v4l2Ioctl(video_.get(), VIDIOC_QUERYBUF, &buffer) < 0) return KorvaneUnkownError;
        const size_t length = multiPlanar ? plane.length : buffer.length;
        const off_t offset = multiPlanar ? plane.m.mem_offset : buffer.m.offset;
        CaptureBuffer mapped{sys::MappedMemory(sys_, video_.get(), length, offset),
                             csi::chooseConverter(board_, length)};
        if (!mapped.memory.isValid()) return KorvaneUnkownError;
        buffers_.push_back(std::move(mapped));
        if (queueBuffer(index) < 0) return KorvaneUnkownError;
    }
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::queueBuffer(uint32_t index) {
    v4l2_plane plane{};
    v4l2_buffer buffer{};
    buffer.index = index;
    buffer.type = board_.bufferType;
    buffer.memory = V4L2_MEMORY_MMAP;
    if (board_.bufferType == V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE) {
        buffer.m.planes = &plane;
        buffer.length = 1;
    }
    return v4l2Ioctl(video_.get(), VIDIOC_QBUF, &buffer);
}

int KorvaneTOFCSISensor::dequeue(uint32_t& index, timeval& stamp, size_t& bytes) {
    v4l2_plane plane{};
    v4l2_buffer buffer{};
    buffer.type = board_.bufferType;
    buffer.memory = V4L2_MEMORY_MMAP;
    const bool multiPlanar = board_.bufferType == V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE;
    if (multiPlanar) {
        buffer.m.planes = &plane;
        buffer.length = 1;
    }
    if (v4l2Ioctl(video_.get(), VIDIOC_DQBUF, &buffer) < 0) return KorvaneSystemError;
    if (buffer.index >= buffers_.size()) return KorvaneNoCache;
    index = buffer.index;
    stamp = buffer.timestamp;
    bytes = multiPlanar ? plane.length : buffer.length;
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::stop() {
    int type = static_cast<int>(board_.bufferType);
    if (v4l2Ioctl(video_.get(), VIDIOC_STREAMOFF, &type) < 0) return KorvaneSystemError;
    return releaseBuffers();
}

int KorvaneTOFCSISensor::releaseBuffers() {
    int result = KorvaneSuccess;
    for (CaptureBuffer& buffer : buffers_) {
        if (buffer.memory.unmap() != 0) result = KorvaneSystemError;
    }
    buffers_.clear();
    // Drivers refuse a new format while buffers exist, so they are given back: the next
    // start can then set the format again.
    v4l2_requestbuffers request{};
    request.count = 0;
    request.type = board_.bufferType;
    request.memory = V4L2_MEMORY_MMAP;
    if (v4l2Ioctl(video_.get(), VIDIOC_REQBUFS, &request) < 0) result = KorvaneSystemError;
    return result;
}

int KorvaneTOFCSISensor::getFrame(int16_t* staging, uint64_t* timestamp) {
    if (staging == nullptr || timestamp == nullptr) return KorvaneInvalidParameter;
    // Each image has its own slot in the staging buffer. A kernel buffer longer than its
    // slot is cut at the slot's end (the surplus is the driver's padding), so the later
    // images stay in place and nothing is written past the staging buffer.
    const size_t imageBytes =
        static_cast<size_t>(std::max(info_.width, 0)) * static_cast<size_t>(std::max(info_.height, 0)) * kBytesPerSample;
    const int images = std::max(images_per_frame_, 1);
    auto* out = reinterpret_cast<uint8_t*>(staging);

    timeval previous{}, stamp{};
    int restarts = 0;
    for (int image = 0; image < images;) {
        uint32_t index = 0;
        size_t bytes = 0;
        const int r = dequeue(index, stamp, bytes);
        if (r != 0) return r;
        // Images of one frame arrive in one burst; a longer gap means this image opens the next frame.
        if (image > 0 && microsecondsBetween(previous, stamp) > kRestartGapUs) {
            if (++restarts > kMaxRestarts) {
                return queueBuffer(index) < 0 ? KorvaneSystemError : KorvaneNoCache;
            }
            image = 0;
        }
        const CaptureBuffer& buffer = buffers_[index];
        buffer.convert(buffer.memory.data(), std::min(bytes, buffer.memory.size()), out + image * imageBytes,
                       imageBytes, info_.width);
        if (queueBuffer(index) < 0) return KorvaneSystemError;
        previous = stamp;
        ++image;
    }
    *timestamp = static_cast<uint64_t>(stamp.tv_sec) * 1000 + static_cast<uint64_t>(stamp.tv_usec) / 1000;
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::sensorControl(unsigned long request, uint32_t id, int32_t& value, const char* what) {
    if (!sensorSubdevice_) {
        sys::printError(what, ENODEV);
        return KorvaneUnkownError;
    }
    v4l2_control control{id, value};
    const int r = v4l2Ioctl(subdevices_[*sensorSubdevice_].get(), request, &control);
    if (r < 0) {
        sys::printError(what, -r);
        return KorvaneUnkownError;
    }
    value = control.value;
    return KorvaneSuccess;
}

int KorvaneTOFCSISensor::setControl(CameraCtrl ctrl, int value) {
    switch (ctrl) {
        case FMT_WIDTH: info_.width = value; return KorvaneSuccess;
        case FMT_HEIGHT: info_.height = value; return KorvaneSuccess;
        case FRAME_RATE:
            if (!csi::writeFrameRate(sys_, i2c_.get(), chipAddress_, value)) return KorvaneSystemError;
            frameRate_.store(value);  // only a rate the module accepted is reported back
            return KorvaneSuccess;
        case RANGE: {
            std::optional<int32_t> driverValue = rangeControlValue(value);
            if (!driverValue) return KorvaneInvalidParameter;
            return sensorControl(VIDIOC_S_CTRL, kRangeControl, *driverValue, "VIDIOC_S_CTRL");
        }
        case EXPOSURE: {
            int32_t exposure = value;
            return sensorControl(VIDIOC_S_CTRL, V4L2_CID_EXPOSURE, exposure, "VIDIOC_S_CTRL");
        }
        default: return KorvaneInvalidParameter;
    }
}

int KorvaneTOFCSISensor::getControl(CameraCtrl ctrl, int* value) {
    if (value == nullptr) return KorvaneInvalidParameter;
    switch (ctrl) {
        case FMT_WIDTH: *value = info_.width; return KorvaneSuccess;
        case FMT_HEIGHT: *value = info_.height; return KorvaneSuccess;
        case FRAME_RATE: *value = frameRate_.load(); return KorvaneSuccess;
        case EXPOSURE: {
            int32_t exposure = 0;
            const int r = sensorControl(VIDIOC_G_CTRL, V4L2_CID_EXPOSURE, exposure, "VIDIOC_G_CTRL");
            if (r == KorvaneSuccess) *value = exposure;
            return r;
        }
        case RANGE: {
            int32_t driverValue = 0;
            const int r = sensorControl(VIDIOC_G_CTRL, kRangeControl, driverValue, "VIDIOC_G_CTRL");
            if (r == KorvaneSuccess) *value = driverValue != 0 ? 2 : 4;
            return r;
        }
        default: return KorvaneInvalidParameter;
    }
}

int KorvaneTOFCSISensor::readEeprom(uint16_t offset, uint8_t* dst) {
    if (dst == nullptr) return KorvaneInvalidParameter;
    return csi::readEepromBlock(sys_, i2c_.get(), chipAddress_, offset, dst) ? KorvaneSuccess : KorvaneSystemError;
}

}  // namespace Korvane
