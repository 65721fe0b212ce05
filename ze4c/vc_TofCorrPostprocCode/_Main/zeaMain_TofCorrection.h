// The frame run of the correction library, behind zetcorrRunCorrection's checks.
#pragma once

#include <cstdint>

#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"

namespace NAMESPACE_CORR {

// Runs one frame on a checked handle with present input and output records.
void MAINC_RunFrame(GLB_BUFFERS& stGlb, CORR_INDATAS& stInDatas, CORR_OUTDATAS& stOutDatas, uint32_t* puiSuccFlag,
                    uint32_t* puiAbnormalFlag, uint8_t ucEnableLogFile);

}  // namespace NAMESPACE_CORR
