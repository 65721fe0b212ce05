// A raw recording as an image source: frames paced by their recorded timestamps. Played
// without looping, the stream ends after the last frame; looping, the recording starts
// again one frame period (1 / FRAME_RATE) after its last frame, and the timestamps of
// every later pass are shifted by the length of one pass, so they keep advancing.
#pragma once

#include <memory>

#include "image_source.h"
#include "raw_recording.h"
#include "virtual_device_config.h"

namespace Korvane::Evk {

class PlaybackSource final : public ImageSource {
public:
    // Opens the recording; on failure returns null and says why in `error`.
    static std::unique_ptr<PlaybackSource> open(const VirtualDeviceConfig& config, std::string& error);

    const SourceFormat& format() const override { return format_; }
    void restart(uint64_t) override {}
    std::optional<uint64_t> frameDue(uint64_t index) const override;
    bool load(uint64_t index, SourceFrame& frame) override;

private:
    PlaybackSource() = default;
    // Milliseconds after the first image of the recording, for pass `pass`.
    uint64_t sinceStart(uint64_t timestamp, uint64_t pass) const;

    RawRecordingReader reader_;
    SourceFormat format_;
    bool loop_ = false;
    uint64_t passMs_ = 0;  // length of one pass, including the gap before the next
};

}  // namespace Korvane::Evk
