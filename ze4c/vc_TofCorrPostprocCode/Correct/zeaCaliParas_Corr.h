// Loading of the calibration blob at init: version, common header, geometry checks,
// frequency mapping and every module record, each read strictly within the blob.
#pragma once

#include <cstdint>

#include "vc_TofCorrPostprocCode/Correct/zeaCaliBlobReader_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"

namespace NAMESPACE_CORR {

// The version named by the bytes at offset 4.
CALI_PARAS_VERSION CALI_GetCaliParasVersion(const CaliByteView& stBlob);

// The binning implied by the raw-to-calibration size ratio: (2, 1) -> 1x2, (1, 2) -> 2x1,
// (2, 2) -> 2x2, (4, 4) -> 4x4, anything else (or a zero calibration size) -> off.
CORR_PIXEL_BINNING_MODE CALI_CalcBinningType(uint16_t usRawWidth, uint16_t usRawHeight, uint16_t usCaliWidth,
                                             uint16_t usCaliHeight);

// The working frequency rounded up to whole MHz, or 0 for a value that is not a usable
// frequency (not positive, not finite, beyond 16 bits).
uint16_t CALI_RoundUpFreqMHz(float fFreqMHz);

// Index of the first calibrated frequency equal to fFreqMHz rounded up to whole MHz; -1 when
// there is none.
int CALI_MatchCaliFreqId(float fFreqMHz, const uint16_t* pusCaliFreqsMHZ, int iFreqs);

// Loads the blob of stFixParas (pcInCaliParas, uiInCaliParasBytes) into the handle's
// settings and module blocks and logs the outcome. True when the header and geometry are
// usable; single modules may still be off, each with its reasons in its load flags. On
// false every calibration-based module is marked as lacking calibration.
bool CALI_LoadCaliParas(GLB_BUFFERS& stGlb, const CORR_FIXPARA& stFixParas, uint8_t ucEnableLogFile);

}  // namespace NAMESPACE_CORR
