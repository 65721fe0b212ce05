// The correction library's handle and everything it owns: the per-handle settings, the
// library's output images, the per-frame working images and the module blocks.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "vc_TofCorrPostprocCode/Common/zeaUsecase_Corr.h"
#include "vc_TofCorrPostprocCode/Correct/zeaCorrectModules_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zealib_TofCorrection.h"

namespace NAMESPACE_CORR {

inline constexpr int CORR_MAX_WIDTH = 640;
inline constexpr int CORR_MAX_HEIGHT = 480;
inline constexpr int CORR_OUT_IMAGES = 8;  // indexed by OUT_IMAGE_NAME

// Read-out status of the sensor while working.
typedef struct Global_WorkSensorStatus {
    uint16_t usPixelRoiStartX = 0;
    uint16_t usPixelRoiStartY = 0;
    uint8_t ucPixelLowResoStepX = 1;
    uint8_t ucPixelLowResoStepY = 1;
    CORR_PIXEL_BINNING_MODE ePixelBinningMode = CORR_PIXEL_BINNING_OFF;
    CORR_PIXEL_MIRROR_MODE ePixelMirrorMode = CORR_PIXEL_MIRROR_OFF;
    CORR_PIXEL_PHASE_MODE ePixelPhaseMode = CORR_PIXEL_PHASE_MODE_OFF;
} GLB_WORK_SENSOR_STATUS;

// Output-to-calibration coordinate map: look-up tables of calibration columns and rows
// for the output image.
typedef struct CoordinateMap_Out2Cali {
    int32_t iRoiXMapUnitLen;
    int32_t iRoiYMapUnitLen;
    int32_t iRoiXMapTimes;
    int32_t iRoiYMapTimes;
    int32_t iRoiXMapLUT[CORR_MAX_WIDTH];
    int32_t iRoiYMapLUT[CORR_MAX_HEIGHT];
} COOR_MAP_OUT2CALI;

// Per-handle settings and values derived from the fixed parameters and the calibration.
typedef struct Global_Variables_Fixed {
    BBOOL bInitSuccFlag = 0;
    char cSensorID[32] = {};
    SENSOR_TYPE eSensorType = SENSOR_TYPE_UNKNOWN;
    CORR_USECASE_ID eUsecaseID = CORR_USECASE_ID_UNKNOWN;
    uint32_t uiFrameID = 0;

    // Use-case layout.
    uint8_t ucInSubFrmsNum = 0;
    uint8_t ucModFreqsNum = 0;
    uint8_t ucDepthPhaseNum = 0;
    BBOOL ucIsHasBgPhase = 0;
    BBOOL ucIsHasGray = 0;
    uint8_t ucBgNum = 0;
    int8_t cIn1stPhaseId[4] = {-1, -1, -1, -1};
    int8_t cIn1stBgPhaseId[4] = {-1, -1, -1, -1};
    int8_t cInGrayId = -1;
    int8_t cInBgId[2] = {-1, -1};

    uint16_t usInImgWidth = 0;
    uint16_t usInImgHeight = 0;
    uint16_t usOutImgWidth = 0;
    uint16_t usOutImgHeight = 0;
    CORR_EBD_TYPE eIsHasEbd = CORR_NO_EBD;
    uint32_t uiEbdBytes = 0;

    BBOOL bFixFrmParaAtInit = 0;  // the frame parameters were fixed at init
    float fModFreqsMHZ[4] = {};
    GLB_WORK_SENSOR_STATUS stWorkSensorStatus;

    CORR_PIXEL_GRAYBG_MODE ePixelGrayBgMode = CORR_PIXEL_GRAYBG_MODE_NORMAL;
    uint16_t usPixelGrayBgZeroValue = 0;
    CORR_HDE_MODE eHDRMode = CORR_HDR_OFF;
    uint8_t ucEnableDataSwapHighLowBits = 0;
    uint8_t ucDataRightShiftBits = 0;

    BBOOL bEnableManualOffsetCorr = 0;
    int16_t sManualOffsetCorretionMM[4] = {};  // per calibration slot

    OUT_IMAGE_BUFFER_TYPE eOutBufferType[CORR_OUT_IMAGES] = {};  // indexed by OUT_IMAGE_NAME
    DEPTH_VALUE_TYPE eOutDepthValueType = DEPTH_VALUE_XYR;
    DEPTH_DATA_TYPE eOutDepthType = DEPTH_TYPE_UINT16;
    POINTCLOUD_DATA_TYPE eOutPointCloudType = PC_TYPE_PC32F;
    ARITH_WORK_MODE eArithWorkMode = WORK_MODE_UNKNOWN;
    BBOOL ucEnableCalcPointCloud = 0;
    uint32_t uiArithFrmCnt = 0;

    // Calibration (loaded at init).
    BBOOL bLoadCaliParasSuccFlag = 0;
    uint32_t uiLoadCaliParasFlag = 0;  // CPD3P1_CALIPARAS_SUCCESS_FLAG bits
    CALI_PARAS_VERSION eCaliParasVersion = CALI_PARAS_UNKNOWN;
    char cCaliArithVersion[16] = {};
    GLB_CALI_SENSOR_STATUS stCaliSensorStatus = {};
    BBOOL bMaxFreqLoadFromCaliParas = 0;
    int32_t iMaxFreqFromCali = 0;
    uint16_t usCaliModFreqsMHZ[4] = {};   // working frequencies rounded up to integer MHz
    int8_t cWorkFreq2CaliFreqID[4] = {-1, -1, -1, -1};  // calibration index of each working slot
    T_DRIVER_TYPE eTDriverType = T_DRIVER_UNKNOWN;
    CaliParas_CommonParas stCaliCommonParas;  // the blob's header as parsed (empty without one)

    // The dynamic parameters in force, after validation.
    CORR_DYNPARA stDynParas = {};
    BBOOL bHasSetDynParas = 0;
} GLB_FIX_VARS;

// The library's own output image memory, for images whose buffer type is INNER.
typedef struct Global_Varables_OutDatas {
    std::vector<char> pcOutImg[CORR_OUT_IMAGES];  // indexed by OUT_IMAGE_NAME; one background
    std::array<char, CORR_OUT_PARAS_LINE_BYTES> pcOutParasLn = {};
} GLB_OUT_DATAS;

// Per-frame working images.
typedef struct Global_Dynamic_Buffer_Pointer {
    std::vector<int32_t> piDepths[4];
    std::vector<uint16_t> pusAmps[4];
    std::vector<uint8_t> pucFlags[4];
    std::vector<int32_t> piDepthFusion;
    // Stand-ins for amplitude, flag, confidence and point cloud when the caller wants none
    // and no inner output exists.
    std::vector<uint16_t> pusTempAmp;
    std::vector<uint8_t> pucTempFlag;
    std::vector<uint8_t> pucTempConfidence;
    std::vector<float> pfTempPointCloud;
    std::vector<int32_t> piOut2PhaseCoorMap;
    std::vector<int32_t> piZeroImg;
} GLB_DYN_BUFFERS;

// The handle. Its first field holds its own address, so a handle that was copied or moved
// is recognised and rejected.
typedef struct Global_Buffer_Pointer {
    void* pGlbBufferAddress = nullptr;
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<GLB_FIX_VARS> pstGlbFixVars;
    std::unique_ptr<GLB_OUT_DATAS> pstGlbOutDatas;
    std::unique_ptr<BP_GLB_BUFFERS> pGlbBuffer_BP;
    std::unique_ptr<MASK_GLB_BUFFERS> pGlbBuffer_MASK;
    std::unique_ptr<LEN_GLB_BUFFERS> pGlbBuffer_LEN;
    std::unique_ptr<T_GLB_BUFFERS> pGlbBuffer_T;
    std::unique_ptr<FPPN_GLB_BUFFERS> pGlbBuffer_FPPN;
    std::unique_ptr<WIG_GLB_BUFFERS> pGlbBuffer_WIG;
    std::unique_ptr<FPN_GLB_BUFFERS> pGlbBuffer_FPN;
    std::unique_ptr<LUMA_GLB_BUFFERS> pGlbBuffer_LUMA;
    std::unique_ptr<PHASE_FPPN_GLB_BUFFERS> pGlbBuffer_PhaseFPPN;  // two phases per frequency only
    std::unique_ptr<OFS_GLB_BUFFERS> pGlbBuffer_OFS;
    std::unique_ptr<REG_GLB_BUFFERS> pGlbBuffer_REG;
    std::vector<int16_t> psPhaseDiff[8];  // two phase-difference images per frequency
    std::unique_ptr<COOR_MAP_OUT2CALI> pstThis2CalicCoorMap;
    std::unique_ptr<GLB_DYN_BUFFERS> pstGlbDynBuffers;
} GLB_BUFFERS;

// True when pGlbBuffer holds its own address, as a handle made by zetcorrInit does until
// it is released.
bool GLB_HasOwnAddress(const void* pGlbBuffer);

// The handle behind pGlbBuffer after the checks every call with a handle makes, or null
// with the failure bits set and logged to pcLogFile: null handle, a handle not at the
// address it was created at (copied, moved or foreign), missing settings, and with
// bCheckRunBuffers the output-data block and working images as well.
GLB_BUFFERS* GLB_CheckHandle(void* pGlbBuffer, bool bCheckRunBuffers, uint32_t* puiSuccFlag,
                             uint8_t ucEnableLogFile, const char* pcLogFile);

// Allocates the output-data block and the module blocks of the calibration-driven modules
// (phase FPPN only with two phases per frequency). The settings must be filled. False
// when memory runs out.
bool GLB_AllocateModuleBlocks(GLB_BUFFERS& stGlb);

// Allocates the library's output images (buffer type INNER) and the per-frame working
// images for the settings' sizes and frequency count. False when memory runs out.
bool GLB_AllocateImageBuffers(GLB_BUFFERS& stGlb);

// Bytes per pixel of an output data type (0 for the types the library never sizes).
uint32_t GLB_OutImageBytesPerPixel(OUT_IMAGE_DATA_TYPE eType);

}  // namespace NAMESPACE_CORR
