// korvane_evk_record: records frames from an adapter SDK camera into a raw recording.
//
//   korvane_evk_record <configuration file | -> <frames> <output.kvr>
//
// "-" records the default virtual device.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "korvane_evk_sdk.h"
#include "raw_recording.h"

namespace {

constexpr uint32_t kCaptureTimeoutMs = 2000;

// Closes the camera however recording ends.
struct CameraHandle {
    KorvaneCameraHandle handle = nullptr;
    ~CameraHandle() {
        if (handle != nullptr) KorvaneCloseCamera(handle);
    }
};

int record(const char* configPath, long frames, const char* outputPath) {
    KorvaneOpenParam param;
    KorvaneDefaultParam(&param);
    if (std::string(configPath) != "-") param.config_file = configPath;
    CameraHandle camera;
    if (KorvaneOpenCamera(&camera.handle, &param) != KORVANE_EVK_OK || KorvaneInitCamera(camera.handle) != KORVANE_EVK_OK) {
        return 1;
    }
    KorvaneCameraConfig config{};
    KorvaneGetCameraConfig(camera.handle, &config);
    Korvane::Evk::RecordingFormat format;
    format.width = config.width;
    format.height = config.height;
    format.bitWidth = config.bit_width;
    format.bytesPerSample = config.bytes_per_sample;
    format.imagesPerFrame = config.images_per_frame;
    Korvane::Evk::RawRecordingWriter writer(outputPath, format);
    if (!writer.ok()) {
        std::fprintf(stderr, "korvane_evk_record: %s\n", writer.error().c_str());
        return 1;
    }
    if (KorvaneStartCamera(camera.handle) != KORVANE_EVK_OK) return 1;
    // Images are collected per frame and written once the frame is complete, so a frame
    // that lost images is left out rather than recorded torn.
    std::vector<uint8_t> frame(format.imageBytes() * config.images_per_frame);
    std::vector<uint64_t> timestamps(config.images_per_frame);
    uint32_t collected = 0;
    for (long written = 0; written < frames;) {
        KorvaneImage image{};
        const int result = KorvaneCaptureImage(camera.handle, &image, kCaptureTimeoutMs);
        if (result != KORVANE_EVK_OK) {
            std::fprintf(stderr, "korvane_evk_record: capture failed (%d) after %ld frames\n", result, written);
            return 1;
        }
        if (image.size != format.imageBytes()) {
            std::fprintf(stderr, "korvane_evk_record: image of %u bytes, expected %zu\n", image.size, format.imageBytes());
            KorvaneFreeImage(camera.handle, image);
            return 1;
        }
        if (image.image_index != collected) collected = 0;
        if (image.image_index == collected) {
            std::memcpy(frame.data() + collected * format.imageBytes(), image.data, image.size);
            timestamps[collected++] = image.timestamp;
        }
        KorvaneFreeImage(camera.handle, image);
        if (collected == config.images_per_frame) {
            for (uint32_t k = 0; k < collected; ++k) writer.addImage(timestamps[k], frame.data() + k * format.imageBytes());
            collected = 0;
            ++written;
        }
    }
    KorvaneStopCamera(camera.handle);
    if (!writer.finish()) {
        std::fprintf(stderr, "korvane_evk_record: %s\n", writer.error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: korvane_evk_record <configuration file | -> <frames> <output.kvr>\n");
        return 2;
    }
    char* end = nullptr;
    const long frames = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || frames < 1 || frames > 100000) {
        std::fprintf(stderr, "korvane_evk_record: frames must be 1 to 100000\n");
        return 2;
    }
    return record(argv[1], frames, argv[3]);
}
