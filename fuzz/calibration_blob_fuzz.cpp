// Arbitrary bytes as the calibration blob of zetcorrInit, with valid fixed parameters of a
// single-frequency, two-phase use case, so every record kind is parsed (phase FPPN
// included) while each run allocates the working images of one frequency only.
#include <cstdint>
#include <cstring>

#include "vc_TofCorrPostprocCode/_Main/zealib_TofCorrection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CORR_FRMPARA_FIX frm{};
    frm.fModFreqMHZ[0] = 99.6f;  // matches a calibrated 100 MHz
    frm.ucPixelLowResoStepX = 1;
    frm.ucPixelLowResoStepY = 1;

    CORR_FIXPARA p{};
    std::strncpy(p.cSensorID, "ZEF4471001001001", sizeof(p.cSensorID));
    p.eUsecaseID = CORR_USECASE_ID_SF;
    p.usInImgWidth = p.usOutImgWidth = 16;
    p.usInImgHeight = p.usOutImgHeight = 8;
    p.eIsHasEbd = CORR_ADDINFO_AFTER_IMG;
    p.uiEbdBytes = 232;
    p.ucEnableFixFrmPara = 1;
    p.pstFixFrmPara = &frm;
    p.ucDepthPhaseNum = 2;
    p.ePixelGrayBgMode = CORR_PIXEL_GRAYBG_MODE_2048UP;
    p.usPixelGrayBgZeroValue = 2048;
    p.eOutBufferType_Depth = OIMG_BUFFER_USER;
    p.eOutBufferType_Amp = OIMG_BUFFER_USER;
    p.eOutBufferType_Confidence = OIMG_BUFFER_USER;
    p.pcInCaliParas = reinterpret_cast<const char*>(data);
    p.uiInCaliParasBytes = static_cast<uint32_t>(size);

    uint32_t succ = 0;
    uint32_t abnormal = 0;
    void* handle = zetcorrInit(&p, &succ, &abnormal, 0, 0);
    if (handle == nullptr || succ != 0) __builtin_trap();  // a blob must never fail init
    zetcorrSetDynamicConfig(handle, nullptr, &succ, &abnormal, 0);
    zetcorrRelease(&handle, 0);
    return 0;
}
