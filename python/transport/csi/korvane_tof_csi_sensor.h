// Transport of a camera module on a MIPI CSI-2 port: Video4Linux2 capture through eight
// memory-mapped buffers, the media controller for the sensor's sub-devices on boards that
// need it, and the module's microcontroller on I2C for frame rate and EEPROM.
#pragma once

#include <sys/time.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "board_profile.h"
#include "korvane_tof_sensor.h"
#include "transport/system/mapped_memory.h"
#include "transport/system/system_calls.h"
#include "transport/system/unique_fd.h"

namespace Korvane {

class KorvaneTOFCSISensor final : public KorvaneTOFSensor {
public:
    // `devicePath` is the capture node ("/dev/video<n>"). Uses the process-wide system calls.
    KorvaneTOFCSISensor(std::string devicePath, PlatformType platform);

    // 0; -2 when a device, the sensor's I2C bus or the format cannot be reached.
    int open(KorvaneTOFCamera& camera) override;
    int close() override;
    // 0; -1 when the format, the buffers or their mapping fail; -2 when streaming fails.
    int start() override;
    // 0; -2 when streaming could not be stopped or a buffer not unmapped.
    int stop() override;
    CameraInfo getCameraInfo() override { return info_; }
    // 0; -2 when a dequeue or requeue failed, 2 when the driver returned an unknown buffer
    // or no complete frame could be assembled.
    int getFrame(int16_t* staging, uint64_t* timestamp) override;
    int setControl(CameraCtrl ctrl, int value) override;
    int getControl(CameraCtrl ctrl, int* value) override;

    // Reads the 512-byte EEPROM block at `offset` of the module into dst. 0 or -2.
    int readEeprom(uint16_t offset, uint8_t* dst);

private:
    struct CaptureBuffer {
        sys::MappedMemory memory;
        csi::LineConverter convert;
    };

    int v4l2Ioctl(int fd, unsigned long request, void* arg);
    void openMediaTopology();
    int busNameFromNameFile();
    int openI2cBus();
    int readSensorSize(uint32_t& width, uint32_t& height);
    int setFormat();
    int mapBuffers(uint32_t granted);
    int queueBuffer(uint32_t index);
    int releaseBuffers();
    int dequeue(uint32_t& index, timeval& stamp, size_t& bytes);
    int sensorControl(unsigned long request, uint32_t id, int32_t& value, const char* what);

    sys::SystemCalls& sys_;
    std::string devicePath_;
    const csi::BoardProfile& board_;
    sys::UniqueFd video_;
    std::vector<sys::UniqueFd> subdevices_;
    std::optional<size_t> sensorSubdevice_;
    std::string busName_;
    sys::UniqueFd i2c_;
    uint16_t chipAddress_;
    // Last value the module accepted; 0 before the first. Written from the caller's thread
    // and from the capture thread's frame-rate adjustment.
    std::atomic<int32_t> frameRate_{0};
    int32_t input_ = 0;
    std::vector<CaptureBuffer> buffers_;
    CameraInfo info_{};
};

}  // namespace Korvane
