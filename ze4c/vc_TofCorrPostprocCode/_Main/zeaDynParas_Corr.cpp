#include "vc_TofCorrPostprocCode/_Main/zeaDynParas_Corr.h"

#include <cstdio>

#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"

namespace NAMESPACE_CORR {
namespace {

constexpr const char* kLog = DBG_DYNCONFIG_LOG_FILE;
constexpr float kFusionThreshReset = 0.3f;

class DynChecker {
public:
    DynChecker(uint32_t* puiAbnormalFlag, uint8_t ucLog) : puiAbnormalFlag_(puiAbnormalFlag), ucLog_(ucLog) {}

    // A 0/1 switch; any other value becomes its reset value.
    void onOff(uint8_t& value, const char* pcName, uint8_t reset) {
        if (value <= 1) return;
        report(pcName, value, "> 1");
        DBG_WriteLog(ucLog_, kLog, "    ------ %s has been set to default value: %s (%d)\n", pcName,
                     reset == 1 ? "TRUE" : "FALSE", reset);
        value = reset;
    }

    void range(uint16_t& value, const char* pcName, uint16_t min, uint16_t max, uint16_t reset) {
        if (value >= min && value <= max) return;
        char bound[16];
        std::snprintf(bound, sizeof(bound), value < min ? "< %d" : "> %d", value < min ? min : max);
        report(pcName, value, bound);
        DBG_WriteLog(ucLog_, kLog, "    ------ %s has been set to default value: %d\n", pcName, reset);
        value = reset;
    }

    // Valid above 1e-6 and up to 0.501 (tested as value - 0.501 > 1e-6); NaN is invalid.
    void fusionThresh(float& value) {
        if (value > 1e-6f && !(value - 0.501 > 1e-6)) return;
        *puiAbnormalFlag_ |= CORR_ARITH_ABNORMAL_INVALID_DYNPARA;
        DBG_WriteLog(ucLog_, kLog,
                     "\n    CORR_ARITH_ABNORMAL_INVALID_DYNPARA: %s-fFusionErrorExpandMinTsh (%f) (valid (0, 0.501])\n"
                     "    ------ fFusionErrorExpandMinTsh has been set to default value: %.1f\n",
                     DBG_GBK_INVALID_DYNPARA, static_cast<double>(value), static_cast<double>(kFusionThreshReset));
        value = kFusionThreshReset;
    }

private:
    void report(const char* pcName, int value, const char* pcBound) {
        *puiAbnormalFlag_ |= CORR_ARITH_ABNORMAL_INVALID_DYNPARA;
        DBG_WriteLog(ucLog_, kLog, "\n    CORR_ARITH_ABNORMAL_INVALID_DYNPARA: %s-%s (%d) (%s)\n", DBG_GBK_INVALID_DYNPARA,
                     pcName, value, pcBound);
    }

    uint32_t* puiAbnormalFlag_;
    uint8_t ucLog_;
};

}  // namespace

CORR_DYNPARA MAINC_DefaultDynParas() {
    CORR_DYNPARA d = {};
    d.ucEnableCorrBP = 1;
    d.ucEnableCorrLen = 1;
    d.ucEnableCorrT = 1;
    d.ucEnableCorrOFS = 1;
    d.ucEnableCorrFPPN = 1;
    d.ucEnableCorrWig = 1;
    d.ucEnableCorrFPN = 1;
    d.ucEnableCorrLUMA = 0;
    d.ucEnableCorrMask = 0;
    d.ucEnableLenFillInvalidPixels = 1;
    d.ucEnableLenCutInalidPixels = 1;
    d.ucEnableCorrOffset = 0;
    d.ucEnableCorrSingleDepth = 1;
    d.ucEnableAE = 0;
    d.usAERoiXMin = 0;
    d.usAERoiYMin = 0;
    d.usAERoiXMax = 639;
    d.usAERoiYMax = 479;
    d.usAEOverExposureThres = 240;
    d.usAEOptAmpThres = 200;
    d.usAEContrast = 100;
    d.ucEnableDeALI = 0;
    d.usPresetMaxDist = 4000;
    d.fFusionErrorExpandMinTsh = 0.0f;
    d.ucEnableDeMotionBlur = 0;
    d.ucEnableRegistration = 0;
    return d;
}

CORR_DYNPARA MAINC_CheckDynParas(const CORR_DYNPARA& stIn, uint32_t* puiAbnormalFlag, uint8_t ucLog) {
    CORR_DYNPARA d = stIn;
    DynChecker check(puiAbnormalFlag, ucLog);
    check.onOff(d.ucEnableCorrBP, "ucEnableCorrBP", 1);
    check.onOff(d.ucEnableCorrLen, "ucEnableCorrLen", 1);
    check.onOff(d.ucEnableCorrT, "ucEnableCorrT", 1);
    check.onOff(d.ucEnableCorrOFS, "ucEnableCorrOFS", 1);
    check.onOff(d.ucEnableCorrFPPN, "ucEnableCorrFPPN", 1);
    check.onOff(d.ucEnableCorrWig, "ucEnableCorrWig", 1);
    check.onOff(d.ucEnableCorrFPN, "ucEnableCorrFPN", 1);
    check.onOff(d.ucEnableCorrLUMA, "ucEnableCorrLUMA", 0);
    check.onOff(d.ucEnableCorrMask, "ucEnableCorrMask", 0);
    check.onOff(d.ucEnableLenFillInvalidPixels, "ucEnableLenFillInvalidPixels", 1);
    check.onOff(d.ucEnableLenCutInalidPixels, "ucEnableLenCutInalidPixels", 1);
    check.onOff(d.ucEnableCorrOffset, "ucEnableCorrOffset", 0);
    check.onOff(d.ucEnableCorrSingleDepth, "ucEnableCorrSingleDepth", 1);
    check.onOff(d.ucEnableAE, "ucEnableAE", 0);
    check.range(d.usAEOverExposureThres, "usAEOverExposureThres", 0, 2055, 240);
    check.range(d.usAEOptAmpThres, "usAEOptAmpThres", 10, 4095, 200);
    check.range(d.usAEContrast, "usAEContrast", 10, 2055, 100);
    check.onOff(d.ucEnableDeALI, "ucEnableDeALI", 0);
    check.fusionThresh(d.fFusionErrorExpandMinTsh);
    check.onOff(d.ucEnableDeMotionBlur, "ucEnableDeMotionBlur", 0);
    check.onOff(d.ucEnableRegistration, "ucEnableRegistration", 0);
    return d;
}

void MAINC_ApplyDynParas(GLB_BUFFERS& g, const CORR_DYNPARA& d) {
    GLB_FIX_VARS& fix = *g.pstGlbFixVars;
    fix.stDynParas = d;
    fix.bHasSetDynParas = 1;
    fix.bEnableManualOffsetCorr = d.ucEnableCorrOffset;
    for (int i = 0; i < 4; ++i) fix.sManualOffsetCorretionMM[i] = d.sOffsetCorretion[i];

    if (g.pGlbBuffer_BP) g.pGlbBuffer_BP->pstGlbVars->bEnableCorrect = d.ucEnableCorrBP;
    if (g.pGlbBuffer_LEN) {
        LEN_GLB_VARS& len = *g.pGlbBuffer_LEN->pstGlbVars;
        len.bEnableCorrect = d.ucEnableCorrLen;
        len.bEnableFillUnvalidPixels = d.ucEnableLenFillInvalidPixels;
        len.bEnableCutUnvalidPixels = d.ucEnableLenCutInalidPixels;
    }
    if (g.pGlbBuffer_T) g.pGlbBuffer_T->pstGlbVars->bEnableCorrect = d.ucEnableCorrT;
    if (g.pGlbBuffer_OFS) g.pGlbBuffer_OFS->pstGlbVars->bEnableCorrect = d.ucEnableCorrOFS;
    if (g.pGlbBuffer_FPPN) g.pGlbBuffer_FPPN->pstGlbVars->bEnableCorrect = d.ucEnableCorrFPPN;
    if (g.pGlbBuffer_WIG) g.pGlbBuffer_WIG->pstGlbVars->bEnableCorrect = d.ucEnableCorrWig;
    if (g.pGlbBuffer_FPN) g.pGlbBuffer_FPN->pstGlbVars->bEnableCorrect = d.ucEnableCorrFPN;
    if (g.pGlbBuffer_LUMA) g.pGlbBuffer_LUMA->pstGlbVars->bEnableCorrect = d.ucEnableCorrLUMA;
    if (g.pGlbBuffer_MASK) g.pGlbBuffer_MASK->pstGlbVars->bEnableCorrect = d.ucEnableCorrMask;
    if (g.pGlbBuffer_REG) g.pGlbBuffer_REG->pstGlbVars->bEnableRegistration = d.ucEnableRegistration;
}

}  // namespace NAMESPACE_CORR
