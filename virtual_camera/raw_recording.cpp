#include "raw_recording.h"

#include <array>
#include <cstring>
#include <limits>

namespace Korvane::Evk {

namespace {

constexpr char kMagic[8] = {'K', 'V', 'R', 'A', 'W', 'R', 'E', 'C'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderBytes = 40;
constexpr size_t kFrameCountOffset = 32;
constexpr uint32_t kMaxSide = 16384;
constexpr uint32_t kMaxImagesPerFrame = 64;

void putU32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t getU32(const uint8_t* in) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(in[i]) << (8 * i);
    return value;
}

void putU64(uint8_t* out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t getU64(const uint8_t* in) {
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= static_cast<uint64_t>(in[i]) << (8 * i);
    return value;
}

}  // namespace

std::string RecordingFormat::check() const {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        return "image size " + std::to_string(width) + "x" + std::to_string(height) + " out of range";
    }
    if (bytesPerSample != 1 && bytesPerSample != 2) {
        return "bytes per sample " + std::to_string(bytesPerSample) + " is neither 1 nor 2";
    }
    if (bitWidth == 0 || bitWidth > 8 * bytesPerSample) {
        return "bit width " + std::to_string(bitWidth) + " does not fit " + std::to_string(bytesPerSample) +
               " bytes per sample";
    }
    if (imagesPerFrame == 0 || imagesPerFrame > kMaxImagesPerFrame) {
        return "images per frame " + std::to_string(imagesPerFrame) + " out of range";
    }
    return {};
}

RawRecordingWriter::RawRecordingWriter(const std::string& path, const RecordingFormat& format)
    : file_(path, std::ios::binary | std::ios::trunc), format_(format) {
    if (!file_) {
        fail("cannot write " + path);
        return;
    }
    const std::string problem = format.check();
    if (!problem.empty()) {
        fail(problem);
        return;
    }
    std::array<uint8_t, kHeaderBytes> header{};
    std::memcpy(header.data(), kMagic, sizeof kMagic);
    putU32(&header[8], kVersion);
    putU32(&header[12], format.width);
    putU32(&header[16], format.height);
    putU32(&header[20], format.bitWidth);
    putU32(&header[24], format.bytesPerSample);
    putU32(&header[28], format.imagesPerFrame);
    file_.write(reinterpret_cast<const char*>(header.data()), header.size());
    if (!file_) fail("cannot write the header");
}

bool RawRecordingWriter::fail(const std::string& message) {
    if (error_.empty()) error_ = message;
    return false;
}

bool RawRecordingWriter::addImage(uint64_t timestamp, const uint8_t* samples) {
    if (!ok()) return false;
    uint8_t stamp[8];
    putU64(stamp, timestamp);
    file_.write(reinterpret_cast<const char*>(stamp), sizeof stamp);
    file_.write(reinterpret_cast<const char*>(samples), static_cast<std::streamsize>(format_.imageBytes()));
    if (!file_) return fail("cannot write an image");
    ++images_;
    return true;
}

bool RawRecordingWriter::finish() {
    if (!ok()) return false;
    const uint64_t frames = images_ / format_.imagesPerFrame;
    if (frames == 0 || images_ % format_.imagesPerFrame != 0 || frames > std::numeric_limits<uint32_t>::max()) {
        return fail(std::to_string(images_) + " images do not make up whole frames");
    }
    uint8_t count[4];
    putU32(count, static_cast<uint32_t>(frames));
    file_.seekp(kFrameCountOffset);
    file_.write(reinterpret_cast<const char*>(count), sizeof count);
    file_.close();
    if (!file_) return fail("cannot write the frame count");
    return true;
}

bool RawRecordingReader::open(const std::string& path, std::string& error) {
    file_.open(path, std::ios::binary);
    if (!file_) {
        error = "cannot open recording " + path;
        return false;
    }
    std::array<uint8_t, kHeaderBytes> header{};
    file_.read(reinterpret_cast<char*>(header.data()), header.size());
    if (file_.gcount() != static_cast<std::streamsize>(header.size()) ||
        std::memcmp(header.data(), kMagic, sizeof kMagic) != 0) {
        error = "recording " + path + " has no valid header";
        return false;
    }
    if (getU32(&header[8]) != kVersion) {
        error = "recording " + path + " has unsupported version " + std::to_string(getU32(&header[8]));
        return false;
    }
    format_.width = getU32(&header[12]);
    format_.height = getU32(&header[16]);
    format_.bitWidth = getU32(&header[20]);
    format_.bytesPerSample = getU32(&header[24]);
    format_.imagesPerFrame = getU32(&header[28]);
    frameCount_ = getU32(&header[32]);
    const std::string problem = format_.check();
    if (!problem.empty() || frameCount_ == 0) {
        error = "recording " + path + ": " + (problem.empty() ? std::string("no frames") : problem);
        return false;
    }

    // Bounded above by the format limits, so the products cannot overflow 64 bits.
    const uint64_t recordBytes = 8 + static_cast<uint64_t>(format_.imageBytes());
    const uint64_t expected = kHeaderBytes + static_cast<uint64_t>(frameCount_) * format_.imagesPerFrame * recordBytes;
    file_.seekg(0, std::ios::end);
    const uint64_t actual = static_cast<uint64_t>(file_.tellg());
    if (actual != expected) {
        error = "recording " + path + " is " + std::to_string(actual) + " bytes, its header promises " +
                std::to_string(expected) + (actual < expected ? " (truncated)" : "");
        return false;
    }

    const uint64_t images = static_cast<uint64_t>(frameCount_) * format_.imagesPerFrame;
    timestamps_.resize(images);
    for (uint64_t i = 0; i < images; ++i) {
        uint8_t stamp[8];
        file_.seekg(static_cast<std::streamoff>(kHeaderBytes + i * recordBytes));
        file_.read(reinterpret_cast<char*>(stamp), sizeof stamp);
        if (!file_) {
            error = "cannot read recording " + path;
            return false;
        }
        timestamps_[i] = getU64(stamp);
    }
    return true;
}

bool RawRecordingReader::readFrame(uint32_t frame, uint8_t* out) {
    const uint64_t recordBytes = 8 + static_cast<uint64_t>(format_.imageBytes());
    for (uint32_t image = 0; image < format_.imagesPerFrame; ++image) {
        const uint64_t index = static_cast<uint64_t>(frame) * format_.imagesPerFrame + image;
        file_.seekg(static_cast<std::streamoff>(kHeaderBytes + index * recordBytes + 8));
        file_.read(reinterpret_cast<char*>(out + image * format_.imageBytes()),
                   static_cast<std::streamsize>(format_.imageBytes()));
        if (!file_) return false;
    }
    return true;
}

}  // namespace Korvane::Evk
