#include "vc_TofCorrPostprocCode/_Main/zeaFixParas_Corr.h"

#include <algorithm>
#include <cstring>

#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"

namespace NAMESPACE_CORR {
namespace {

constexpr const char* kLog = DBG_INIT_LOG_FILE;
constexpr const char* kField = "    ------ zetcorrInit() -> CORR_FIXPARA* pstFixParas -> ";

bool isZef4471(const char* pcSensorID) {
    return std::strncmp(pcSensorID, CORR_SENSOR_ID_PREFIX, sizeof(CORR_SENSOR_ID_PREFIX) - 1) == 0;
}

// Records one failed check: its bit, and the block of enumerator name, value and range.
struct CheckLog {
    uint32_t* puiFlag;
    uint8_t ucLog;

    void fail(uint32_t uiBit, const char* pcName, const char* pcField, long lValue, const char* pcRange) const {
        *puiFlag |= uiBit;
        DBG_WriteLog(ucLog, kLog, "\n    %s:\n%s%s: = %ld\n           %s\n", pcName, kField, pcField, lValue,
                     pcRange);
    }
};

// A buffer or output type above its maximum is replaced by its default and reported.
template <class E>
void correctEnum(E& eValue, int iMax, E eDefault, uint32_t uiBit, const char* pcName, const char* pcField,
                 const CheckLog& abnormal) {
    if (static_cast<int>(eValue) >= 0 && static_cast<int>(eValue) <= iMax) return;
    abnormal.fail(uiBit, pcName, pcField, static_cast<long>(eValue), "has been set to its default value");
    eValue = eDefault;
}

void checkFrameParas(const CORR_FIXPARA& p, int iFreqs, const CheckLog& fail) {
    if (p.pstFixFrmPara == nullptr) {
        *fail.puiFlag |= CORR_INIT_FAIL_INVALID_PARA_FIX_FRM_PARA;
        DBG_WriteLog(fail.ucLog, kLog,
                     "\n    CORR_INIT_FAIL_INVALID_PARA_FIX_FRM_PARA:\n%spstFixFrmPara: = NULL\n"
                     "           but ucEnableFixFrmPara == 1\n",
                     kField);
        return;
    }
    const CORR_FRMPARA_FIX& f = *p.pstFixFrmPara;
    // An unknown sensor has no valid frequency at all.
    const float fMaxFreq = isZef4471(p.cSensorID) ? CORR_ZEF4471_MAX_MOD_FREQ_MHZ : 0.0f;
    for (int i = 0; i < iFreqs; ++i) {
        const float fFreq = f.fModFreqMHZ[i];
        if (fFreq > 1e-6f && fFreq <= fMaxFreq) continue;  // also rejects NaN
        *fail.puiFlag |= CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ;
        DBG_WriteLog(fail.ucLog, kLog,
                     "\n    CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ:\n%spstFixFrmPara -> fModFreqMHZ[%d]: = %.3f\n"
                     "           ZEF4471 valid range: %d/%d MHz ~ %d/%d MHz)\n",
                     kField, i, static_cast<double>(fFreq), 960, 32, 960, 3);
    }
    if (f.usPixelRoiStartX > CORR_MAX_WIDTH - 1) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_PIXEL_ROI_START_XY, "CORR_INIT_FAIL_INVALID_PARA_PIXEL_ROI_START_XY",
                  "pstFixFrmPara -> usPixelRoiStartX", f.usPixelRoiStartX, "usPixelRoiStartX's valid range is [0, 639]");
    }
    if (f.usPixelRoiStartY > CORR_MAX_HEIGHT - 1) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_PIXEL_ROI_START_XY, "CORR_INIT_FAIL_INVALID_PARA_PIXEL_ROI_START_XY",
                  "pstFixFrmPara -> usPixelRoiStartY", f.usPixelRoiStartY, "usPixelRoiStartY's valid range is [0, 479]");
    }
    if (f.ePixelMirrorMode < 0 || f.ePixelMirrorMode > CORR_PIXEL_MIRROR_UDLR) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_PIXEL_MIRROR_MODE, "CORR_INIT_FAIL_INVALID_PARA_PIXEL_MIRROR_MODE",
                  "pstFixFrmPara -> ePixelMirrorMode", f.ePixelMirrorMode, "ePixelMirrorMode's valid range is [0, 3]");
    }
    if (f.ePixelPhaseMode < 0 || f.ePixelPhaseMode > CORR_PIXEL_PHASE_MODE_16) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_PIXEL_PHASE_MODE, "CORR_INIT_FAIL_INVALID_PARA_PIXEL_PHASE_MODE",
                  "pstFixFrmPara -> ePixelPhaseMode", f.ePixelPhaseMode, "ePixelPhaseMode's valid range is [0, 4]");
    }
}

bool isBinnedInY(CORR_PIXEL_BINNING_MODE eMode) {
    return eMode == CORR_PIXEL_BINNING_2x1 || eMode == CORR_PIXEL_BINNING_2x2 || eMode == CORR_PIXEL_BINNING_4x4;
}

}  // namespace

void MAINC_LogFixedParas(const CORR_FIXPARA& p, uint8_t ucLog) {
    DBG_WriteLog(ucLog, kLog,
                 "\nInput fixed parameters:\n"
                 "------ cSensorID:                 %.32s\n"
                 "------ eUsecaseID:                %d\n"
                 "------ usInImgWidth:              %d\n"
                 "------ usInImgHeight:             %d\n"
                 "------ eIsHasEbd:                 %d\n"
                 "------ uiEbdBytes:                %u\n"
                 "------ ucEnableFixFrmPara:        %d\n"
                 "------ ePixelBinningMode:         %d\n"
                 "------ ucDepthPhaseNum:           %d\n"
                 "------ ePixelGrayBgMode:          %d\n"
                 "------ usPixelGrayBgZeroValue:    %d\n"
                 "------ eHDRMode:                  %d\n"
                 "------ ucEnableDataSwapHighLowBits: %d\n"
                 "------ ucDataRightShiftBits:      %d\n"
                 "------ usOutImgWidth:             %d\n"
                 "------ usOutImgHeight:            %d\n"
                 "------ eOutBufferType (PC, Depth, Amp, Gray, Bg, Confidence, Flag, RegRgb): "
                 "%d, %d, %d, %d, %d, %d, %d, %d\n"
                 "------ eOutDepthValueType:        %d\n"
                 "------ eOutDepthType:             %d\n"
                 "------ eOutPointCloudType:        %d\n"
                 "------ pcInCaliParas:             %s (%u bytes)\n",
                 p.cSensorID, p.eUsecaseID, p.usInImgWidth, p.usInImgHeight, p.eIsHasEbd, p.uiEbdBytes,
                 p.ucEnableFixFrmPara, p.ePixelBinningMode, p.ucDepthPhaseNum, p.ePixelGrayBgMode,
                 p.usPixelGrayBgZeroValue, p.eHDRMode, p.ucEnableDataSwapHighLowBits, p.ucDataRightShiftBits,
                 p.usOutImgWidth, p.usOutImgHeight, p.eOutBufferType_PointCloud, p.eOutBufferType_Depth,
                 p.eOutBufferType_Amp, p.eOutBufferType_Gray, p.eOutBufferType_Bg, p.eOutBufferType_Confidence,
                 p.eOutBufferType_Flag, p.eOutBufferType_RegRgb, p.eOutDepthValueType, p.eOutDepthType,
                 p.eOutPointCloudType, p.pcInCaliParas ? "given" : "NULL", p.uiInCaliParasBytes);
    if (p.ucEnableFixFrmPara == 1 && p.pstFixFrmPara != nullptr) {
        const CORR_FRMPARA_FIX& f = *p.pstFixFrmPara;
        DBG_WriteLog(ucLog, kLog,
                     "------ fModFreqMHZ:               %.3f, %.3f, %.3f, %.3f\n"
                     "------ usPixelRoiStartX/Y:        %d, %d\n"
                     "------ ucPixelLowResoStepX/Y:     %d, %d\n"
                     "------ ePixelMirrorMode:          %d\n"
                     "------ ePixelPhaseMode:           %d\n",
                     static_cast<double>(f.fModFreqMHZ[0]), static_cast<double>(f.fModFreqMHZ[1]),
                     static_cast<double>(f.fModFreqMHZ[2]), static_cast<double>(f.fModFreqMHZ[3]),
                     f.usPixelRoiStartX, f.usPixelRoiStartY, f.ucPixelLowResoStepX, f.ucPixelLowResoStepY,
                     f.ePixelMirrorMode, f.ePixelPhaseMode);
    }
}

void MAINC_CheckFixedParas(CORR_FIXPARA* pstFixParas, uint32_t* puiInitSuccFlag, uint32_t* puiInitAbnormalFlag,
                           uint8_t ucLog) {
    if (pstFixParas == nullptr) {
        *puiInitSuccFlag |= CORR_INIT_FAIL_INVALID_FIXPARA_POINTER;
        DBG_WriteLog(ucLog, kLog,
                     "\n    CORR_INIT_FAIL_INVALID_FIXPARA_POINTER:\n"
                     "    ------ zetcorrInit() -> CORR_FIXPARA* pstFixParas: = NULL\n");
        return;
    }
    CORR_FIXPARA& p = *pstFixParas;
    const CheckLog fail{puiInitSuccFlag, ucLog};
    const CheckLog abnormal{puiInitAbnormalFlag, ucLog};

    if (!isZef4471(p.cSensorID)) {
        *puiInitSuccFlag |= CORR_INIT_FAIL_INVALID_PARA_SENSORID;
        DBG_WriteLog(ucLog, kLog,
                     "\n    CORR_INIT_FAIL_INVALID_PARA_SENSORID:\n%scSensorID: = %.32s\n"
                     "           cSensorID's valid value begins with \"%s\"\n",
                     kField, p.cSensorID, CORR_SENSOR_ID_PREFIX);
    }
    const bool bUsecaseValid = p.eUsecaseID >= CORR_USECASE_ID_GRAY && p.eUsecaseID <= CORR_USECASE_ID_FF_BG_GRAY;
    if (!bUsecaseValid) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_USECASEID, "CORR_INIT_FAIL_INVALID_PARA_USECASEID", "eUsecaseID",
                  p.eUsecaseID, "eUsecaseID's valid range is [1, 32]");
    }
    if (p.usInImgWidth < 1 || p.usInImgWidth > CORR_MAX_WIDTH) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_IN_IMG_WIDTH, "CORR_INIT_FAIL_INVALID_PARA_IN_IMG_WIDTH", "usInImgWidth",
                  p.usInImgWidth, "usInImgWidth's valid range is [1, 640]");
    }
    if (p.usInImgHeight < 1 || p.usInImgHeight > CORR_MAX_HEIGHT) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_IN_IMG_HEIGHT, "CORR_INIT_FAIL_INVALID_PARA_IN_IMG_HEIGHT",
                  "usInImgHeight", p.usInImgHeight, "usInImgHeight's valid range is [1, 480]");
    }
    if (p.eIsHasEbd < 0 || p.eIsHasEbd > CORR_ADDINFO_AFTER_IMG) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_IS_HAS_EBD, "CORR_INIT_FAIL_INVALID_PARA_IS_HAS_EBD", "eIsHasEbd",
                  p.eIsHasEbd, "eIsHasEbd's valid range is [0, 4]");
    }
    const bool bEbdWithImage = p.eIsHasEbd == CORR_EBD_BEFORE_IMG || p.eIsHasEbd == CORR_EBD_AFTER_IMG ||
                               p.eIsHasEbd == CORR_ADDINFO_AFTER_IMG;
    if (bEbdWithImage && p.uiEbdBytes == 0) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_EBD_BYTES, "CORR_INIT_FAIL_INVALID_PARA_EBD_BYTES", "uiEbdBytes",
                  p.uiEbdBytes, "uiEbdBytes must not be 0 when the embedded data lies beside the image");
    }
    if (p.ucEnableFixFrmPara == 1) {
        const int iFreqs = bUsecaseValid ? UC_GetUsecaseLayout(p.eUsecaseID, p.ucDepthPhaseNum).ucModFreqsNum : 0;
        checkFrameParas(p, iFreqs, fail);
    } else if (p.eIsHasEbd == CORR_NO_EBD || p.uiEbdBytes == 0) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_ENABLE_FIX_FRM_PARA, "CORR_INIT_FAIL_INVALID_PARA_ENABLE_FIX_FRM_PARA",
                  "ucEnableFixFrmPara", p.ucEnableFixFrmPara,
                  "without fixed frame parameters the frames must carry embedded data");
    }
    if (p.ePixelBinningMode < 0 || p.ePixelBinningMode > CORR_PIXEL_BINNING_4x4) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_PIXEL_BINNING_MODE, "CORR_INIT_FAIL_INVALID_PARA_PIXEL_BINNING_MODE",
                  "ePixelBinningMode", p.ePixelBinningMode, "ePixelBinningMode's valid range is [0, 4]");
    }
    if (p.ucDepthPhaseNum != 2 && p.ucDepthPhaseNum != 4) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_DEPTH_PHASE_NUM, "CORR_INIT_FAIL_INVALID_PARA_DEPTH_PHASE_NUM",
                  "ucDepthPhaseNum", p.ucDepthPhaseNum, "ucDepthPhaseNum's valid values are 2 and 4");
    }
    if (p.ePixelGrayBgMode < 0 || p.ePixelGrayBgMode > CORR_PIXEL_GRAYBG_MODE_2048UP) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_PIXEL_GRAYBG_MODE, "CORR_INIT_FAIL_INVALID_PARA_PIXEL_GRAYBG_MODE",
                  "ePixelGrayBgMode", p.ePixelGrayBgMode, "ePixelGrayBgMode's valid range is [0, 2]");
    }
    if (p.usPixelGrayBgZeroValue > 4096) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_PIXEL_GRAYBG_MODE, "CORR_INIT_FAIL_INVALID_PARA_PIXEL_GRAYBG_MODE",
                  "usPixelGrayBgZeroValue", p.usPixelGrayBgZeroValue, "usPixelGrayBgZeroValue's valid range is [0, 4096]");
    }
    if (p.eHDRMode < 0 || p.eHDRMode > CORR_HDR_DF_2FRAME) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_HDR_MODE, "CORR_INIT_FAIL_INVALID_PARA_HDR_MODE", "eHDRMode", p.eHDRMode,
                  "eHDRMode's valid range is [0, 3]");
    }
    if (p.ucEnableDataSwapHighLowBits > 1) {
        abnormal.fail(CORR_INIT_ABNORMAL_INVALID_PARA_ENABLE_DATA_SWAP_BITS,
                      "CORR_INIT_ABNORMAL_INVALID_PARA_ENABLE_DATA_SWAP_BITS", "ucEnableDataSwapHighLowBits",
                      p.ucEnableDataSwapHighLowBits, "has been set to 0");
        p.ucEnableDataSwapHighLowBits = 0;
    }
    if (p.ucDataRightShiftBits > 16) {
        abnormal.fail(CORR_INIT_ABNORMAL_INVALID_PARA_DATA_RIGHT_SHIFT_BITS,
                      "CORR_INIT_ABNORMAL_INVALID_PARA_DATA_RIGHT_SHIFT_BITS", "ucDataRightShiftBits",
                      p.ucDataRightShiftBits, "has been set to 0");
        p.ucDataRightShiftBits = 0;
    }
    if (p.usOutImgWidth != p.usInImgWidth && p.usOutImgWidth != p.usInImgWidth / 2) {
        *puiInitSuccFlag |= CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_WIDTH;
        DBG_WriteLog(ucLog, kLog,
                     "\n    CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_WIDTH:\n%susOutImgWidth: = %d\n"
                     "           usOutImgWidth's valid range is: %d(when no digital binning) or %d(when digital "
                     "binning)\n",
                     kField, p.usOutImgWidth, p.usInImgWidth, p.usInImgWidth / 2);
    }
    if (p.usOutImgHeight != p.usInImgHeight) {
        fail.fail(CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_HEIGHT, "CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_HEIGHT",
                  "usOutImgHeight", p.usOutImgHeight, "usOutImgHeight must equal usInImgHeight");
    }

    correctEnum(p.eOutBufferType_PointCloud, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_PC, "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_PC",
                "eOutBufferType_PointCloud", abnormal);
    correctEnum(p.eOutBufferType_Depth, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_DEPTH,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_DEPTH", "eOutBufferType_Depth", abnormal);
    correctEnum(p.eOutBufferType_Amp, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_AMP, "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_AMP",
                "eOutBufferType_Amp", abnormal);
    correctEnum(p.eOutBufferType_Gray, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_GRAY,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_GRAY", "eOutBufferType_Gray", abnormal);
    correctEnum(p.eOutBufferType_Bg, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_BG, "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_BG",
                "eOutBufferType_Bg", abnormal);
    correctEnum(p.eOutBufferType_Confidence, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_CONFI,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_CONFI", "eOutBufferType_Confidence", abnormal);
    correctEnum(p.eOutBufferType_Flag, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_FLAG,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_FLAG", "eOutBufferType_Flag", abnormal);
    // The registered-RGB type has no abnormal bit of its own; it is corrected and logged.
    correctEnum(p.eOutBufferType_RegRgb, OIMG_BUFFER_INNER, OIMG_BUFFER_INNER, 0u,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_REG_RGB", "eOutBufferType_RegRgb", abnormal);
    correctEnum(p.eOutDepthValueType, DEPTH_VALUE_XYZ, DEPTH_VALUE_XYZ, CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_VALUE_TYPE,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_VALUE_TYPE", "eOutDepthValueType", abnormal);
    correctEnum(p.eOutDepthType, DEPTH_TYPE_DEPTH16, DEPTH_TYPE_UINT16, CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_TYPE,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_TYPE", "eOutDepthType", abnormal);
    correctEnum(p.eOutPointCloudType, PC_TYPE_DEPTH_POINT_CLOUD, PC_TYPE_PC32F,
                CORR_INIT_ABNORMAL_INVALID_PARA_OUT_POINT_CLOUE_TYPE,
                "CORR_INIT_ABNORMAL_INVALID_PARA_OUT_POINT_CLOUE_TYPE", "eOutPointCloudType", abnormal);

    if (p.pcInCaliParas == nullptr) {
        *puiInitAbnormalFlag |= CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER;
        DBG_WriteLog(ucLog, kLog,
                     "\n    CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER:\n%spcInCaliParas: = NULL\n"
                     "           every calibration-based correction is off\n",
                     kField);
    }
}

void MAINC_SetGlbFixVars(const CORR_FIXPARA& p, GLB_FIX_VARS& v, uint32_t* puiInitSuccFlag) {
    std::memcpy(v.cSensorID, p.cSensorID, sizeof(v.cSensorID));
    v.eSensorType = isZef4471(p.cSensorID) ? SENSOR_TYPE_4471 : SENSOR_TYPE_UNKNOWN;
    v.eUsecaseID = p.eUsecaseID;

    const UsecaseLayout layout = UC_GetUsecaseLayout(p.eUsecaseID, p.ucDepthPhaseNum);
    v.ucInSubFrmsNum = layout.ucInSubFrmsNum;
    v.ucModFreqsNum = layout.ucModFreqsNum;
    v.ucDepthPhaseNum = p.ucDepthPhaseNum;
    v.ucIsHasBgPhase = layout.ucIsHasBgPhase;
    v.ucIsHasGray = layout.ucIsHasGray;
    v.ucBgNum = layout.ucBgNum;
    std::copy(std::begin(layout.cIn1stPhaseId), std::end(layout.cIn1stPhaseId), v.cIn1stPhaseId);
    std::copy(std::begin(layout.cIn1stBgPhaseId), std::end(layout.cIn1stBgPhaseId), v.cIn1stBgPhaseId);
    v.cInGrayId = layout.cInGrayId;
    v.cInBgId[0] = layout.cInBgId[0];
    v.cInBgId[1] = layout.cInBgId[1];

    v.usInImgWidth = p.usInImgWidth;
    v.usInImgHeight = p.usInImgHeight;
    v.usOutImgWidth = p.usOutImgWidth;
    v.usOutImgHeight = p.usOutImgHeight;
    v.eIsHasEbd = p.eIsHasEbd;
    v.uiEbdBytes = p.uiEbdBytes;

    GLB_WORK_SENSOR_STATUS& s = v.stWorkSensorStatus;
    s = GLB_WORK_SENSOR_STATUS{};
    s.ePixelBinningMode = p.ePixelBinningMode;
    v.bFixFrmParaAtInit = p.ucEnableFixFrmPara == 1 && p.pstFixFrmPara != nullptr ? 1 : 0;
    if (v.bFixFrmParaAtInit == 1) {
        const CORR_FRMPARA_FIX& f = *p.pstFixFrmPara;
        // Only the slots the use case uses carry a frequency; the others stay 0.
        for (int i = 0; i < v.ucModFreqsNum; ++i) v.fModFreqsMHZ[i] = f.fModFreqMHZ[i];
        s.usPixelRoiStartX = f.usPixelRoiStartX;
        s.usPixelRoiStartY = f.usPixelRoiStartY;
        s.ePixelMirrorMode = f.ePixelMirrorMode;
        s.ePixelPhaseMode = f.ePixelPhaseMode;
        // A step of 0 stands for the sensor's largest step. Binning in y doubles the row
        // step (kept within the 8-bit field).
        s.ucPixelLowResoStepX = f.ucPixelLowResoStepX == 0 ? 32 : f.ucPixelLowResoStepX;
        if (f.ucPixelLowResoStepY == 0) {
            s.ucPixelLowResoStepY = isBinnedInY(p.ePixelBinningMode) ? 16 : 32;
        } else {
            const int iStepY = isBinnedInY(p.ePixelBinningMode) ? 2 * f.ucPixelLowResoStepY : f.ucPixelLowResoStepY;
            s.ucPixelLowResoStepY = static_cast<uint8_t>(std::min(iStepY, 255));
        }
    }

    v.ePixelGrayBgMode = p.ePixelGrayBgMode;
    v.usPixelGrayBgZeroValue = p.usPixelGrayBgZeroValue;
    v.eHDRMode = p.eHDRMode;
    v.ucEnableDataSwapHighLowBits = p.ucEnableDataSwapHighLowBits;
    v.ucDataRightShiftBits = p.ucDataRightShiftBits;
    v.bEnableManualOffsetCorr = 0;

    v.eOutBufferType[OIMG_NAME_POINTCLOUD] = p.eOutBufferType_PointCloud;
    v.eOutBufferType[OIMG_NAME_DEPTH] = p.eOutBufferType_Depth;
    v.eOutBufferType[OIMG_NAME_AMP] = p.eOutBufferType_Amp;
    v.eOutBufferType[OIMG_NAME_GRAY] = p.eOutBufferType_Gray;
    v.eOutBufferType[OIMG_NAME_BG] = p.eOutBufferType_Bg;
    v.eOutBufferType[OIMG_NAME_FLAG] = p.eOutBufferType_Flag;
    v.eOutBufferType[OIMG_NAME_CONFIDENCE] = p.eOutBufferType_Confidence;
    v.eOutBufferType[OIMG_NAME_REG_RGB] = p.eOutBufferType_RegRgb;
    v.eOutDepthValueType = p.eOutDepthValueType;
    v.eOutDepthType = p.eOutDepthType;
    v.eOutPointCloudType = p.eOutPointCloudType;

    v.eArithWorkMode = UC_GetArithWorkMode(layout);
    if (v.eArithWorkMode == WORK_MODE_UNKNOWN) {
        *puiInitSuccFlag |= CORR_INTI_FAIL_INVALID_WORKMODE;
        return;
    }
    v.ucEnableCalcPointCloud = p.eOutBufferType_PointCloud != OIMG_BUFFER_NULL ||
                                       (p.eOutBufferType_Depth != OIMG_BUFFER_NULL &&
                                        p.eOutDepthValueType == DEPTH_VALUE_XYZ)
                                   ? 1
                                   : 0;
    v.bInitSuccFlag = 1;
}

}  // namespace NAMESPACE_CORR
