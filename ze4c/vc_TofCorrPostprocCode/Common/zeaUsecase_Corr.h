// The use-case table: which sub-frame of a frame holds which image, and the arithmetic
// work mode a use case runs in.
#pragma once

#include <cstdint>

#include "vc_TofCorrPostprocCode/_Main/zealib_TofCorrection.h"

namespace NAMESPACE_CORR {

enum ARITH_WORK_MODE : int32_t {
    WORK_MODE_UNKNOWN = 0,
    WORK_MODE_GRAY = 1,
    WORK_MODE_BG = 2,
    WORK_MODE_GRAY_BG = 3,
    WORK_MODE_SFREQ = 4,
    WORK_MODE_DFREQ = 5,
    WORK_MODE_TFREQ = 6,
    WORK_MODE_FFREQ = 7,
};

// Layout of one use case for N phase images per frequency. Indices are sub-frame
// positions from 0; -1 means absent.
struct UsecaseLayout {
    uint8_t ucInSubFrmsNum = 0;
    uint8_t ucModFreqsNum = 0;
    BBOOL ucIsHasBgPhase = 0;
    BBOOL ucIsHasGray = 0;
    uint8_t ucBgNum = 0;
    int8_t cIn1stPhaseId[4] = {-1, -1, -1, -1};
    int8_t cIn1stBgPhaseId[4] = {-1, -1, -1, -1};
    int8_t cInGrayId = -1;
    int8_t cInBgId[2] = {-1, -1};
};

// The layout of use case ucUsecaseID with ucDepthPhaseNum phase images per frequency;
// an unknown use case gives the empty layout.
UsecaseLayout UC_GetUsecaseLayout(int32_t iUsecaseID, uint8_t ucDepthPhaseNum);

// The work mode implied by a layout: gray/background modes without frequencies, else one
// mode per frequency count.
ARITH_WORK_MODE UC_GetArithWorkMode(const UsecaseLayout& stLayout);

}  // namespace NAMESPACE_CORR
