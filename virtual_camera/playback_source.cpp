#include "playback_source.h"

#include <cmath>

namespace Korvane::Evk {

std::unique_ptr<PlaybackSource> PlaybackSource::open(const VirtualDeviceConfig& config, std::string& error) {
    std::unique_ptr<PlaybackSource> source(new PlaybackSource());
    if (!source->reader_.open(config.recordingPath, error)) return nullptr;
    const RecordingFormat& recorded = source->reader_.format();
    if (recorded.width != config.width || recorded.height != config.height || recorded.bitWidth != config.bitWidth) {
        error = "recording " + config.recordingPath + " holds " + std::to_string(recorded.width) + "x" +
                std::to_string(recorded.height) + " images of " + std::to_string(recorded.bitWidth) +
                " bits, the configuration describes " + std::to_string(config.width) + "x" +
                std::to_string(config.height) + " of " + std::to_string(config.bitWidth) + " bits";
        return nullptr;
    }
    SourceFormat& format = source->format_;
    format.width = recorded.width;
    format.height = recorded.height;
    format.bitWidth = recorded.bitWidth;
    format.bytesPerSample = recorded.bytesPerSample;
    format.imagesPerFrame = recorded.imagesPerFrame;
    format.frameRate = config.frameRate;
    source->loop_ = config.loop;
    const uint64_t lastFrame = source->reader_.frameCount() - 1;
    source->passMs_ = source->sinceStart(source->reader_.timestamp(static_cast<uint32_t>(lastFrame), 0), 0) +
                      static_cast<uint64_t>(std::llround(1000.0 / config.frameRate));
    return source;
}

uint64_t PlaybackSource::sinceStart(uint64_t timestamp, uint64_t pass) const {
    // A recording whose clock steps back plays that image at once rather than never.
    const uint64_t first = reader_.timestamp(0, 0);
    return (timestamp > first ? timestamp - first : 0) + pass * passMs_;
}

std::optional<uint64_t> PlaybackSource::frameDue(uint64_t index) const {
    const uint64_t count = reader_.frameCount();
    if (!loop_ && index >= count) return std::nullopt;
    return sinceStart(reader_.timestamp(static_cast<uint32_t>(index % count), 0), index / count);
}

bool PlaybackSource::load(uint64_t index, SourceFrame& frame) {
    const uint64_t count = reader_.frameCount();
    const auto recorded = static_cast<uint32_t>(index % count);
    const uint64_t pass = index / count;
    frame.samples.resize(format_.imageBytes() * format_.imagesPerFrame);
    if (!reader_.readFrame(recorded, frame.samples.data())) return false;
    frame.timestamps.resize(format_.imagesPerFrame);
    frame.dueMs.resize(format_.imagesPerFrame);
    for (uint32_t k = 0; k < format_.imagesPerFrame; ++k) {
        const uint64_t timestamp = reader_.timestamp(recorded, k);
        frame.timestamps[k] = timestamp + pass * passMs_;
        frame.dueMs[k] = sinceStart(timestamp, pass);
    }
    return true;
}

}  // namespace Korvane::Evk
