#include "vc_TofCorrPostprocCode/_Main/zealib_TofCorrection.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "vc_TofCorrPostprocCode/Common/zeaUsecase_Corr.h"
#include "vc_TofCorrPostprocCode/Correct/zeaCaliParas_Corr.h"
#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zeaDynParas_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zeaFixParas_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zeaMain_TofCorrection.h"

using namespace NAMESPACE_CORR;

namespace {

constexpr const char* kVersionFormat = "zealib_TofCorrection_V2.0.7.2_%s";

// The build date as YYMMDD, from the compiler's "Mmm dd yyyy".
void buildDateYYMMDD(char out[7]) {
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const char* date = __DATE__;
    int month = 1;
    for (int m = 0; m < 12; ++m) {
        if (std::strncmp(date, kMonths + 3 * m, 3) == 0) month = m + 1;
    }
    out[0] = date[9];
    out[1] = date[10];
    out[2] = static_cast<char>('0' + month / 10);
    out[3] = static_cast<char>('0' + month % 10);
    out[4] = date[4] == ' ' ? '0' : date[4];
    out[5] = date[5];
    out[6] = '\0';
}

double toMB(uint32_t bytes) { return bytes / 1024.0 / 1024.0; }

void logBufferTotals(const GLB_BUFFERS& g, uint8_t ucLog, const char* pcFile) {
    DBG_WriteLog(ucLog, pcFile,
                 "------ Fixed GlbBufferBytes:    %u Bytes (%.4f MB)\n"
                 "------ Dynamic GlbBufferBytes:  %u Bytes (%.4f MB)\n",
                 g.uiFixBufferBytes, toMB(g.uiFixBufferBytes), g.uiDynBufferBytes, toMB(g.uiDynBufferBytes));
}

void logFrameStructure(const GLB_FIX_VARS& v, uint8_t ucLog) {
    DBG_WriteLog(ucLog, DBG_INIT_LOG_FILE,
                 "\nFrame structure:\n"
                 "------ ucInSubFrmsNum:      %d\n"
                 "------ ucModFreqsNum:       %d\n"
                 "------ ucDepthPhaseNum:     %d\n"
                 "------ cIn1stPhaseId:       F1- %02d, F2- %02d, F3- %02d, F4- %02d\n"
                 "------ cIn1stBgPhaseId:     F1- %02d, F2- %02d, F3- %02d, F4- %02d\n"
                 "------ cInGrayId:           %02d\n"
                 "------ cInBgId:             %02d, %02d\n"
                 "------ eArithWorkMode:      %d\n",
                 v.ucInSubFrmsNum, v.ucModFreqsNum, v.ucDepthPhaseNum, v.cIn1stPhaseId[0], v.cIn1stPhaseId[1],
                 v.cIn1stPhaseId[2], v.cIn1stPhaseId[3], v.cIn1stBgPhaseId[0], v.cIn1stBgPhaseId[1],
                 v.cIn1stBgPhaseId[2], v.cIn1stBgPhaseId[3], v.cInGrayId, v.cInBgId[0], v.cInBgId[1],
                 v.eArithWorkMode);
}

bool flagPointersGiven(uint32_t* puiSuccFlag, uint32_t* puiAbnormalFlag, uint8_t ucLog, const char* pcFile) {
    if (puiSuccFlag == nullptr) {
        DBG_WriteLog(ucLog, pcFile, "\nError: the input 'unsigned int* puiSuccFlag' is NULL!\n");
    }
    if (puiAbnormalFlag == nullptr) {
        DBG_WriteLog(ucLog, pcFile, "\nError: the input 'unsigned int* puiAbnormalFlag' is NULL!\n");
    }
    return puiSuccFlag != nullptr && puiAbnormalFlag != nullptr;
}

// Steps of zetcorrInit after the parameter checks; null when the handle cannot be made.
std::unique_ptr<GLB_BUFFERS> createHandle(CORR_FIXPARA& p, uint32_t* puiSucc, uint32_t* puiAbnormal, uint8_t ucLog) {
    constexpr const char* kLog = DBG_INIT_LOG_FILE;
    std::unique_ptr<GLB_BUFFERS> g;
    try {
        g = std::make_unique<GLB_BUFFERS>();
    } catch (const std::bad_alloc&) {
        *puiSucc |= CORR_INIT_FAIL_GLB_BUFFER_ALLOCATE;
        DBG_WriteLog(ucLog, kLog, "    ------ CORR_GLBBUFFER* pstOuterGlbBuffers malloc failed\n");
        return nullptr;
    }
    g->pGlbBufferAddress = g.get();
    DBG_WriteLog(ucLog, kLog, "\nCurrent platform support SIMD, SIMD_UINT16_STEP is %d \n", 8);
    DBG_WriteLog(ucLog, kLog, "\nCurrent thread count is %d \n", static_cast<int>(std::thread::hardware_concurrency() / 2));

    try {
        g->pstGlbFixVars = std::make_unique<GLB_FIX_VARS>();
    } catch (const std::bad_alloc&) {
        *puiSucc |= CORR_INIT_FAIL_GLB_BUFFER_ALLOCATE;
        DBG_WriteLog(ucLog, kLog, "    ------ Global_Variables_Fixed* pstGlbFixVars malloc failed\n");
        return nullptr;
    }
    g->uiFixBufferBytes = sizeof(GLB_BUFFERS) + sizeof(GLB_FIX_VARS);
    MAINC_SetGlbFixVars(p, *g->pstGlbFixVars, puiSucc);
    if (*puiSucc != 0) return nullptr;

    if (!GLB_AllocateModuleBlocks(*g)) {
        *puiSucc |= CORR_INIT_FAIL_GLB_BUFFER_ALLOCATE;
        DBG_WriteLog(ucLog, kLog, "    ------ the output-data block or a module block malloc failed\n");
        return nullptr;
    }

    // A blob that cannot be used leaves every calibration-based correction off; the caller
    // learns it from the abnormal mask as well as from the log.
    if (!CALI_LoadCaliParas(*g, p, ucLog)) *puiAbnormal |= CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER;

    if (!GLB_AllocateImageBuffers(*g)) {
        *puiSucc |= CORR_INIT_FAIL_GLB_BUFFER_ALLOCATE;
        DBG_WriteLog(ucLog, kLog, "    ------ output or working image buffers malloc failed\n");
    }
    return g;
}

}  // namespace

extern "C" {

ZE4C_EXPORT void* zetcorrInit(CORR_FIXPARA* pstFixParas, uint32_t* puiInitSuccFlag, uint32_t* puiInitAbnormalFlag,
                              uint8_t ucEnableLogFile, uint8_t /*ucEnableCostTimeLogFile*/) {
    // Cost-time measurement is not part of this build; its switch is accepted and has no effect.
    constexpr const char* kLog = DBG_INIT_LOG_FILE;
    const uint8_t ucLog = ucEnableLogFile;
    DBG_ResetLogFile(ucLog, kLog, "\nTof correction algorithm is initializing ...\n\n");
    if (!flagPointersGiven(puiInitSuccFlag, puiInitAbnormalFlag, ucLog, kLog)) {
        DBG_WriteLog(ucLog, kLog, "\n\nInitialization failure!\n");
        return nullptr;
    }
    *puiInitSuccFlag = 0;
    *puiInitAbnormalFlag = 0;

    if (pstFixParas != nullptr) MAINC_LogFixedParas(*pstFixParas, ucLog);
    MAINC_CheckFixedParas(pstFixParas, puiInitSuccFlag, puiInitAbnormalFlag, ucLog);
    if (*puiInitSuccFlag != 0) {
        DBG_WriteLog(ucLog, kLog, "\n\nInitialization failure!\n");
        return nullptr;
    }
    if (*puiInitAbnormalFlag != 0) {
        DBG_WriteLog(ucLog, kLog, "\n\nInitialization exception! %s\n", DBG_GBK_INIT_EXCEPTION);
    }

    std::unique_ptr<GLB_BUFFERS> g = createHandle(*pstFixParas, puiInitSuccFlag, puiInitAbnormalFlag, ucLog);
    if (!g) {
        DBG_WriteLog(ucLog, kLog, "\n\nInitialization failure!\n");
        return nullptr;
    }
    logFrameStructure(*g->pstGlbFixVars, ucLog);
    DBG_WriteLog(ucLog, kLog, "\nGlobal buffers has already allocated successfully! \n");
    logBufferTotals(*g, ucLog, kLog);
    if (*puiInitSuccFlag != 0) {
        DBG_WriteLog(ucLog, kLog, "\n\nInitialization failure!\n");
    } else {
        if (*puiInitAbnormalFlag != 0) {
            DBG_WriteLog(ucLog, kLog, "\n\nInitialization exception! %s\n", DBG_GBK_INIT_EXCEPTION);
        }
        DBG_WriteLog(ucLog, kLog, "\n\nInitialization successfully!\n");
    }
    return g.release();
}

ZE4C_EXPORT void zetcorrSetDynamicConfig(void* pGlbBuffer, const CORR_DYNPARA* pstDynParas, uint32_t* puiSuccFlag,
                                         uint32_t* puiAbnormalFlag, uint8_t ucEnableLogFile) {
    constexpr const char* kLog = DBG_DYNCONFIG_LOG_FILE;
    const uint8_t ucLog = ucEnableLogFile;
    DBG_ResetLogFile(ucLog, kLog, "\nTof correction algorithm is setting dynamic parameters ...\n\n");
    if (!flagPointersGiven(puiSuccFlag, puiAbnormalFlag, ucLog, kLog)) return;
    *puiSuccFlag = 0;
    *puiAbnormalFlag = 0;

    GLB_BUFFERS* g = GLB_CheckHandle(pGlbBuffer, false, puiSuccFlag, ucLog, kLog);
    if (g == nullptr) {
        DBG_WriteLog(ucLog, kLog, "\n\nDynamic parameters set failure!\n");
        return;
    }
    CORR_DYNPARA stDyn;
    if (pstDynParas == nullptr) {
        stDyn = MAINC_DefaultDynParas();
        *puiAbnormalFlag |= CORR_ARITH_ABNORMAL_INVALID_DYNPARA_POINTER;
        DBG_WriteLog(ucLog, kLog,
                     "    ------ zetcorrSetDynamicConfig() -> CORR_DYNPARA* pstDynParas: = NULL\n"
                     "\n\nDynamic parameters has set to default value!\n");
    } else {
        stDyn = MAINC_CheckDynParas(*pstDynParas, puiAbnormalFlag, ucLog);
    }
    MAINC_ApplyDynParas(*g, stDyn);
    logBufferTotals(*g, ucLog, kLog);
    if (*puiAbnormalFlag != 0) {
        DBG_WriteLog(ucLog, kLog, "\n\nDynamic parameters set exception! %s\n", DBG_GBK_DYNCONFIG_EXCEPTION);
    } else {
        DBG_WriteLog(ucLog, kLog, "\n\nDynamic parameters set successfully!\n");
    }
}

ZE4C_EXPORT void zetcorrRunCorrection(void* pGlbBuffer, CORR_INDATAS* pstInDatas, CORR_OUTDATAS* pstOutDatas,
                                      uint32_t* puiSuccFlag, uint32_t* puiAbnormalFlag, uint8_t ucEnableLogFile) {
    constexpr const char* kLog = DBG_RUN_LOG_FILE;
    const uint8_t ucLog = ucEnableLogFile;
    DBG_ResetLogFile(ucLog, kLog, "\nTof correction algorithm is running ...\n\n");
    if (!flagPointersGiven(puiSuccFlag, puiAbnormalFlag, ucLog, kLog)) return;
    *puiSuccFlag = 0;
    *puiAbnormalFlag = 0;

    GLB_BUFFERS* g = GLB_CheckHandle(pGlbBuffer, true, puiSuccFlag, ucLog, kLog);
    if (g == nullptr) {
        // handle rejected; logged by the check
    } else if (pstInDatas == nullptr) {
        *puiSuccFlag |= CORR_ARITH_FAIL_INVALID_INDATAS_POINTER;
        DBG_WriteLog(ucLog, kLog, "    ------ zetcorrRunCorrection() -> CORR_INDATAS* pstInDatas: = NULL\n");
    } else if (pstOutDatas == nullptr) {
        *puiSuccFlag |= CORR_ARITH_FAIL_INVALID_OUTDATAS_POINTER;
        DBG_WriteLog(ucLog, kLog,
                     "    ------ Error: the inner output images buffer 'CORR_OUTDATAS* pstOutDatas' = NULL\n");
    } else {
        MAINC_RunFrame(*g, *pstInDatas, *pstOutDatas, puiSuccFlag, puiAbnormalFlag, ucLog);
    }
    DBG_WriteLog(ucLog, kLog,
                 *puiSuccFlag == 0 ? "\n\nTof correction algorithm run successfully!\n"
                                   : "\n\nTof correction algorithm run failure!\n");
}

ZE4C_EXPORT void zetcorrRelease(void** pGlbBuffer, uint8_t ucEnableLogFile) {
    constexpr const char* kLog = DBG_RELEASE_LOG_FILE;
    const uint8_t ucLog = ucEnableLogFile;
    DBG_ResetLogFile(ucLog, kLog, "\nTof correction algorithm is releasing ...\n\n");
    if (pGlbBuffer == nullptr || *pGlbBuffer == nullptr) {
        DBG_WriteLog(ucLog, kLog,
                     "    ------ Error: the input pGlbBuffer == NULL\n\n\nTof correction algorithm release failure!\n");
        return;
    }
    // Memory that is not a handle at its own address (a copy, or foreign memory) is never
    // freed: freeing it would corrupt the heap or free the original twice.
    if (!GLB_HasOwnAddress(*pGlbBuffer)) {
        DBG_WriteLog(ucLog, kLog,
                     "    ------ Error: the input pGlbBuffer has been changed\n"
                     "\n\nTof correction algorithm release failure!\n");
        return;
    }
    std::unique_ptr<GLB_BUFFERS> g(static_cast<GLB_BUFFERS*>(*pGlbBuffer));
    g->pGlbBufferAddress = nullptr;
    g.reset();
    *pGlbBuffer = nullptr;
    DBG_WriteLog(ucLog, kLog, "\nThe global buffers has been successfully freed!\n");
}

ZE4C_EXPORT void zetcorrGetVersion(char* pcDllVersion) {
    char date[7];
    buildDateYYMMDD(date);
    char text[CORR_VERSION_TEXT_BYTES];
    std::snprintf(text, sizeof(text), kVersionFormat, date);
    if (pcDllVersion != nullptr) {
        std::memcpy(pcDllVersion, text, std::strlen(text) + 1);
        return;
    }
    DBG_ResetLogFile(1, DBG_VERSION_FILE, "\nCurrent dll_TofCorrection.dll/lib/so/a Version is:\n");
    DBG_WriteLog(1, DBG_VERSION_FILE, "\n%s\n", text);
}

ZE4C_EXPORT uint8_t zetcorrGetUsecaseImagesCnt(uint8_t ucUsecaseID, uint8_t ucDepthPhaseNum) {
    return UC_GetUsecaseLayout(ucUsecaseID, ucDepthPhaseNum).ucInSubFrmsNum;
}

ZE4C_EXPORT uint8_t zetcorrGetUsecaseModFreqsCnt(uint8_t ucUsecaseID) {
    return UC_GetUsecaseLayout(ucUsecaseID, 4).ucModFreqsNum;
}

ZE4C_EXPORT int8_t zetcorrGetUsecaseThisFreq1stPhIdx(uint8_t ucUsecaseID, uint8_t ucDepthPhaseNum, int iIndex) {
    if (iIndex < 0 || iIndex > 3) return -1;
    return UC_GetUsecaseLayout(ucUsecaseID, ucDepthPhaseNum).cIn1stPhaseId[iIndex];
}

ZE4C_EXPORT int8_t zetcorrGetUsecaseThisFreq1stBgPhIdx(uint8_t ucUsecaseID, uint8_t ucDepthPhaseNum, int iIndex) {
    if (iIndex < 0 || iIndex > 3) return -1;
    return UC_GetUsecaseLayout(ucUsecaseID, ucDepthPhaseNum).cIn1stBgPhaseId[iIndex];
}

ZE4C_EXPORT int8_t zetcorrGetUsecaseGrayIdx(uint8_t ucUsecaseID, uint8_t m_ucDepthPhaseNum) {
    return UC_GetUsecaseLayout(ucUsecaseID, m_ucDepthPhaseNum).cInGrayId;
}

ZE4C_EXPORT int8_t zetcorrGetUsecaseBackgroundIdx(uint8_t ucUsecaseID, uint8_t m_ucDepthPhaseNum, int iIndex) {
    // Only two backgrounds exist; any other index is absent rather than read out of range.
    if (iIndex < 0 || iIndex > 1) return -1;
    return UC_GetUsecaseLayout(ucUsecaseID, m_ucDepthPhaseNum).cInBgId[iIndex];
}

}  // extern "C"
