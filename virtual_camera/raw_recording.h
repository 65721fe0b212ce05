// Raw recordings: captured images with their timestamps, for playback by the virtual
// adapter. File layout (all integers little-endian):
//
//   offset  size  field
//        0     8  magic "KVRAWREC"
//        8     4  version, 1
//       12     4  width (pixels)
//       16     4  height
//       20     4  bit width (1 to 16 significant bits per sample)
//       24     4  bytes per sample (1, or 2 for 16-bit little-endian words)
//       28     4  images per frame
//       32     4  frame count (at least 1)
//       36     4  reserved, 0
//       40        frame count x images per frame image records, frame by frame:
//                   8 bytes timestamp (milliseconds), then
//                   width x height x bytes per sample bytes of samples, row-major
//
// The file must end exactly after the last image record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace Korvane::Evk {

struct RecordingFormat {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitWidth = 0;
    uint32_t bytesPerSample = 0;
    uint32_t imagesPerFrame = 0;

    size_t imageBytes() const { return static_cast<size_t>(width) * height * bytesPerSample; }
    // Empty when the format is valid, else why it is not.
    std::string check() const;
};

class RawRecordingWriter {
public:
    // Check ok() after construction; error() says what failed.
    RawRecordingWriter(const std::string& path, const RecordingFormat& format);
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Appends one image of format.imageBytes() bytes.
    bool addImage(uint64_t timestamp, const uint8_t* samples);
    // Writes the frame count; false when images do not make up whole frames or the file
    // could not be written.
    bool finish();

private:
    bool fail(const std::string& message);

    std::ofstream file_;
    RecordingFormat format_;
    uint64_t images_ = 0;
    std::string error_;
};

class RawRecordingReader {
public:
    // Opens and checks the file: header, and a size that matches it exactly.
    bool open(const std::string& path, std::string& error);

    const RecordingFormat& format() const { return format_; }
    uint32_t frameCount() const { return frameCount_; }
    uint64_t timestamp(uint32_t frame, uint32_t image) const {
        return timestamps_[static_cast<size_t>(frame) * format_.imagesPerFrame + image];
    }
    // Reads the samples of every image of `frame` into `out` (images back to back).
    bool readFrame(uint32_t frame, uint8_t* out);

private:
    std::ifstream file_;
    RecordingFormat format_;
    uint32_t frameCount_ = 0;
    std::vector<uint64_t> timestamps_;
};

}  // namespace Korvane::Evk
