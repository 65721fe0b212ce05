// Small types shared by the correction and post-processing libraries: booleans, points,
// rectangles, the cost-time stopwatch record and the per-pixel flag byte.
#pragma once

#include <cstdint>

// Unsigned 8-bit boolean: 1 is true; every test is "== 1", so any other value is false.
typedef uint8_t BBOOL;

typedef struct Coordinate2D_Short16 {
    int16_t sX;
    int16_t sY;
} COOR2D16S;

typedef struct Coordinate2D_Float32 {
    float fX;
    float fY;
} COOR2D32F;

// Left, top, right, bottom; all four inclusive.
typedef struct Rect_Short16 {
    int16_t sXL;
    int16_t sYT;
    int16_t sXR;
    int16_t sYB;
} RECT16S;

// Wall-clock stopwatch from the time of day; milliseconds are
// ((sec difference) * 1000000 + (usec difference)) / 1000.
typedef struct CalcCostTime {
    int64_t iFrequency;
    int64_t iBeginTimeUSec;
    int64_t iBeginTimeSec;
    int64_t iEndTimeUSec;
    int64_t iEndTimeSec;
} COSTTIME;

// One byte of per-pixel flags, bit 0 first.
typedef union FlagPixel {
    uint8_t ucFlagValue;
    struct {
        uint8_t ucIsPhSubLow31 : 1;     // disturbed by motion between phase sub-frames
        uint8_t ucIsSaturation : 1;     // gray departs from its zero level beyond the contrast limit
        uint8_t ucIsMask : 1;           // inside the calibrated mask
        uint8_t ucIsCorrNegative : 1;   // low bit of the periods added to a negative corrected depth
        uint8_t ucIsFusionExpand : 1;   // high bit of that count
        uint8_t ucIsFusionFail : 1;     // fusion found no consistent unwrapping
        uint8_t ucIsFlyPixel : 1;       // flying pixel
        uint8_t ucIsDepthAbnormal : 1;  // depth judged abnormal
    } stBits;
} FLAG_PIXEL;

static_assert(sizeof(FLAG_PIXEL) == 1, "FLAG_PIXEL is one byte per pixel");
