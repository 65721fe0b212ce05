// Dynamic parameters of zetcorrSetDynamicConfig: defaults, validation with resets, and
// their application to the handle.
#pragma once

#include <cstdint>

#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"

namespace NAMESPACE_CORR {

// The parameters used when the caller gives none.
CORR_DYNPARA MAINC_DefaultDynParas();

// Returns a copy of stIn with every out-of-range field reset; each reset sets
// CORR_ARITH_ABNORMAL_INVALID_DYNPARA and is logged.
CORR_DYNPARA MAINC_CheckDynParas(const CORR_DYNPARA& stIn, uint32_t* puiAbnormalFlag, uint8_t ucEnableLogFile);

// Hands checked parameters to the modules and the settings.
void MAINC_ApplyDynParas(GLB_BUFFERS& stGlb, const CORR_DYNPARA& stDyn);

}  // namespace NAMESPACE_CORR
