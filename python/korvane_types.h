// Enumerations and small records shared by the camera, its transports, its device
// models and the Python binding. All enumerations are 32-bit; their numeric values are
// part of the public interface.
#pragma once

#include <cstdint>

namespace Korvane {

enum Connection : int32_t { CSI = 0, USB = 1 };

enum DeviceType : int32_t { VGA = 0, HQVGA = 1 };

enum FrameType : int32_t {
    RAW = 0,
    CONFIDENCE = 1,
    DEPTH = 2,
    AMPLITUDE = 3,  // internal: not published to Python
    CACHE = 4,
};

enum CameraCtrl : int32_t {
    RANGE = 0,
    FMT_WIDTH = 1,
    FMT_HEIGHT = 2,
    MODE = 3,
    FRAME_MODE = 4,
    EXPOSURE = 5,
    FRAME_RATE = 6,
    SKIP_FRAME = 7,
    SKIP_FRAME_LOOP = 8,
    AUTO_FRAME_RATE = 9,  // internal: not published to Python
    CONFIG_DIR_EXT = 256,
};

enum TofWorkMode : int32_t {
    SINGLE_FREQ = 0,
    DOUBLE_FREQ = 1,
    TRIPLE_FREQ = 2,
    QUAD_FREQ = 3,
    DISTANCE = 4,
    HDR = 5,
    AE = 6,
    BG_OUTDOOR = 7,
    GRAY_ONLY = 8,
    CUSTOM1 = 9,
    CUSTOM2 = 10,
    CUSTOM3 = 11,
};

// Scoped: several enumerator names repeat those of TofWorkMode.
enum class TofFrameWorkMode : int32_t {
    SINGLE_FREQ_2PHASE = 0,
    SINGLE_FREQ_4PHASE = 1,
    SINGLE_FREQ_4PHASE_GRAY = 2,
    SINGLE_FREQ_4PHASE_BG = 3,
    SINGLE_FREQ_4PHASE_4BG = 4,
    SINGLE_FREQ_4PHASE_GRAY_5BG = 5,
    SINGLE_FREQ_GRAY_BG_4PHASE_GRAY_BG = 6,
    SINGLE_FREQ_GRAY_BG_4PHASE_BG = 7,
    SINGLE_FREQ_BG_GRAY_BG_4PHASE = 8,
    SINGLE_FREQ_BG_4PHASE_BG_GRAY = 9,
    DOUBLE_FREQ_4PHASE = 10,
    DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG = 11,
    DOUBLE_FREQ_4PHASE_4BG = 12,
    DOUBLE_FREQ_4PHASE_GRAY_5BG = 13,
    TRIPLE_FREQ_4PHASE = 14,
    TRIPLE_FREQ_4PHASE_GRAY_4PHASE_GRAY_4PHASE_BG = 15,
    QUAD_FREQ_4PHASE = 16,
    QUAD_FREQ_4PHASE_GRAY_4PHASE_BG_4PHASE_GRAY_4PHASE_BG = 17,
    BG_OUTDOOR = 18,
    GRAY_ONLY = 19,
    CUSTOM = 20,
};

// Result codes. Operations return plain int; transports and device models may pass
// other values through unchanged.
enum TofErrorCode : int32_t {
    KorvaneSuccess = 0,
    KorvaneInvalidParameter = 1,
    KorvaneNoCache = 2,
    KorvaneUnkownDevice = 3,
    KorvaneNotImplemented = 4,
    KorvaneSkipFrame = 240,
    KorvaneSystemError = -2,
    KorvaneUnkownError = -1,
};

// Text of a result code; any value outside the table reads "Unknown error".
const char* to_str(TofErrorCode code);

struct CameraInfo {
    int32_t index;        // device index given to open
    Connection connect;
    DeviceType device_type;
    FrameType frame_type;  // chosen at start
    int32_t width;         // pixels of one sensor image
    int32_t height;
    int32_t bit_width;     // bits per sample
    int32_t bpp;           // bytes per sample
};

struct FrameGeometry {
    int32_t width;
    int32_t height;
};

enum PlatformType : int32_t {
    PLATFORM_UNKNOWN = 0,
    PLATFORM_JETSON_NANO = 2,
    PLATFORM_JETSON = 3,
    PLATFORM_RASPBERRY_PI = 5,
    PLATFORM_RASPBERRY_PI5 = 6,
    PLATFORM_ROCK = 7,
};

// Transports treat values 2 to 4 as the Jetson family.
inline bool isJetsonFamily(PlatformType platform) {
    return platform >= PLATFORM_JETSON_NANO && platform <= 4;
}

}  // namespace Korvane
