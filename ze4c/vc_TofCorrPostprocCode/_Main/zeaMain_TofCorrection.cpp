#include "vc_TofCorrPostprocCode/_Main/zeaMain_TofCorrection.h"

#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zeaOutImages_Corr.h"

namespace NAMESPACE_CORR {

void MAINC_RunFrame(GLB_BUFFERS& g, CORR_INDATAS& /*stInDatas*/, CORR_OUTDATAS& stOutDatas, uint32_t* puiSuccFlag,
                    uint32_t* puiAbnormalFlag, uint8_t ucLog) {
    MAINC_SetOutImages(g, stOutDatas, puiSuccFlag, puiAbnormalFlag, ucLog);
    // The work modes (input parsing, depth, gray and background processing) are not part
    // of this build. The frame is reported as failed, so the cleared output images are
    // never taken for results.
    *puiSuccFlag |= CORR_ARITH_FAIL_CALC_DEPTH;
    DBG_WriteLog(ucLog, DBG_RUN_LOG_FILE,
                 "\n    CORR_ARITH_FAIL_CALC_DEPTH:\n"
                 "    ------ work mode %d cannot run: frame processing is not available in this build\n",
                 g.pstGlbFixVars->eArithWorkMode);
}

}  // namespace NAMESPACE_CORR
