#include "virtual_device.h"

#include <cstdlib>
#include <cstring>

#include "playback_source.h"
#include "simulated_hqvga_source.h"

namespace Korvane::Evk {

std::unique_ptr<VirtualDevice> VirtualDevice::create(const VirtualDeviceConfig& config, int& result,
                                                     std::string& error) {
    std::unique_ptr<ImageSource> source;
    if (config.kind == DeviceKind::SimulatedHqvga) {
        source = std::make_unique<SimulatedHqvgaSource>(config);
    } else {
        source = PlaybackSource::open(config, error);
        if (!source) {
            result = KORVANE_EVK_ERROR_RECORDING;
            return nullptr;
        }
    }
    result = KORVANE_EVK_OK;
    return std::unique_ptr<VirtualDevice>(new VirtualDevice(config, std::move(source)));
}

VirtualDevice::VirtualDevice(const VirtualDeviceConfig& config, std::unique_ptr<ImageSource> source)
    : type_(config.type), initRegisters_(config.registers), source_(std::move(source)),
      registers_(source_->resetRegisters()) {}

int VirtualDevice::init() {
    for (const auto& [reg, value] : initRegisters_) writeRegister(reg, value);
    std::lock_guard<std::mutex> lock(mutex_);
    initialised_ = true;
    return KORVANE_EVK_OK;
}

KorvaneCameraConfig VirtualDevice::cameraConfig() const {
    const SourceFormat& format = source_->format();
    KorvaneCameraConfig config{};
    config.width = format.width;
    config.height = format.height;
    config.bit_width = static_cast<uint8_t>(format.bitWidth);
    config.bytes_per_sample = static_cast<uint8_t>(format.bytesPerSample);
    config.images_per_frame = format.imagesPerFrame;
    config.frame_rate = format.frameRate;
    std::strncpy(config.type, type_.c_str(), sizeof config.type - 1);
    return config;
}

int VirtualDevice::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!initialised_ || streaming_) return KORVANE_EVK_ERROR_STATE;
    streamStart_ = Clock::now();
    const auto clockMs = std::chrono::duration_cast<std::chrono::milliseconds>(streamStart_ - openTime_).count();
    source_->restart(static_cast<uint64_t>(clockMs));
    nextFrame_ = 0;
    frameLoaded_ = false;
    streaming_ = true;
    ++generation_;
    wake_.notify_all();
    return KORVANE_EVK_OK;
}

int VirtualDevice::stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (streaming_) {
        streaming_ = false;
        ++generation_;
        wake_.notify_all();
    }
    return KORVANE_EVK_OK;
}

int VirtualDevice::loadNextFrame(Clock::time_point now) {
    const auto elapsedMs = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now - streamStart_).count());
    uint64_t index = nextFrame_;
    if (!source_->frameDue(index)) return KORVANE_EVK_END_OF_STREAM;
    // Frame `index` was overwritten once frame index + 8 arrived.
    for (;;) {
        const auto later = source_->frameDue(index + kBufferedFrames);
        if (!later || *later > elapsedMs) break;
        ++index;
    }
    if (!source_->load(index, frame_)) return KORVANE_EVK_ERROR_RECORDING;
    nextFrame_ = index + 1;
    nextImage_ = 0;
    frameLoaded_ = true;
    return KORVANE_EVK_OK;
}

int VirtualDevice::capture(KorvaneImage& image, uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!streaming_) return KORVANE_EVK_ERROR_STATE;
    const uint64_t generation = generation_;
    const auto interrupted = [&] { return generation_ != generation; };
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);

    if (!frameLoaded_ || nextImage_ == source_->format().imagesPerFrame) {
        const int loaded = loadNextFrame(Clock::now());
        if (loaded == KORVANE_EVK_END_OF_STREAM) {
            // Like a sensor that stopped sending: nothing arrives within the time-out.
            if (wake_.wait_until(lock, deadline, interrupted)) return KORVANE_EVK_ERROR_STATE;
            return KORVANE_EVK_END_OF_STREAM;
        }
        if (loaded != KORVANE_EVK_OK) return loaded;
    }

    const Clock::time_point due = streamStart_ + std::chrono::milliseconds(frame_.dueMs[nextImage_]);
    if (due > deadline) {
        if (wake_.wait_until(lock, deadline, interrupted)) return KORVANE_EVK_ERROR_STATE;
        return KORVANE_EVK_ERROR_TIMEOUT;
    }
    if (wake_.wait_until(lock, due, interrupted)) return KORVANE_EVK_ERROR_STATE;

    const size_t bytes = source_->format().imageBytes();
    auto* data = static_cast<uint8_t*>(std::malloc(bytes));
    if (data == nullptr) return KORVANE_EVK_ERROR_MEMORY;
    std::memcpy(data, frame_.samples.data() + nextImage_ * bytes, bytes);
    image.timestamp = frame_.timestamps[nextImage_];
    image.size = static_cast<uint32_t>(bytes);
    image.data = data;
    image.image_index = nextImage_;
    ++nextImage_;
    return KORVANE_EVK_OK;
}

int VirtualDevice::writeRegister(uint32_t reg, uint32_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    registers_[reg] = value;
    source_->registersChanged(registers_);
    return KORVANE_EVK_OK;
}

uint32_t VirtualDevice::readRegister(uint32_t reg) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = registers_.find(reg);
    return it == registers_.end() ? 0 : it->second;
}

}  // namespace Korvane::Evk
