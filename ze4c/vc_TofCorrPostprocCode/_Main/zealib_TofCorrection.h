// zealib_TofCorrection: the correction library's C interface. One raw ToF frame (phase,
// gray, background and background-phase sub-frames) becomes calibrated depth, amplitude,
// gray, background, confidence, flags and point cloud.
//
// Every call reports through two 32-bit masks: a success mask (any bit set means the call
// failed) and an abnormal mask (the call worked, but something was corrected, defaulted or
// skipped). All state lives behind the opaque handle returned by zetcorrInit.
#pragma once

#include <cstdint>

#include "ze4c_export.h"
#include "vc_TofCorrPostprocCode/Common/zeaCommon_Types.h"

// ---------------------------------------------------------------------------------------
// Enumerations (their values are part of the interface)
// ---------------------------------------------------------------------------------------

// Order of the sub-frames in one frame; see zetcorrGetUsecase* for the layout of each.
enum CORR_USECASE_ID : int32_t {
    CORR_USECASE_ID_UNKNOWN = 0,
    CORR_USECASE_ID_GRAY = 1,
    CORR_USECASE_ID_BG = 2,
    CORR_USECASE_ID_GRAY_BG = 3,
    CORR_USECASE_ID_BG_GRAY = 4,
    CORR_USECASE_ID_SF = 5,
    CORR_USECASE_ID_SF_GRAY = 6,
    CORR_USECASE_ID_SF_BG = 7,
    CORR_USECASE_ID_SF_GRAY_BG = 8,
    CORR_USECASE_ID_SF_BG_GRAY = 9,
    CORR_USECASE_ID_BG_GRAY_BG_SF = 10,
    CORR_USECASE_ID_BG_SF_BG_GRAY = 11,
    CORR_USECASE_ID_GRAY_BG_SF_GRAY_BG = 12,
    CORR_USECASE_ID_SF_BGPH = 13,
    CORR_USECASE_ID_SF_BGPH_GRAY = 14,
    CORR_USECASE_ID_DF = 15,
    CORR_USECASE_ID_DF_GRAY = 16,
    CORR_USECASE_ID_DF_BG = 17,
    CORR_USECASE_ID_DF_GRAY_BG = 18,
    CORR_USECASE_ID_DF_BG_GRAY = 19,
    CORR_USECASE_ID_DF_BGPH = 20,
    CORR_USECASE_ID_DF_BGPH_GRAY = 21,
    CORR_USECASE_ID_DF_BGPH_BG_GRAY = 22,
    CORR_USECASE_ID_TF = 23,
    CORR_USECASE_ID_TF_GRAY = 24,
    CORR_USECASE_ID_TF_BG = 25,
    CORR_USECASE_ID_TF_GRAY_BG = 26,
    CORR_USECASE_ID_TF_BG_GRAY = 27,
    CORR_USECASE_ID_FF = 28,
    CORR_USECASE_ID_FF_GRAY = 29,
    CORR_USECASE_ID_FF_BG = 30,
    CORR_USECASE_ID_FF_GRAY_BG = 31,
    CORR_USECASE_ID_FF_BG_GRAY = 32,
};

enum CORR_EBD_TYPE : int32_t {
    CORR_NO_EBD = 0,
    CORR_EBD_BEFORE_IMG = 1,
    CORR_EBD_AFTER_IMG = 2,
    CORR_EBD_INDEPENDENT = 3,
    CORR_ADDINFO_AFTER_IMG = 4,
};

enum CORR_PIXEL_BINNING_MODE : int32_t {
    CORR_PIXEL_BINNING_OFF = 0,
    CORR_PIXEL_BINNING_1x2 = 1,
    CORR_PIXEL_BINNING_2x1 = 2,
    CORR_PIXEL_BINNING_2x2 = 3,
    CORR_PIXEL_BINNING_4x4 = 4,
};

enum CORR_PIXEL_MIRROR_MODE : int32_t {
    CORR_PIXEL_MIRROR_OFF = 0,
    CORR_PIXEL_MIRROR_UD = 1,
    CORR_PIXEL_MIRROR_LR = 2,
    CORR_PIXEL_MIRROR_UDLR = 3,
};

enum CORR_PIXEL_PHASE_MODE : int32_t {
    CORR_PIXEL_PHASE_MODE_OFF = 0,
    CORR_PIXEL_PHASE_MODE_2 = 1,
    CORR_PIXEL_PHASE_MODE_4 = 2,
    CORR_PIXEL_PHASE_MODE_8 = 3,
    CORR_PIXEL_PHASE_MODE_16 = 4,
};

enum CORR_PIXEL_GRAYBG_MODE : int32_t {
    CORR_PIXEL_GRAYBG_MODE_NORMAL = 0,
    CORR_PIXEL_GRAYBG_MODE_2048DOWN = 1,
    CORR_PIXEL_GRAYBG_MODE_2048UP = 2,
};

enum CORR_HDE_MODE : int32_t {
    CORR_HDR_OFF = 0,
    CORR_HDR_SF_1FRAME = 1,
    CORR_HDR_DF_1FRAME = 2,
    CORR_HDR_DF_2FRAME = 3,
};

enum OUT_IMAGE_BUFFER_TYPE : int32_t {
    OIMG_BUFFER_NULL = 0,   // image not wanted
    OIMG_BUFFER_USER = 1,   // the caller supplies the memory
    OIMG_BUFFER_INNER = 2,  // the library supplies the memory
};

enum OUT_IMAGE_NAME : int32_t {
    OIMG_NAME_POINTCLOUD = 0,
    OIMG_NAME_DEPTH = 1,
    OIMG_NAME_AMP = 2,
    OIMG_NAME_GRAY = 3,
    OIMG_NAME_BG = 4,
    OIMG_NAME_FLAG = 5,
    OIMG_NAME_CONFIDENCE = 6,
    OIMG_NAME_REG_RGB = 7,
};

enum OUT_IMAGE_DATA_TYPE : int32_t {
    OIMG_DTYPE_UINT8 = 0,
    OIMG_DTYPE_UINT16 = 1,
    OIMG_DTYPE_FLOAT32 = 2,
    OIMG_DTYPE_DEPTH16 = 3,
    OIMG_DTYPE_PC32F = 4,
    OIMG_DTYPE_DEPTH_POINT_CLOUD = 5,
    OIMG_DTYPE_FLAG = 6,
    OIMG_DTYPE_RGB = 7,
    OIMG_DTYPE_INT16 = 8,
    OIMG_DTYPE_INT32 = 9,
};

enum DEPTH_VALUE_TYPE : int32_t {
    DEPTH_VALUE_XYR = 0,  // radial distance
    DEPTH_VALUE_XYZ = 1,  // Z coordinate
};

enum DEPTH_DATA_TYPE : int32_t {
    DEPTH_TYPE_UINT16 = 0,
    DEPTH_TYPE_DEPTH16 = 1,
};

enum POINTCLOUD_DATA_TYPE : int32_t {
    PC_TYPE_PC32F = 0,              // 3 float32 per pixel
    PC_TYPE_DEPTH_POINT_CLOUD = 1,  // 4 float32 per pixel
};

enum SENSOR_TYPE : int32_t {
    SENSOR_TYPE_UNKNOWN = 0,
    SENSOR_TYPE_4471 = 1,
};

// ---------------------------------------------------------------------------------------
// Success and abnormal masks
// ---------------------------------------------------------------------------------------

// zetcorrInit's success mask: any bit means failure and the handle is not usable.
enum CORR_ARITH_INIT_SUCCESS_FLAG : uint32_t {
    CORR_INIT_SUCCESS = 0,
    CORR_INIT_FAIL_GLB_BUFFER_SIZE_CALC_ERROR = 0x1,  // reserved
    CORR_INIT_FAIL_GLB_BUFFER_ALLOCATE = 0x2,
    CORR_INIT_FAIL_INVALID_FIXPARA_POINTER = 0x4,
    CORR_INIT_FAIL_INVALID_PARA_SENSORID = 0x8,
    CORR_INIT_FAIL_INVALID_PARA_USECASEID = 0x10,
    CORR_INIT_FAIL_INVALID_PARA_IN_IMG_WIDTH = 0x20,
    CORR_INIT_FAIL_INVALID_PARA_IN_IMG_HEIGHT = 0x40,
    CORR_INIT_FAIL_INVALID_PARA_IS_HAS_EBD = 0x80,
    CORR_INIT_FAIL_INVALID_PARA_EBD_BYTES = 0x100,
    CORR_INIT_FAIL_INVALID_PARA_ENABLE_FIX_FRM_PARA = 0x200,
    CORR_INIT_FAIL_INVALID_PARA_FIX_FRM_PARA = 0x400,
    CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ = 0x800,
    CORR_INIT_FAIL_INVALID_PARA_PIXEL_ROI_START_XY = 0x1000,
    CORR_INIT_FAIL_INVALID_PARA_PIXEL_LOW_RESO_STEP_XY = 0x2000,  // reserved
    CORR_INIT_FAIL_INVALID_PARA_PIXEL_MIRROR_MODE = 0x4000,
    CORR_INIT_FAIL_INVALID_PARA_PIXEL_PHASE_MODE = 0x8000,
    CORR_INIT_FAIL_INVALID_PARA_PIXEL_BINNING_MODE = 0x10000,
    CORR_INIT_FAIL_INVALID_PARA_DEPTH_PHASE_NUM = 0x10000,  // same bit as the binning mode
    CORR_INIT_FAIL_INVALID_PARA_PIXEL_GRAYBG_MODE = 0x20000,
    CORR_INIT_FAIL_INVALID_PARA_HDR_MODE = 0x40000,
    CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_WIDTH = 0x80000,
    CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_HEIGHT = 0x100000,
    CORR_INTI_FAIL_INVALID_WORKMODE = 0x200000,
    CORR_INIT_FAIL_MODULE_INIT_PRECALC = 0x400000,
};

// zetcorrInit's abnormal mask: conditions corrected in the caller's CORR_FIXPARA.
enum CORR_ARITH_INTI_ABNORMAL_FLAG : uint32_t {
    CORR_INIT_ABNORMAL_NONE = 0,
    CORR_INIT_ABNORMAL_INVALID_PARA_ENABLE_DATA_SWAP_BITS = 0x1,
    CORR_INIT_ABNORMAL_INVALID_PARA_DATA_RIGHT_SHIFT_BITS = 0x2,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_PC = 0x4,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_DEPTH = 0x8,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_AMP = 0x10,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_GRAY = 0x20,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_BG = 0x40,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_CONFI = 0x80,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_FLAG = 0x100,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_VALUE_TYPE = 0x200,
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_TYPE = 0x400,
    CORR_INIT_ABNORMAL_INVALID_PARA_ENABLE_OUT_POINT_CLOUE = 0x800,  // reserved
    CORR_INIT_ABNORMAL_INVALID_PARA_OUT_POINT_CLOUE_TYPE = 0x1000,
    // No calibration blob, or one that could not be loaded: every calibration-based
    // correction is off.
    CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER = 0x2000,
    CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_FPPN_POINTER = 0x4000,  // reserved
    CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_FPN_POINTER = 0x8000,   // reserved
    CORR_INIT_ABNORMAL_INVALID_COOR_MAP = 0x10000,
};

// Success mask of zetcorrSetDynamicConfig and zetcorrRunCorrection.
enum CORR_ARTIH_SUCCESS_FLAG : uint32_t {
    CORR_ARITH_SUCCESS = 0,
    CORR_ARITH_FAIL_INVALID_OUTER_BUFFER = 0x1,
    CORR_ARITH_FAIL_OUTER_BUFFER_CHANGED = 0x2,
    CORR_ARITH_FAIL_NOT_INITIALIZED = 0x4,
    CORR_ARITH_FAIL_INVALID_INDATAS_POINTER = 0x8,
    CORR_ARITH_FAIL_INVALID_IN_DEPTHMAP = 0x10,
    CORR_ARITH_FAIL_INVALID_IN_SUBFRAMES = 0x20,
    CORR_ARITH_FAIL_INVALID_IN_EBDS = 0x40,
    CORR_ARITH_FAIL_INVALID_OUTDATAS_POINTER = 0x80,
    CORR_ARITH_FAIL_INVALID_OUT_IMG_BUFFER = 0x100,
    CORR_ARITH_FAIL_INVALID_OUT_POINTCLOUD_POINTER = 0x200,
    CORR_ARITH_FAIL_INVALID_OUT_DEPTH_POINTER = 0x400,
    CORR_ARITH_FAIL_INVALID_OUT_AMP_POINTER = 0x800,
    CORR_ARITH_FAIL_INVALID_OUT_GRAY_POINTER = 0x1000,
    CORR_ARITH_FAIL_INVALID_OUT_BG_POINTER = 0x2000,
    CORR_ARITH_FAIL_INVALID_OUT_FLAG_POINTER = 0x4000,
    CORR_ARITH_FAIL_INVALID_OUT_CONFIDENCE_POINTER = 0x8000,
    CORR_ARITH_FAIL_INVALID_PHASE_POINTER = 0x10000,
    CORR_ARITH_FAIL_MULTI_FREQS_INVALID_INPUT_FREQS_NUM = 0x20000,
    CORR_ARITH_FAIL_ALLOCATE = 0x40000,
    CORR_ARITH_FAIL_CALC_DEPTH = 0x80000,
    CORR_ARITH_FAIL_MULTI_FREQ_FUSION = 0x100000,
    CORR_ARITH_FAIL_CALC_CONFIDENCE = 0x200000,
    CORR_ARITH_FAIL_CALC_POINTCLOUD = 0x400000,
    CORR_ARITH_FAIL_CORR_SINGLE_DEPTH = 0x800000,
    CORR_ARITH_FAIL_CALI_CORR_PIXEL_MODE_DISMATCH = 0x1000000,  // reserved
    CORR_ARITH_FAIL_MODULE_INIT_PRECALC = 0x2000000,
    CORR_ARITH_FAIL_INVALID_PHASE_DIFF = 0x4000000,
    CORR_ARITH_FAIL_INVALID_DEMOTION_BLUR = 0x8000000,
    CORR_ARITH_FAIL_INVALID_OPENCL_INIT = 0x10000000,  // reserved
};

// Abnormal mask of zetcorrSetDynamicConfig and zetcorrRunCorrection.
enum CORR_ARITH_ABNORMAL_FLAG : uint32_t {
    CORR_ARITH_ABNORMAL_NONE = 0,
    CORR_ARITH_ABNORMAL_INVALID_DYNPARA_POINTER = 0x1,
    CORR_ARITH_ABNORMAL_INVALID_DYNPARA = 0x2,
    CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET = 0x4,
    CORR_ARITH_ABNORMAL_BUFFER_TYPE_USER_BUT_NO_ALLOCATE = 0x8,
    CORR_ARITH_ABNORMAL_BUFFER_TYPE_INNER_BUT_NO_ALLOCATE = 0x10,
    CORR_ARITH_ABNORMAL_BUFFER_TYPE_INIT_NOT_INNER = 0x20,
    CORR_ARITH_ABNORMAL_BUFFER_TYPE_NULL_BUT_NO_INFIXPARA = 0x40,
    CORR_ARITH_ABNORMAL_BUFFER_TYPE_NULL_SET_UNKNOWN = 0x80,
    CORR_ARITH_ABNORMAL_INVALID_INNER_IMG_BUFFER = 0x100,
    CORR_ARITH_ABNORMAL_INVALID_OUT_GRAY_POINTER = 0x200,
    CORR_ARITH_ABNORMAL_INVALID_OUT_BG_POINTER = 0x400,
    CORR_ARITH_ABNORMAL_CALC_POINTCLOUD = 0x800,
    CORR_ARITH_ABNORMAL_CORRECT_BP_FAIL = 0x1000,
    CORR_ARITH_ABNORMAL_CORRECT_LEN_FAIL = 0x2000,
    CORR_ARITH_ABNORMAL_CORRECT_T_FAIL = 0x4000,
    CORR_ARITH_ABNORMAL_CORRECT_FPPN_FAIL = 0x8000,
    CORR_ARITH_ABNORMAL_CORRECT_OFS_FAIL = 0x10000,
    CORR_ARITH_ABNORMAL_CORRECT_WIG_FAIL = 0x20000,
    CORR_ARITH_ABNORMAL_CORRECT_FPN_FAIL = 0x40000,
    CORR_ARITH_ABNORMAL_CORRECT_LUMA_FAIL = 0x80000,
    CORR_ARITH_ABNORMAL_INVALID_COOR_MAP = 0x100000,
    CORR_ARITH_ABNORMAL_DIFFERENT_EBD_AND_CALI_MAX_FREQ = 0x200000,
};

// ---------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------

// Frame parameters fixed at init instead of being taken from embedded data.
typedef struct Correction_FixedFrameParameters {
    float fModFreqMHZ[4];  // modulation frequency of each frequency slot, MHz
    uint16_t usPixelRoiStartX;
    uint16_t usPixelRoiStartY;
    uint8_t ucPixelLowResoStepX;
    uint8_t ucPixelLowResoStepY;
    CORR_PIXEL_MIRROR_MODE ePixelMirrorMode;
    CORR_PIXEL_PHASE_MODE ePixelPhaseMode;
} CORR_FRMPARA_FIX;

// Given once to zetcorrInit. Invalid values of the fields marked "corrected" are replaced
// in this structure itself and reported in the init abnormal mask.
typedef struct Correction_FixedControlParameters {
    char cSensorID[32];                 // must begin with "ZEF4471"
    CORR_USECASE_ID eUsecaseID;         // 1..32
    uint16_t usInImgWidth;              // pixels of each input sub-frame, 1..640
    uint16_t usInImgHeight;             // 1..480
    CORR_EBD_TYPE eIsHasEbd;            // where the embedded data lies
    uint32_t uiEbdBytes;                // embedded bytes per sub-frame
    uint8_t ucEnableFixFrmPara;         // 1: pstFixFrmPara fixes the frame parameters
    CORR_FRMPARA_FIX* pstFixFrmPara;
    CORR_PIXEL_BINNING_MODE ePixelBinningMode;
    uint8_t ucDepthPhaseNum;            // phase images per frequency, 2 or 4
    CORR_PIXEL_GRAYBG_MODE ePixelGrayBgMode;
    uint16_t usPixelGrayBgZeroValue;    // 0..4096
    CORR_HDE_MODE eHDRMode;
    uint8_t ucEnableDataSwapHighLowBits;  // 1: swap the bytes of every sample (corrected)
    uint8_t ucDataRightShiftBits;         // 0..16 (corrected)
    uint16_t usOutImgWidth;             // input width, or half of it with digital binning
    uint16_t usOutImgHeight;            // input height
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_PointCloud;  // each corrected to INNER when invalid
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_Depth;
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_Amp;
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_Gray;
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_Bg;
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_Confidence;
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_Flag;
    OUT_IMAGE_BUFFER_TYPE eOutBufferType_RegRgb;
    DEPTH_VALUE_TYPE eOutDepthValueType;      // corrected
    DEPTH_DATA_TYPE eOutDepthType;            // corrected
    POINTCLOUD_DATA_TYPE eOutPointCloudType;  // corrected
    const char* pcInCaliParas;       // main calibration blob
    const char* pcInCaliParasFPPN;   // separate FPPN error-image blob (not read in this version)
    const char* pcInCaliParasFPN;    // separate gray FPN blob (not read in this version)
    const char* pcInCaliGroundTrue;  // carried, not read
    // Length in bytes of the memory behind pcInCaliParas. The blob is read only within
    // these bytes; a blob given without its length (0) is not loaded.
    uint32_t uiInCaliParasBytes;
} CORR_FIXPARA;

// Given to zetcorrSetDynamicConfig; never modified by the library. Out-of-range fields
// are used with their reset values and reported in the abnormal mask.
typedef struct Correction_DynamicControlParameters {
    uint8_t ucEnableCorrBP;
    uint8_t ucEnableCorrLen;
    uint8_t ucEnableCorrT;
    uint8_t ucEnableCorrOFS;
    uint8_t ucEnableCorrFPPN;
    uint8_t ucEnableCorrWig;
    uint8_t ucEnableCorrFPN;
    uint8_t ucEnableCorrLUMA;
    uint8_t ucEnableCorrMask;
    uint8_t ucEnableLenFillInvalidPixels;
    uint8_t ucEnableLenCutInalidPixels;
    uint8_t ucEnableCorrOffset;
    int16_t sOffsetCorretion[4];  // manual offset per calibration frequency, mm
    uint8_t ucEnableCorrSingleDepth;
    uint8_t ucEnableAE;
    uint16_t usAERoiXMin;
    uint16_t usAERoiYMin;
    uint16_t usAERoiXMax;
    uint16_t usAERoiYMax;
    uint16_t usAEOverExposureThres;  // 0..2055
    uint16_t usAEOptAmpThres;        // 10..4095
    uint16_t usAEContrast;           // 10..2055
    uint8_t ucEnableDeALI;
    uint16_t usPresetMaxDist;
    float fFusionErrorExpandMinTsh;  // (1e-6, 0.501]
    uint8_t ucEnableDeMotionBlur;
    uint8_t ucEnableRegistration;
} CORR_DYNPARA;

enum { CORR_MAX_IN_SUBFRAMES = 18 };

// One frame of input.
typedef struct Correction_InputDatas {
    uint8_t ucIsInDatasUsed;  // 1: all sub-frames one after another in pcInDepthMapBuffer
    char* pcInDepthMapBuffer;
    char* pcInSubframes[CORR_MAX_IN_SUBFRAMES];  // one buffer per sub-frame otherwise
    char* pcInEbds[CORR_MAX_IN_SUBFRAMES];       // embedded data with CORR_EBD_INDEPENDENT
    uint8_t ucInImagesNum;
    uint8_t* pucInYuvImg;  // NV12 colour image for registration, or null
} CORR_INDATAS;

typedef struct Correction_OutputDepthInfo {
    DEPTH_VALUE_TYPE eOutDepthValueType;
    float fUnitOfDepth;  // millimetres per depth unit
    float fModFreqMHZ[4];
    float fLensParas[5];
} CORR_OIMG_DEPTH_INFO;

typedef union Correction_OutputImageInfo {
    CORR_OIMG_DEPTH_INFO stDepthInfo;
    float fConfidenceInt2Float;
    char cBytes[44];
} CORR_OIMG_INFO;

static_assert(sizeof(CORR_OIMG_INFO) == 44, "the image information is 44 bytes");

// One output image, owned by the caller.
typedef struct Correction_OutputImages {
    OUT_IMAGE_BUFFER_TYPE eBufferType;  // the caller's request; may be rewritten per frame
    char* pcBuffer;                     // the caller's memory (USER) or set by the library (INNER)
    OUT_IMAGE_NAME eName;               // written by the library
    OUT_IMAGE_DATA_TYPE eDataType;      // written by the library
    uint16_t usWidth;                   // written by the library
    uint16_t usHeight;                  // written by the library
    CORR_OIMG_INFO stInfo;
} CORR_OIMG;

enum { CORR_OUT_PARAS_LINE_BYTES = 116 };

typedef struct Correction_OutputDatas {
    CORR_OIMG* pstOutPointCloud;  // null: image not requested
    CORR_OIMG* pstOutDepth;
    CORR_OIMG* pstOutAmp;
    CORR_OIMG* pstOutGray;
    CORR_OIMG* pstOutBg[2];
    CORR_OIMG* pstOutConfidence;
    CORR_OIMG* pstOutFlag;
    CORR_OIMG* pstOutRegRgb;
    char* pcOutParasLn;  // output parameter line, written by the library
    uint16_t usOutParasLnBytes;
    uint8_t ucSetAEIntTimeFlag;   // 1: auto exposure proposes new integration times
    uint16_t usAEIntTimeUS[7];    // phase F1..F4, gray, background 1, background 2; us
    uint8_t ucRegRgbSuccFlag;     // 1: the registered RGB image is valid
} CORR_OUTDATAS;

// ---------------------------------------------------------------------------------------
// Functions
// ---------------------------------------------------------------------------------------

// Size of a buffer that holds the version text with its terminating zero.
enum { CORR_VERSION_TEXT_BYTES = 64 };

extern "C" {

// Checks the fixed parameters, allocates the handle and loads the calibration. Returns the
// handle, or null when a success bit is set before the handle exists. A non-null handle
// with a zero success mask is ready; with success bits it must be released.
ZE4C_EXPORT void* zetcorrInit(CORR_FIXPARA* pstFixParas, uint32_t* puiInitSuccFlag,
                              uint32_t* puiInitAbnormalFlag, uint8_t ucEnableLogFile,
                              uint8_t ucEnableCostTimeLogFile);

// Validates and applies dynamic parameters; null applies the defaults.
ZE4C_EXPORT void zetcorrSetDynamicConfig(void* pGlbBuffer, const CORR_DYNPARA* pstDynParas,
                                         uint32_t* puiSuccFlag, uint32_t* puiAbnormalFlag,
                                         uint8_t ucEnableLogFile);

// Processes one frame.
ZE4C_EXPORT void zetcorrRunCorrection(void* pGlbBuffer, CORR_INDATAS* pstInDatas,
                                      CORR_OUTDATAS* pstOutDatas, uint32_t* puiSuccFlag,
                                      uint32_t* puiAbnormalFlag, uint8_t ucEnableLogFile);

// Frees everything behind *pGlbBuffer and sets it to null.
ZE4C_EXPORT void zetcorrRelease(void** pGlbBuffer, uint8_t ucEnableLogFile);

// Writes "zealib_TofCorrection_V2.0.7.2_YYMMDD" into pcDllVersion (at least
// CORR_VERSION_TEXT_BYTES bytes); with null it writes the version file instead.
ZE4C_EXPORT void zetcorrGetVersion(char* pcDllVersion);

// Use-case table look-ups (no handle needed). Unknown use cases give counts 0 and
// indices -1; -1 also means "absent".
ZE4C_EXPORT uint8_t zetcorrGetUsecaseImagesCnt(uint8_t ucUsecaseID, uint8_t ucDepthPhaseNum);
ZE4C_EXPORT uint8_t zetcorrGetUsecaseModFreqsCnt(uint8_t ucUsecaseID);
ZE4C_EXPORT int8_t zetcorrGetUsecaseThisFreq1stPhIdx(uint8_t ucUsecaseID, uint8_t ucDepthPhaseNum,
                                                     int iIndex);
ZE4C_EXPORT int8_t zetcorrGetUsecaseThisFreq1stBgPhIdx(uint8_t ucUsecaseID, uint8_t ucDepthPhaseNum,
                                                       int iIndex);
ZE4C_EXPORT int8_t zetcorrGetUsecaseGrayIdx(uint8_t ucUsecaseID, uint8_t m_ucDepthPhaseNum);
ZE4C_EXPORT int8_t zetcorrGetUsecaseBackgroundIdx(uint8_t ucUsecaseID, uint8_t m_ucDepthPhaseNum,
                                                  int iIndex);

}  // extern "C"
