// Buffer blocks and states of the calibration-driven modules: each block starts with its
// fixed and dynamic byte counts and its state, then holds its calibration records. A
// module's state starts with its enable switch, which the dynamic parameters set.
//
// Per-frequency modules keep four slots; slot i holds the record of the calibration
// frequency that working frequency i maps to.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vc_TofCorrPostprocCode/Correct/zeaCaliRecords_Corr.h"

namespace NAMESPACE_CORR {

inline constexpr int CORR_FREQ_SLOTS = 4;

// Load state of one calibration record: whether it loaded, and why not.
struct CaliLoadState {
    BBOOL bCaliParaLoadSucc = 0;
    uint32_t uiCaliParaLoadSuccFlag = 0;
};

typedef struct CorrectBP_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce = 1;
    CaliLoadState stCaliLoad;
} BP_GLB_VARS;

typedef struct CorrectBP_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<BP_GLB_VARS> pstGlbVars;
    std::unique_ptr<BP_CALI_PARAS> pstCaliParas;
} BP_GLB_BUFFERS;

typedef struct CorrectMASK_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce = 1;
    CaliLoadState stCaliLoad;
} MASK_GLB_VARS;

typedef struct CorrectMASK_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<MASK_GLB_VARS> pstGlbVars;
    std::unique_ptr<MASK_CALI_PARAS> pstCaliParas;
} MASK_GLB_BUFFERS;

typedef struct CorrectLEN_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce = 1;
    BBOOL bEnableFillUnvalidPixels = 1;  // sources outside the image take the nearest edge pixel
    BBOOL bEnableCutUnvalidPixels = 1;   // apply the record's zoom
    CaliLoadState stCaliLoad;
} LEN_GLB_VARS;

typedef struct CorrectLEN_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<LEN_GLB_VARS> pstGlbVars;
    std::unique_ptr<LEN_CALI_PARAS> pstCaliParas;
} LEN_GLB_BUFFERS;

typedef struct TCorrect_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce[CORR_FREQ_SLOTS] = {1, 1, 1, 1};
    CaliLoadState stCaliLoad[CORR_FREQ_SLOTS];
} T_GLB_VARS;

typedef struct TCorrect_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<T_GLB_VARS> pstGlbVars;
    std::unique_ptr<T_CALI_PARAS> pstCaliParas[CORR_FREQ_SLOTS];
} T_GLB_BUFFERS;

typedef struct CorrectOffset_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce[CORR_FREQ_SLOTS] = {1, 1, 1, 1};
    BBOOL bEnableCombineCorrectOfsFppn = 1;
    CaliLoadState stCaliLoad[CORR_FREQ_SLOTS];
} OFS_GLB_VARS;

typedef struct CorrectOffset_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<OFS_GLB_VARS> pstGlbVars;
    std::unique_ptr<OFS_CALI_PARAS> pstCaliParas[CORR_FREQ_SLOTS];
} OFS_GLB_BUFFERS;

typedef struct CorrectFPPN_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce[CORR_FREQ_SLOTS] = {1, 1, 1, 1};
    CaliLoadState stCaliLoad[CORR_FREQ_SLOTS];
} FPPN_GLB_VARS;

typedef struct CorrectFPPN_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<FPPN_GLB_VARS> pstGlbVars;
    std::unique_ptr<FPPN_CALI_PARAS> pstCaliParas[CORR_FREQ_SLOTS];
    // The error image shared by every slot, as stored in the blob, and its second copy.
    std::vector<uint8_t> pCaliErrImageMM;
    std::vector<uint8_t> pCaliErrImageMMFilter;
    BBOOL bHasLoadCaliErrImageMM = 0;
} FPPN_GLB_BUFFERS;

typedef struct CorrectWIG_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce[CORR_FREQ_SLOTS] = {1, 1, 1, 1};
    CaliLoadState stCaliLoad[CORR_FREQ_SLOTS];
} WIG_GLB_VARS;

typedef struct CorrectWIG_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<WIG_GLB_VARS> pstGlbVars;
    std::unique_ptr<WIG_CALI_PARAS> pstCaliParas[CORR_FREQ_SLOTS];
} WIG_GLB_BUFFERS;

typedef struct CorrectFPN_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce = 1;
    CaliLoadState stCaliLoad;
} FPN_GLB_VARS;

typedef struct CorrectFPN_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<FPN_GLB_VARS> pstGlbVars;
    std::unique_ptr<FPN_CALI_PARAS> pstCaliParas;
} FPN_GLB_BUFFERS;

typedef struct CorrectLuma_Global_Variables {
    BBOOL bEnableCorrect = 1;
    BBOOL bEnableInitOnce = 1;
    CaliLoadState stCaliLoad;
} LUMA_GLB_VARS;

typedef struct CorrectLuma_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<LUMA_GLB_VARS> pstGlbVars;
    std::unique_ptr<LUMA_CALI_PARAS> pstCaliParas;
} LUMA_GLB_BUFFERS;

typedef struct CorrectPhaseFPPN_Global_Variables {
    BBOOL bEnableInitOnce = 1;
    CaliLoadState stCaliLoad;
} PHASE_FPPN_GLB_VARS;

typedef struct CorrectPHASE_FPPN_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<PHASE_FPPN_GLB_VARS> pstGlbVars;
    std::unique_ptr<PHASE_FPPN_CALI_PARAS> pstCaliParas;
} PHASE_FPPN_GLB_BUFFERS;

typedef struct Registration_Global_Variables {
    BBOOL bEnableRegistration = 0;
    CaliLoadState stCaliLoad;
} REG_GLB_VARS;

typedef struct Registration_Global_Buffer_Pointer {
    uint32_t uiFixBufferBytes = 0;
    uint32_t uiDynBufferBytes = 0;
    std::unique_ptr<REG_GLB_VARS> pstGlbVars;
    std::unique_ptr<REG_CALI_PARAS> pstCaliParas;
} REG_GLB_BUFFERS;

}  // namespace NAMESPACE_CORR
