// Configuration files and recordings for tests of the virtual USB adapter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raw_recording.h"
#include "temp_dir.h"

namespace Korvane::testing {

// A simulated four-phase sensor looking at a wall `wallMm` away and a sphere in front of
// it; `extra` lines are appended to [virtual device].
inline std::string simulatedConfigText(int frameRate = 30, const std::string& extra = "", int bitWidth = 12,
                                       int wallMm = 1200) {
    return "[camera parameter]\n"
           "TYPE = test sensor\n"
           "SIZE = 240, 180\n"
           "BIT_WIDTH = " + std::to_string(bitWidth) + "\n"
           "[virtual device]\n"
           "KIND = SIMULATED_HQVGA\n"
           "FRAME_RATE = " + std::to_string(frameRate) + "\n"
           "SEED = 42\n"
           "PLANE = 0, 0, 1, " + std::to_string(wallMm) + ", 0.8\n"
           "SPHERE = 100, 0, 800, 150, 0.9\n" + extra;
}

inline std::string playbackConfigText(const std::string& recording, uint32_t width, uint32_t height, uint32_t bitWidth,
                                      bool loop, int frameRate = 30) {
    return "[camera parameter]\n"
           "SIZE = " + std::to_string(width) + ", " + std::to_string(height) + "\n"
           "BIT_WIDTH = " + std::to_string(bitWidth) + "\n"
           "[virtual device]\n"
           "KIND = PLAYBACK\n"
           "FILE = " + recording + "\n"
           "LOOP = " + (loop ? "1" : "0") + "\n"
           "FRAME_RATE = " + std::to_string(frameRate) + "\n";
}

struct RecordedImage {
    uint64_t timestamp;
    std::vector<uint8_t> samples;
};

// Writes `images` (whole frames of format.imagesPerFrame images) as a recording.
inline bool writeRecording(const std::string& path, const Evk::RecordingFormat& format,
                           const std::vector<RecordedImage>& images) {
    Evk::RawRecordingWriter writer(path, format);
    for (const RecordedImage& image : images) writer.addImage(image.timestamp, image.samples.data());
    return writer.finish();
}

}  // namespace Korvane::testing
