// The fixed parameters of zetcorrInit: their checks, the replacements of correctable
// fields, and the per-handle settings derived from them.
#pragma once

#include <cstdint>

#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"

namespace NAMESPACE_CORR {

inline constexpr char CORR_SENSOR_ID_PREFIX[] = "ZEF4471";
inline constexpr float CORR_ZEF4471_MAX_MOD_FREQ_MHZ = 321.0f;

// Writes the fixed parameters to the init log.
void MAINC_LogFixedParas(const CORR_FIXPARA& stFixParas, uint8_t ucEnableLogFile);

// Checks every field in turn, sets the init success bit of each failing check and logs it.
// Correctable fields (swap, shift, buffer and output types) are replaced in the caller's
// structure and reported in the abnormal mask; so is a missing calibration blob.
void MAINC_CheckFixedParas(CORR_FIXPARA* pstFixParas, uint32_t* puiInitSuccFlag, uint32_t* puiInitAbnormalFlag,
                           uint8_t ucEnableLogFile);

// Fills the settings from checked fixed parameters; sets CORR_INTI_FAIL_INVALID_WORKMODE
// when the use case yields no work mode.
void MAINC_SetGlbFixVars(const CORR_FIXPARA& stFixParas, GLB_FIX_VARS& stFixVars, uint32_t* puiInitSuccFlag);

}  // namespace NAMESPACE_CORR
