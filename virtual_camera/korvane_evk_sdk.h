/* libkorvane_evk_sdk: the USB evaluation-kit adapter SDK, here a virtual adapter that
 * serves simulated sensors and recorded raw data on any machine.
 *
 * Calling order: KorvaneDefaultParam -> KorvaneOpenCamera -> KorvaneInitCamera ->
 * KorvaneGetCameraConfig -> KorvaneStartCamera -> KorvaneCaptureImage / KorvaneFreeImage
 * ... -> KorvaneStopCamera -> (start again) -> KorvaneCloseCamera.
 *
 * Every call returns KORVANE_EVK_OK (0) or one of the negative KORVANE_EVK_* codes below
 * and prints the reason of a failure on standard error. One handle may be used from two
 * threads: one capturing, the other writing registers or stopping. */
#ifndef KORVANE_EVK_SDK_H
#define KORVANE_EVK_SDK_H

#include <stdint.h>

#if defined(__GNUC__)
#define KORVANE_EVK_API __attribute__((visibility("default")))
#else
#define KORVANE_EVK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum KorvaneEvkResult {
    KORVANE_EVK_OK = 0,
    KORVANE_EVK_ERROR_ARGUMENT = -1,    /* null pointer or invalid argument */
    KORVANE_EVK_ERROR_CONFIG = -2,      /* configuration file missing, malformed or unsupported */
    KORVANE_EVK_ERROR_DEVICE_KIND = -3, /* unknown virtual device kind */
    KORVANE_EVK_ERROR_RECORDING = -4,   /* recording missing, truncated or not matching the configuration */
    KORVANE_EVK_ERROR_STATE = -5,       /* call out of order (for example capture while stopped) */
    KORVANE_EVK_ERROR_TIMEOUT = -6,     /* no image within the time-out */
    KORVANE_EVK_END_OF_STREAM = -7,     /* a recording played without looping has ended */
    KORVANE_EVK_ERROR_MEMORY = -8,
};

typedef struct KorvaneEvkCamera* KorvaneCameraHandle;

typedef struct KorvaneOpenParam {
    /* Camera configuration file (NUL-terminated path), or NULL for the default virtual
     * device: a simulated 240 x 180 four-phase sensor at 30 frames per second with
     * 12-bit samples, seed 1, looking at the built-in scene (the one of
     * virtual_camera/configs/simulated_hqvga.cfg). */
    const char* config_file;
    /* Non-zero: config_file is a binary configuration. The virtual adapter reads text
     * configurations only and refuses binary ones. */
    uint8_t binary_config;
} KorvaneOpenParam;

/* What the device delivers. */
typedef struct KorvaneCameraConfig {
    uint32_t width;            /* pixels of one image */
    uint32_t height;
    uint8_t bit_width;         /* significant bits per sample */
    uint8_t bytes_per_sample;  /* 1, or 2 (little-endian) */
    uint32_t images_per_frame; /* images that make up one frame (4 for the four-phase sensor) */
    double frame_rate;         /* frames per second */
    char type[50];             /* sensor type named by the configuration (NUL-terminated) */
} KorvaneCameraConfig;

/* One captured image. Owned by the caller until handed back to KorvaneFreeImage. */
typedef struct KorvaneImage {
    uint64_t timestamp;        /* milliseconds on the device clock (0 = when it was opened) */
    uint32_t size;             /* bytes at data */
    uint8_t* data;             /* width x height samples, row-major */
    uint32_t image_index;      /* position within its frame, 0 to images_per_frame - 1 */
} KorvaneImage;

KORVANE_EVK_API int KorvaneDefaultParam(KorvaneOpenParam* param);
/* Reads the configuration and prepares the device (for a recording: opens and checks it). */
KORVANE_EVK_API int KorvaneOpenCamera(KorvaneCameraHandle* handle, const KorvaneOpenParam* param);
/* Writes the configuration's register entries (REG = address, value) to the sensor. */
KORVANE_EVK_API int KorvaneInitCamera(KorvaneCameraHandle handle);
KORVANE_EVK_API int KorvaneGetCameraConfig(KorvaneCameraHandle handle, KorvaneCameraConfig* config);
/* Starts streaming. A recording plays from its first frame at each start. */
KORVANE_EVK_API int KorvaneStartCamera(KorvaneCameraHandle handle);
/* Waits up to timeout_ms for the next image. Images arrive paced at the frame rate; a
 * caller more than 8 frames behind loses the oldest whole frames. */
KORVANE_EVK_API int KorvaneCaptureImage(KorvaneCameraHandle handle, KorvaneImage* image, uint32_t timeout_ms);
KORVANE_EVK_API int KorvaneFreeImage(KorvaneCameraHandle handle, KorvaneImage image);
KORVANE_EVK_API int KorvaneStopCamera(KorvaneCameraHandle handle);
/* Stops streaming if needed and releases the handle. */
KORVANE_EVK_API int KorvaneCloseCamera(KorvaneCameraHandle handle);
/* Writes a 16-bit sensor register. The simulated four-phase sensor modulates at 75 MHz
 * once 0x216c, 0x2179, 0x217a, 0x217b hold 0x08, 0x0a, 0x0e, 0x12, and at 37.5 MHz (its
 * reset state) once they hold 0x10, 0x0e, 0x16, 0x1e; the change applies from the next
 * frame. */
KORVANE_EVK_API int KorvaneWriteSensorReg(KorvaneCameraHandle handle, uint32_t reg, uint32_t value);
KORVANE_EVK_API int KorvaneReadSensorReg(KorvaneCameraHandle handle, uint32_t reg, uint32_t* value);

#ifdef __cplusplus
}
#endif

#endif /* KORVANE_EVK_SDK_H */
