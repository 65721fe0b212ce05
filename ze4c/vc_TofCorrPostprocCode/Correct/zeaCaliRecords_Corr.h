// The calibration blob: its versions, the module record slots, the calibration-load flags
// of each module and the in-memory form of every record after parsing.
//
// The blob is little-endian and packed; floats are IEEE-754 single precision. A blob holds
// a common header followed by module records; the header lists each record's offset and
// valid flag in a slot table whose order depends on the version and the number F of
// calibrated frequencies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vc_TofCorrPostprocCode/Common/zeaCommon_Types.h"

namespace NAMESPACE_CORR {

enum CALI_PARAS_VERSION : int32_t {
    CALI_PARAS_UNKNOWN = 0,
    CALI_PARAS_V3 = 1,
    CALI_PARAS_V3_1 = 2,
};

// Version texts at byte 4 of the blob, tested in this order: the first two mean V3.1.
inline constexpr char CALI_VERSION_TEXT_V3P1_LONG[] = "CALI0300 V";  // 10 bytes
inline constexpr char CALI_VERSION_TEXT_V3P1[] = "CALI0301";          // 8 bytes
inline constexpr char CALI_VERSION_TEXT_V3[] = "CALI0300";            // 8 bytes

inline constexpr int CALI_MAX_FREQS = 4;

// Geometry and read-out status of the sensor at calibration.
typedef struct Global_CaliSensorStatus {
    uint16_t usCaliWidth;
    uint16_t usCaliHeight;
    uint16_t usCaliMaxFreq;  // integer part of the header's maximum frequency, MHz
    uint16_t usCaliPixelRawResoWidth;
    uint16_t usCaliPixelRawResoHeight;
    uint16_t usCaliPixelRoiStartX;
    uint16_t usCaliPixelRoiStartY;
    uint8_t ucCaliFlipMode;
    int32_t eCaliBinningMode;  // CORR_PIXEL_BINNING_MODE
    uint8_t ucCaliPixelLowResoStepX;
    uint8_t ucCaliPixelLowResoStepY;
    int32_t eCaliPhaseMode;  // CORR_PIXEL_PHASE_MODE
} GLB_CALI_SENSOR_STATUS;

// ---------------------------------------------------------------------------------------
// Module record slots
// ---------------------------------------------------------------------------------------

// The kinds of module record; not every version carries every kind.
enum CALI_MODULE : int32_t {
    CALI_MODULE_BP = 0,
    CALI_MODULE_MASK,
    CALI_MODULE_FPN,
    CALI_MODULE_LEN,
    CALI_MODULE_T,
    CALI_MODULE_OFS,
    CALI_MODULE_FPPN,
    CALI_MODULE_WIG,
    CALI_MODULE_REG,
    CALI_MODULE_LUMA,
    CALI_MODULE_PHASE_FPPN,
    CALI_MODULE_AE,  // V3 only; not read
};

// Slot of a module's record in the V3.1 slot table for F frequencies; per-frequency
// modules (T, OFS, WIG) take the calibration frequency index k. -1: no such record.
constexpr int CPD3P1_GetCaliParasSlot(int iFreqs, CALI_MODULE eModule, int k = 0) {
    switch (eModule) {
        case CALI_MODULE_BP: return 0;
        case CALI_MODULE_MASK: return 1;
        case CALI_MODULE_FPN: return 2;
        case CALI_MODULE_LEN: return 3;
        case CALI_MODULE_T: return 4 + k;
        case CALI_MODULE_OFS: return 4 + iFreqs + k;
        case CALI_MODULE_FPPN: return 4 + 2 * iFreqs;
        case CALI_MODULE_WIG: return 5 + 2 * iFreqs + k;
        case CALI_MODULE_REG: return 5 + 3 * iFreqs;
        case CALI_MODULE_LUMA: return 6 + 3 * iFreqs;
        case CALI_MODULE_PHASE_FPPN: return 7 + 3 * iFreqs;
        default: return -1;
    }
}
constexpr int CPD3P1_GetCaliParasSlotCount(int iFreqs) { return 8 + 3 * iFreqs; }

// The same for V3, which has no MASK, LUMA or PHASE_FPPN record and an unread AE record.
constexpr int CPD3_GetCaliParasSlot(int iFreqs, CALI_MODULE eModule, int k = 0) {
    switch (eModule) {
        case CALI_MODULE_BP: return 0;
        case CALI_MODULE_LEN: return 1;
        case CALI_MODULE_T: return 2 + k;
        case CALI_MODULE_OFS: return 2 + iFreqs + k;
        case CALI_MODULE_FPPN: return 2 + 2 * iFreqs;
        case CALI_MODULE_WIG: return 3 + 2 * iFreqs + k;
        case CALI_MODULE_FPN: return 3 + 3 * iFreqs;
        case CALI_MODULE_AE: return 4 + 3 * iFreqs;
        case CALI_MODULE_REG: return 5 + 3 * iFreqs;
        default: return -1;
    }
}
constexpr int CPD3_GetCaliParasSlotCount(int iFreqs) { return 6 + 3 * iFreqs; }

// The slot tables by name, V3.1.
enum CPD3P1_CALIPARAS_TYPE_1FREQ : int32_t {
    CPD3P1_CALIPARAS_TYPE_1F_BP = 0, CPD3P1_CALIPARAS_TYPE_1F_MASK, CPD3P1_CALIPARAS_TYPE_1F_FPN,
    CPD3P1_CALIPARAS_TYPE_1F_LEN, CPD3P1_CALIPARAS_TYPE_1F_T_F1, CPD3P1_CALIPARAS_TYPE_1F_OFS_F1,
    CPD3P1_CALIPARAS_TYPE_1F_FPPN, CPD3P1_CALIPARAS_TYPE_1F_WIG_F1, CPD3P1_CALIPARAS_TYPE_1F_REG,
    CPD3P1_CALIPARAS_TYPE_1F_LUMA, CPD3P1_CALIPARAS_TYPE_1F_PHASE_FPPN, CPD3P1_CALIPARAS_TYPE_1F_END,
};
enum CPD3P1_CALIPARAS_TYPE_2FREQ : int32_t {
    CPD3P1_CALIPARAS_TYPE_2F_BP = 0, CPD3P1_CALIPARAS_TYPE_2F_MASK, CPD3P1_CALIPARAS_TYPE_2F_FPN,
    CPD3P1_CALIPARAS_TYPE_2F_LEN, CPD3P1_CALIPARAS_TYPE_2F_T_F1, CPD3P1_CALIPARAS_TYPE_2F_T_F2,
    CPD3P1_CALIPARAS_TYPE_2F_OFS_F1, CPD3P1_CALIPARAS_TYPE_2F_OFS_F2, CPD3P1_CALIPARAS_TYPE_2F_FPPN,
    CPD3P1_CALIPARAS_TYPE_2F_WIG_F1, CPD3P1_CALIPARAS_TYPE_2F_WIG_F2, CPD3P1_CALIPARAS_TYPE_2F_REG,
    CPD3P1_CALIPARAS_TYPE_2F_LUMA, CPD3P1_CALIPARAS_TYPE_2F_PHASE_FPPN, CPD3P1_CALIPARAS_TYPE_2F_END,
};
enum CPD3P1_CALIPARAS_TYPE_3FREQ : int32_t {
    CPD3P1_CALIPARAS_TYPE_3F_BP = 0, CPD3P1_CALIPARAS_TYPE_3F_MASK, CPD3P1_CALIPARAS_TYPE_3F_FPN,
    CPD3P1_CALIPARAS_TYPE_3F_LEN, CPD3P1_CALIPARAS_TYPE_3F_T_F1, CPD3P1_CALIPARAS_TYPE_3F_T_F2,
    CPD3P1_CALIPARAS_TYPE_3F_T_F3, CPD3P1_CALIPARAS_TYPE_3F_OFS_F1, CPD3P1_CALIPARAS_TYPE_3F_OFS_F2,
    CPD3P1_CALIPARAS_TYPE_3F_OFS_F3, CPD3P1_CALIPARAS_TYPE_3F_FPPN, CPD3P1_CALIPARAS_TYPE_3F_WIG_F1,
    CPD3P1_CALIPARAS_TYPE_3F_WIG_F2, CPD3P1_CALIPARAS_TYPE_3F_WIG_F3, CPD3P1_CALIPARAS_TYPE_3F_REG,
    CPD3P1_CALIPARAS_TYPE_3F_LUMA, CPD3P1_CALIPARAS_TYPE_3F_PHASE_FPPN, CPD3P1_CALIPARAS_TYPE_3F_END,
};
enum CPD3P1_CALIPARAS_TYPE_4FREQ : int32_t {
    CPD3P1_CALIPARAS_TYPE_4F_BP = 0, CPD3P1_CALIPARAS_TYPE_4F_MASK, CPD3P1_CALIPARAS_TYPE_4F_FPN,
    CPD3P1_CALIPARAS_TYPE_4F_LEN, CPD3P1_CALIPARAS_TYPE_4F_T_F1, CPD3P1_CALIPARAS_TYPE_4F_T_F2,
    CPD3P1_CALIPARAS_TYPE_4F_T_F3, CPD3P1_CALIPARAS_TYPE_4F_T_F4, CPD3P1_CALIPARAS_TYPE_4F_OFS_F1,
    CPD3P1_CALIPARAS_TYPE_4F_OFS_F2, CPD3P1_CALIPARAS_TYPE_4F_OFS_F3, CPD3P1_CALIPARAS_TYPE_4F_OFS_F4,
    CPD3P1_CALIPARAS_TYPE_4F_FPPN, CPD3P1_CALIPARAS_TYPE_4F_WIG_F1, CPD3P1_CALIPARAS_TYPE_4F_WIG_F2,
    CPD3P1_CALIPARAS_TYPE_4F_WIG_F3, CPD3P1_CALIPARAS_TYPE_4F_WIG_F4, CPD3P1_CALIPARAS_TYPE_4F_REG,
    CPD3P1_CALIPARAS_TYPE_4F_LUMA, CPD3P1_CALIPARAS_TYPE_4F_PHASE_FPPN, CPD3P1_CALIPARAS_TYPE_4F_END,
};

// The slot tables by name, V3.
enum CPD3_CALIPARAS_TYPE_1FREQ : int32_t {
    CPD3_CALIPARAS_TYPE_1F_BP = 0, CPD3_CALIPARAS_TYPE_1F_LEN, CPD3_CALIPARAS_TYPE_1F_T_F1,
    CPD3_CALIPARAS_TYPE_1F_OFS_F1, CPD3_CALIPARAS_TYPE_1F_FPPN, CPD3_CALIPARAS_TYPE_1F_WIG_F1,
    CPD3_CALIPARAS_TYPE_1F_FPN, CPD3_CALIPARAS_TYPE_1F_AE, CPD3_CALIPARAS_TYPE_1F_REG,
    CPD3_CALIPARAS_TYPE_1F_END,
};
enum CPD3_CALIPARAS_TYPE_2FREQ : int32_t {
    CPD3_CALIPARAS_TYPE_2F_BP = 0, CPD3_CALIPARAS_TYPE_2F_LEN, CPD3_CALIPARAS_TYPE_2F_T_F1,
    CPD3_CALIPARAS_TYPE_2F_T_F2, CPD3_CALIPARAS_TYPE_2F_OFS_F1, CPD3_CALIPARAS_TYPE_2F_OFS_F2,
    CPD3_CALIPARAS_TYPE_2F_FPPN, CPD3_CALIPARAS_TYPE_2F_WIG_F1, CPD3_CALIPARAS_TYPE_2F_WIG_F2,
    CPD3_CALIPARAS_TYPE_2F_FPN, CPD3_CALIPARAS_TYPE_2F_AE, CPD3_CALIPARAS_TYPE_2F_REG,
    CPD3_CALIPARAS_TYPE_2F_END,
};
enum CPD3_CALIPARAS_TYPE_3FREQ : int32_t {
    CPD3_CALIPARAS_TYPE_3F_BP = 0, CPD3_CALIPARAS_TYPE_3F_LEN, CPD3_CALIPARAS_TYPE_3F_T_F1,
    CPD3_CALIPARAS_TYPE_3F_T_F2, CPD3_CALIPARAS_TYPE_3F_T_F3, CPD3_CALIPARAS_TYPE_3F_OFS_F1,
    CPD3_CALIPARAS_TYPE_3F_OFS_F2, CPD3_CALIPARAS_TYPE_3F_OFS_F3, CPD3_CALIPARAS_TYPE_3F_FPPN,
    CPD3_CALIPARAS_TYPE_3F_WIG_F1, CPD3_CALIPARAS_TYPE_3F_WIG_F2, CPD3_CALIPARAS_TYPE_3F_WIG_F3,
    CPD3_CALIPARAS_TYPE_3F_FPN, CPD3_CALIPARAS_TYPE_3F_AE, CPD3_CALIPARAS_TYPE_3F_REG,
    CPD3_CALIPARAS_TYPE_3F_END,
};
enum CPD3_CALIPARAS_TYPE_4FREQ : int32_t {
    CPD3_CALIPARAS_TYPE_4F_BP = 0, CPD3_CALIPARAS_TYPE_4F_LEN, CPD3_CALIPARAS_TYPE_4F_T_F1,
    CPD3_CALIPARAS_TYPE_4F_T_F2, CPD3_CALIPARAS_TYPE_4F_T_F3, CPD3_CALIPARAS_TYPE_4F_T_F4,
    CPD3_CALIPARAS_TYPE_4F_OFS_F1, CPD3_CALIPARAS_TYPE_4F_OFS_F2, CPD3_CALIPARAS_TYPE_4F_OFS_F3,
    CPD3_CALIPARAS_TYPE_4F_OFS_F4, CPD3_CALIPARAS_TYPE_4F_FPPN, CPD3_CALIPARAS_TYPE_4F_WIG_F1,
    CPD3_CALIPARAS_TYPE_4F_WIG_F2, CPD3_CALIPARAS_TYPE_4F_WIG_F3, CPD3_CALIPARAS_TYPE_4F_WIG_F4,
    CPD3_CALIPARAS_TYPE_4F_FPN, CPD3_CALIPARAS_TYPE_4F_AE, CPD3_CALIPARAS_TYPE_4F_REG,
    CPD3_CALIPARAS_TYPE_4F_END,
};

static_assert(CPD3P1_GetCaliParasSlot(2, CALI_MODULE_T, 0) == CPD3P1_CALIPARAS_TYPE_2F_T_F1);
static_assert(CPD3P1_GetCaliParasSlot(3, CALI_MODULE_WIG, 2) == CPD3P1_CALIPARAS_TYPE_3F_WIG_F3);
static_assert(CPD3P1_GetCaliParasSlot(4, CALI_MODULE_PHASE_FPPN) == CPD3P1_CALIPARAS_TYPE_4F_PHASE_FPPN);
static_assert(CPD3P1_GetCaliParasSlotCount(1) == CPD3P1_CALIPARAS_TYPE_1F_END);
static_assert(CPD3P1_GetCaliParasSlotCount(4) == CPD3P1_CALIPARAS_TYPE_4F_END);
static_assert(CPD3_GetCaliParasSlot(2, CALI_MODULE_OFS, 1) == CPD3_CALIPARAS_TYPE_2F_OFS_F2);
static_assert(CPD3_GetCaliParasSlot(3, CALI_MODULE_FPN) == CPD3_CALIPARAS_TYPE_3F_FPN);
static_assert(CPD3_GetCaliParasSlot(4, CALI_MODULE_REG) == CPD3_CALIPARAS_TYPE_4F_REG);
static_assert(CPD3_GetCaliParasSlotCount(1) == CPD3_CALIPARAS_TYPE_1F_END);
static_assert(CPD3_GetCaliParasSlotCount(4) == CPD3_CALIPARAS_TYPE_4F_END);

// ---------------------------------------------------------------------------------------
// Load results
// ---------------------------------------------------------------------------------------

// Why the blob as a whole could not be loaded (V3.1 and V3 share the values).
enum CPD3P1_CALIPARAS_SUCCESS_FLAG : uint32_t {
    CPD3P1_SUCCESS = 0,
    CPD3P1_FAIL_INVALID_CALIPARA_POINTER = 0x1,
    CPD3P1_FAIL_INVALID_INCALIPARA = 0x2,
    CPD3P1_FAIL_INVALID_CALI_MODID = 0x4,
    CPD3P1_FAIL_INVALID_CALI_FILELEN = 0x8,
    CPD3P1_FAIL_INVALID_CALI_FREQNUM = 0x10,
    CPD3P1_FAIL_INVALID_CALI_MODULENUM = 0x20,
    CPD3P1_FAIL_INVALID_CALI_FIRSTBYTEID = 0x40,
};
enum CPD3_CALIPARAS_SUCCESS_FLAG : uint32_t {
    CPD3_SUCCESS = 0,
    CPD3_FAIL_INVALID_CALIPARA_POINTER = 0x1,
    CPD3_FAIL_INVALID_INCALIPARA = 0x2,
    CPD3_FAIL_INVALID_CALI_MODID = 0x4,
    CPD3_FAIL_INVALID_CALI_FILELEN = 0x8,
    CPD3_FAIL_INVALID_CALI_FREQNUM = 0x10,
    CPD3_FAIL_INVALID_CALI_MODULENUM = 0x20,
    CPD3_FAIL_INVALID_CALI_FIRSTBYTEID = 0x40,
};

// Bits a module records in its calibration-load flag word, each module in its own
// success-flag space (the bits its corrections report at run time).
struct CaliLoadBits {
    uint32_t uiNoCali;       // no blob, or the blob could not be loaded
    uint32_t uiInvalidBlob;  // the blob was refused, or the record runs past its end
    uint32_t uiModId;        // record slot not below the record count
    uint32_t uiFirstByteId;  // record offset not below the blob length
    uint32_t uiValidFlag;    // record marked invalid
    uint32_t uiInvalidPara;  // invalid type or value in the record
    uint32_t uiBuffer;       // storage for the record could not be allocated
    uint32_t uiNoFreq;       // working frequency without calibration index (per-frequency modules)
};

enum BP_SUCCESS_FLAG : uint32_t {
    BP_SUCCESS = 0,
    BP_FAIL_INVALID_INIMG = 1,
    BP_FAIL_INVALID_INPARA = 2,
    BP_FAIL_INVALID_GLB_BUFFER = 4,
    BP_FAIL_INVALID_GLB_VARS_POINTER = 8,
    BP_FAIL_INVALID_INSIZE = 16,
    BP_FAIL_INVALID_INPARA_IMAGETYPE = 32,
    BP_FAIL_INVALID_INPARA_SENSOR_STATUS = 64,
    BP_FAIL_INVALID_CALIPARA_POINTER = 128,
    BP_FAIL_INVALID_INCALIPARA = 256,
    BP_FAIL_INVALID_CALI_MODID = 512,
    BP_FAIL_INVALID_CALI_FIRSTBYTEID = 1024,
    BP_FAIL_INVALID_CALI_VALIDFLAG = 2048,
    BP_FAIL_INVALID_CALI_BUFFER = 4096,
    BP_FAIL_INVALID_BPFLAG = 8192,
    BP_FAIL_INVALID_CALI_CORR_PIXEL_MODE = 16384,
};

enum LEN_SUCCESS_FLAG : uint32_t {
    LEN_SUCCESS = 0,
    LEN_FAIL_INVALID_INIMG = 1,
    LEN_FAIL_INVALID_INPARA = 2,
    LEN_FAIL_INVALID_GLB_BUFFER = 4,
    LEN_FAIL_INVALID_GLB_VARS_POINTER = 8,
    LEN_FAIL_INVALID_INSIZE = 16,
    LEN_FAIL_INVALID_INPARA_SENSOR_STATUS = 64,
    LEN_FAIL_INVALID_CALIPARA_POINTER = 128,
    LEN_FAIL_INVALID_INCALIPARA = 256,
    LEN_FAIL_INVALID_CALI_MODID = 512,
    LEN_FAIL_INVALID_CALI_FIRSTBYTEID = 1024,
    LEN_FAIL_INVALID_CALI_VALIDFLAG = 2048,
    LEN_FAIL_INVALID_CALIPARA = 4096,
    LEN_FAIL_INVALID_UNDISTORTMAP = 8192,
    LEN_FAIL_INVALID_INTERPMAP = 16384,
    LEN_FAIL_INVALID_CALI_CORR_PIXEL_MODE = 32768,
    LEN_FAIL_INVALID_CORR_MAP_POINTER = 65536,
};

enum FPN_SUCCESS_FLAG : uint32_t {
    FPN_SUCCESS = 0,
    FPN_FAIL_INVALID_INIMG = 1,
    FPN_FAIL_INVALID_INPARA = 2,
    FPN_FAIL_INVALID_GLB_BUFFER = 4,
    FPN_FAIL_INVALID_GLB_VARS_POINTER = 8,
    FPN_FAIL_INVALID_INSIZE = 16,
    FPN_FAIL_INVALID_CALI_MODID = 32,
    FPN_FAIL_INVALID_CALIPARA_POINTER = 64,
    FPN_FAIL_INVALID_INCALIPARA = 128,
    FPN_FAIL_INVALID_CALI_FIRSTBYTEID = 256,
    FPN_FAIL_INVALID_CALI_VALIDFLAG = 512,
    FPN_FAIL_INVALID_CALI_FILETYPE = 1024,
    FPN_FAIL_INVALID_CALI_BUFFER = 2048,
    FPN_FAIL_INVALID_CALI_ERR = 4096,
    FPN_FAIL_INVALID_CALI_CORR_PIXEL_MODE = 8192,
    FPN_FAIL_INVALID_COLS_ERR_POINTER = 16384,
    FPN_FAIL_INVALID_CORR_MAP_POINTER = 32768,
};

enum LUMA_SUCCESS_FLAG : uint32_t {
    LUMA_SUCCESS = 0,
    LUMA_FAIL_INVALID_INIMG = 1,
    LUMA_FAIL_INVALID_INPARA = 2,
    LUMA_FAIL_INVALID_GLB_BUFFER = 4,
    LUMA_FAIL_INVALID_GLB_VARS_POINTER = 8,
    LUMA_FAIL_INVALID_INSIZE = 16,
    LUMA_FAIL_INVALID_INPARA_SENSOR_STATUS = 32,
    LUMA_FAIL_INVALID_CALI_MODID = 64,
    LUMA_FAIL_INVALID_CALIPARA_POINTER = 128,
    LUMA_FAIL_INVALID_INCALIPARA = 256,
    LUMA_FAIL_INVALID_CALI_FIRSTBYTEID = 512,
    LUMA_FAIL_INVALID_CALI_VALIDFLAG = 1024,
    LUMA_FAIL_INVALID_CALI_RESO = 2048,
    LUMA_FAIL_INVALID_CALI_RAW_RESO = 4096,
    LUMA_FAIL_INVALID_CALI_START_RAW_XY = 8192,
    LUMA_FAIL_INVALID_CALI_FILETYPE = 16384,
    LUMA_FAIL_INVALID_CALI_BLOCK_X = 32768,
    LUMA_FAIL_INVALID_CALI_BLOCK_Y = 65536,
    LUMA_FAIL_INVALID_CALI_LUMA_PARAS = 131072,
    LUMA_FAIL_INVALID_CALI_CORR_PIXEL_MODE = 262144,
    LUMA_FAIL_INVALID_CORR_MAP_POINTER = 1048576,
    LUMA_FAIL_INVALID_CALI_BUFFER = 1048576,
};

// Calibration-load bits of the modules whose run-time bits take the values below 128:
// the same eight reasons for each module.
#define CORR_CALI_LOAD_FLAGS(TAG)                  \
    TAG##_FAIL_INVALID_CALIPARA_POINTER = 128,     \
    TAG##_FAIL_INVALID_INCALIPARA = 256,           \
    TAG##_FAIL_INVALID_CALI_MODID = 512,           \
    TAG##_FAIL_INVALID_CALI_FIRSTBYTEID = 1024,    \
    TAG##_FAIL_INVALID_CALI_VALIDFLAG = 2048,      \
    TAG##_FAIL_INVALID_CALIPARA = 4096,            \
    TAG##_FAIL_INVALID_CALI_BUFFER = 8192,         \
    TAG##_FAIL_INVALID_CALI_FREQ = 16384

enum MASK_SUCCESS_FLAG : uint32_t { MASK_SUCCESS = 0, CORR_CALI_LOAD_FLAGS(MASK) };
enum T_SUCCESS_FLAG : uint32_t { T_SUCCESS = 0, CORR_CALI_LOAD_FLAGS(T) };
enum OFS_SUCCESS_FLAG : uint32_t { OFS_SUCCESS = 0, CORR_CALI_LOAD_FLAGS(OFS) };
enum FPPN_SUCCESS_FLAG : uint32_t { FPPN_SUCCESS = 0, CORR_CALI_LOAD_FLAGS(FPPN) };
enum WIG_SUCCESS_FLAG : uint32_t { WIG_SUCCESS = 0, CORR_CALI_LOAD_FLAGS(WIG) };
enum PHASE_FPPN_SUCCESS_FLAG : uint32_t { PHASE_FPPN_SUCCESS = 0, CORR_CALI_LOAD_FLAGS(PHASE_FPPN) };
enum REG_SUCCESS_FLAG : uint32_t { REG_SUCCESS = 0, CORR_CALI_LOAD_FLAGS(REG) };

#undef CORR_CALI_LOAD_FLAGS

// ---------------------------------------------------------------------------------------
// Parsed records
// ---------------------------------------------------------------------------------------

// The common header of either version. Fields a version does not carry stay 0.
struct CaliParas_CommonParas {
    CALI_PARAS_VERSION eVersion = CALI_PARAS_UNKNOWN;
    uint32_t uiTotalBytesLen = 0;
    char cVersion[9] = {};
    char cCaliArithVersion[16] = {};  // V3.1
    char cSensorID[24] = {};
    uint8_t ucCaliModFreqsNum = 0;  // F
    uint8_t ucParasModulesNum = 0;  // P
    std::vector<uint32_t> uiParasFirstByteId;
    std::vector<uint8_t> ucParasValidFlag;
    uint8_t ucIsLenCaliFirst = 0;  // V3 order flags of the calibration process, carried
    uint8_t ucIsTCaliFirst = 0;
    uint8_t ucOrderOfsWigFppn = 0;
    uint16_t usCaliModFreqMHZ[CALI_MAX_FREQS] = {};
    uint16_t usCaliExpoTimeUS[CALI_MAX_FREQS] = {};
    uint16_t usCaliWidth = 0;
    uint16_t usCaliHeight = 0;
    uint16_t usPixelRawResoWidth = 0;
    uint16_t usPixelRawResoHeight = 0;
    uint16_t usPixelOutStartRawX = 0;
    uint16_t usPixelOutStartRawY = 0;
    uint8_t ucCaliFlipMode = 0;
    uint8_t ucCaliBinningType = 0;
    uint8_t ucPixelPhaseMode = 0;  // V3.1
    float fErrPrecisionMM = 0;     // V3.1
    float fMaxFreqMHz = 0;         // V3.1, 0 when the header ends before it
    uint8_t ucCaliWigType = 0;     // V3.1, likewise
    uint8_t ucIsPluseMode = 0;     // V3.1, likewise
    uint8_t ucIs2PhaseMode = 0;    // V3.1, likewise
};

// Bad pixels. Row values (the sY of a point, the row list) and the column list carry a
// class in their thousands: value = class * 1000 + coordinate.
typedef struct BPCaliParas_V3 {
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    std::vector<COOR2D16S> pcoor2sBPList;
    std::vector<int16_t> psBPRowsList;
    std::vector<int16_t> psBPColsList;
    uint32_t uiValidBPCnt = 0;
    uint32_t uiValidBPRowsCnt = 0;
    uint32_t uiValidBPColsCnt = 0;
} BP_CALI_PARAS;

inline constexpr int BP_MAX_POINTS = 4096;
inline constexpr int BP_MAX_ROWS = 240;
inline constexpr int BP_MAX_COLS = 320;
inline constexpr int16_t BP_ENTRY_ROW = -2;  // entry (-2, b): whole bad row b
inline constexpr int16_t BP_ENTRY_COL = -3;  // entry (-3, b): whole bad column b

enum MASK_CALI_FILE_TYPE : int32_t {
    MASK_CALI_FILE_TYPE_NONE = 0,
    MASK_CALI_FILE_TYPE_ROWS = 1,
    MASK_CALI_FILE_TYPE_IMG = 2,
};

inline constexpr uint8_t MASK_VALUE_VALID = 0;
inline constexpr uint8_t MASK_VALUE_MASKED = 128;

typedef struct MaskCaliParas {
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    MASK_CALI_FILE_TYPE eMaskCaliFileType = MASK_CALI_FILE_TYPE_NONE;
    std::vector<uint16_t> pusMaskValidCoorXMinList;  // ROWS: per calibration row
    std::vector<uint16_t> pusMaskValidCoorXMaxList;
    std::vector<uint8_t> pucCaliMaskImg;  // IMG: per calibration pixel, 0 valid, 128 masked
} MASK_CALI_PARAS;

enum FPN_CALI_ERR_TYPE : int32_t {
    FPN_CALI_ERR_TYPE_UNKNOWN = 0,
    FPN_CALI_ERR_TYPE_COLS = 1,
    FPN_CALI_ERR_TYPE_IMG = 2,
};

typedef struct CaliParas_GrayFPN {
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    uint8_t ucCaliFileType = 0;         // FPN_CALI_ERR_TYPE
    std::vector<int16_t> psCaliFPNErr;  // per calibration column (COLS) or pixel (IMG)
} FPN_CALI_PARAS;

// Lens: fx, fy, cx, cy, k1, k2, p1, p2, k3. fLenParas has the principal point made 0-based
// (cx and cy decreased by 1); fLenParasOut holds the values as stored until the lens
// module rewrites it for the working image.
typedef struct CaliParas_LenV3 {
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    float fLenParas[9] = {};
    float fZoomCoef = 0;
    float fSkew = 0;
    float fLenParasOut[9] = {};
    float fZoomCoefOut = 0;
} LEN_CALI_PARAS;

enum T_SENSOR_TYPE : int32_t {
    T_SENSOR_UNKNOWN = 0,
    T_SENSOR_ZEF4471 = 1,
};

enum T_DRIVER_TYPE : int32_t {
    T_DRIVER_UNKNOWN = 0,
    T_DRIVER_GUANGZI3021 = 1,
    T_DRIVER_JUYOUOPN7011 = 2,
    T_DRIVER_ICHAUSTMP122 = 3,
};

typedef struct CaliParas_TemperatureV3 {
    uint16_t usCaliModFreqMHZ = 0;
    T_SENSOR_TYPE eTSensorType = T_SENSOR_UNKNOWN;
    T_DRIVER_TYPE eTDriverType = T_DRIVER_UNKNOWN;
    float fTSensor = 0;  // degrees C at calibration
    float fTDriver = 0;
    float fErrPrecisionMM = 0;
    uint8_t ucFitMode = 0;  // 0..3
    float fTempFitParas[10] = {};
} T_CALI_PARAS;

inline constexpr int OFS_MAX_BLOCKS = 640;
inline constexpr int OFS_V3_BLOCKS = 16;

typedef struct CaliParas_OFS {
    uint16_t usCaliModFreqMHZ = 0;
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    float fOffsetGlobalMM = 0;
    uint8_t ucBlockOffsetLen = 0;
    float fOffsetBlocksMM[OFS_MAX_BLOCKS] = {};
} OFS_CALI_PARAS;

enum FPPN_CALI_ERR_IMG_TYPE : int32_t {
    FPPN_CALI_ERR_IMG_TYPE_CHAR = 0,   // int8
    FPPN_CALI_ERR_IMG_TYPE_SHORT = 1,  // int16
    FPPN_CALI_ERR_IMG_TYPE_FLOAT = 2,  // float32
};

// Where the FPPN error image lies.
enum FPPN_CALI_ERR_IMG_SOURCE : uint8_t {
    FPPN_CALI_ERR_IMG_IN_RECORD = 0,
    FPPN_CALI_ERR_IMG_IN_FPPN_BLOB = 1,
};

inline size_t FPPN_ErrImgElementBytes(FPPN_CALI_ERR_IMG_TYPE eType) {
    switch (eType) {
        case FPPN_CALI_ERR_IMG_TYPE_CHAR: return 1;
        case FPPN_CALI_ERR_IMG_TYPE_SHORT: return 2;
        case FPPN_CALI_ERR_IMG_TYPE_FLOAT: return 4;
        default: return 0;
    }
}

// One calibration slot of the FPPN record. The error image is shared by every slot and
// owned by the FPPN module; it holds calibration width x height elements of
// eFPPNErrImgType, little-endian, row by row.
typedef struct CaliParas_FPPN_V3 {
    uint16_t usCaliModFreqMHZ = 0;
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    uint8_t ucCaliFileType = 0;  // 1 error image, 2 fitted surface, 3 surface plus residual
    uint8_t ucErrImgSource = FPPN_CALI_ERR_IMG_IN_RECORD;
    float fErrPrecisionMM = 0;
    uint8_t ucFitMode = 0;
    float fFPPNFitParas[10] = {};
    uint8_t ucIntZoomMultiple = 0;
    FPPN_CALI_ERR_IMG_TYPE eFPPNErrImgType = FPPN_CALI_ERR_IMG_TYPE_CHAR;
    const uint8_t* pFPPNErrImgMM = nullptr;        // null: no error image
    const uint8_t* pFPPNErrImgMMFilter = nullptr;  // a second copy, smoothed by the FPPN module
} FPPN_CALI_PARAS;

// Element i of an FPPN error image as a number.
inline float FPPN_ErrImgValue(const uint8_t* pImg, FPPN_CALI_ERR_IMG_TYPE eType, size_t i) {
    switch (eType) {
        case FPPN_CALI_ERR_IMG_TYPE_CHAR: return static_cast<int8_t>(pImg[i]);
        case FPPN_CALI_ERR_IMG_TYPE_SHORT: {
            int16_t v;
            std::memcpy(&v, pImg + 2 * i, 2);
            return v;
        }
        case FPPN_CALI_ERR_IMG_TYPE_FLOAT: {
            float v;
            std::memcpy(&v, pImg + 4 * i, 4);
            return v;
        }
        default: return 0;
    }
}

inline constexpr int WIG_MAX_FIT_PARAS = 100;

typedef struct CaliParas_Wiggling_V3 {
    uint16_t usCaliModFreqMHZ = 0;
    uint8_t ucCaliFileType = 0;  // 1 sampled error curve, 2 fitted curve
    float fErrPrecisionMM = 0;
    uint16_t usLUTLen = 0;
    uint8_t ucDistIntZoomMultiple = 0;
    uint8_t ucErrIntZoomMultiple = 0;
    uint16_t usLUT_StartDistMM = 0;
    uint8_t ucLUT_StepDistMM = 0;
    std::vector<int16_t> psLUT_ErrMM;
    uint8_t ucFitMode = 0;  // type 2: 1 spline, 2 harmonic polynomial
    uint8_t ucFitParasLen = 0;
    float fWigFitParas[WIG_MAX_FIT_PARAS] = {};
} WIG_CALI_PARAS;

// Registration of the colour camera to the ToF camera; matrices row-major 3 x 3.
typedef struct CaliParas_Registration {
    float fTofIntrinsicMatrix[9] = {};
    float fRgbIntrinsicMatrix[9] = {};
    float fRotationMatrix[9] = {};
    float fTranslationMatrix[3] = {};
    uint8_t bIsRgbCameraLeft = 0;
} REG_CALI_PARAS;

enum LUMA_CALI_ERR_TYPE : int32_t {
    LUMA_CALI_ERR_TYPE_UNKNOWN = 0,
    LUMA_CALI_ERR_TYPE_BLOCK = 1,
};

typedef struct CaliParas_GrayLuma {
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    uint8_t ucCaliFileType = 0;
    uint8_t ucBlockXpixel = 0;
    uint8_t ucBlockYpixel = 0;
    std::vector<float> fLumaFitParas;  // (W / bx) * (H / by) gains, row by row
} LUMA_CALI_PARAS;

typedef struct CaliParas_PhaseFPPN {
    const GLB_CALI_SENSOR_STATUS* pstCaliSensorStatus = nullptr;
    uint8_t ucIs2PhaseMode = 0;
    std::vector<uint16_t> usPhaseFPPNParas;  // per calibration pixel
} PHASE_FPPN_CALI_PARAS;

}  // namespace NAMESPACE_CORR
