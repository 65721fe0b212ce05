#include "vc_TofCorrPostprocCode/Common/zeaUsecase_Corr.h"

namespace NAMESPACE_CORR {
namespace {

// A sub-frame index a * N + b of a use case, N being the phase images per frequency.
struct IndexTerm {
    int8_t a;
    int8_t b;
};

constexpr IndexTerm kAbsent{0, -1};

struct UsecaseRow {
    uint8_t ucFreqs;
    BBOOL bHasBgPhase;
    IndexTerm ph[4];
    IndexTerm bgPh[4];
    IndexTerm gray;
    IndexTerm bg[2];
    uint8_t ucExtraImages;  // images beyond phases, gray and first background (cases 10-12)
};

constexpr IndexTerm NA = kAbsent;

// One row per use case 0..32: frequencies, background phases, first phase index per
// frequency, first background-phase index per frequency, gray, backgrounds, extra images.
constexpr UsecaseRow kUsecaseRows[] = {
    /* 0 UNKNOWN */ {0, 0, {NA, NA, NA, NA}, {NA, NA, NA, NA}, NA, {NA, NA}, 0},
    /* 1 GRAY */ {0, 0, {NA, NA, NA, NA}, {NA, NA, NA, NA}, {0, 0}, {NA, NA}, 0},
    /* 2 BG */ {0, 0, {NA, NA, NA, NA}, {NA, NA, NA, NA}, NA, {{0, 0}, NA}, 0},
    /* 3 GRAY_BG */ {0, 0, {NA, NA, NA, NA}, {NA, NA, NA, NA}, {0, 0}, {{0, 1}, NA}, 0},
    /* 4 BG_GRAY */ {0, 0, {NA, NA, NA, NA}, {NA, NA, NA, NA}, {0, 1}, {{0, 0}, NA}, 0},
    /* 5 SF */ {1, 0, {{0, 0}, NA, NA, NA}, {NA, NA, NA, NA}, NA, {NA, NA}, 0},
    /* 6 SF_GRAY */ {1, 0, {{0, 0}, NA, NA, NA}, {NA, NA, NA, NA}, {1, 0}, {NA, NA}, 0},
    /* 7 SF_BG */ {1, 0, {{0, 0}, NA, NA, NA}, {NA, NA, NA, NA}, NA, {{1, 0}, NA}, 0},
    /* 8 SF_GRAY_BG */ {1, 0, {{0, 0}, NA, NA, NA}, {NA, NA, NA, NA}, {1, 0}, {{1, 1}, NA}, 0},
    /* 9 SF_BG_GRAY */ {1, 0, {{0, 0}, NA, NA, NA}, {NA, NA, NA, NA}, {1, 1}, {{1, 0}, NA}, 0},
    // Cases 10 to 12 carry fixed indices that fit N = 4 only.
    /* 10 BG_GRAY_BG_SF */ {1, 0, {{0, 3}, NA, NA, NA}, {NA, NA, NA, NA}, {0, 1}, {{0, 0}, {0, 2}}, 1},
    /* 11 BG_SF_BG_GRAY */ {1, 0, {{0, 1}, NA, NA, NA}, {NA, NA, NA, NA}, {0, 6}, {{0, 0}, {0, 5}}, 1},
    /* 12 GRAY_BG_SF_GRAY_BG */ {1, 0, {{0, 2}, NA, NA, NA}, {NA, NA, NA, NA}, {0, 0}, {{0, 1}, {0, 7}}, 2},
    /* 13 SF_BGPH */ {1, 1, {{0, 0}, NA, NA, NA}, {{1, 0}, NA, NA, NA}, NA, {NA, NA}, 0},
    /* 14 SF_BGPH_GRAY */ {1, 1, {{0, 0}, NA, NA, NA}, {{1, 0}, NA, NA, NA}, {2, 0}, {NA, NA}, 0},
    /* 15 DF */ {2, 0, {{0, 0}, {1, 0}, NA, NA}, {NA, NA, NA, NA}, NA, {NA, NA}, 0},
    /* 16 DF_GRAY */ {2, 0, {{0, 0}, {1, 0}, NA, NA}, {NA, NA, NA, NA}, {2, 0}, {NA, NA}, 0},
    /* 17 DF_BG */ {2, 0, {{0, 0}, {1, 0}, NA, NA}, {NA, NA, NA, NA}, NA, {{2, 0}, NA}, 0},
    /* 18 DF_GRAY_BG */ {2, 0, {{0, 0}, {1, 1}, NA, NA}, {NA, NA, NA, NA}, {1, 0}, {{2, 1}, NA}, 0},
    /* 19 DF_BG_GRAY */ {2, 0, {{0, 0}, {1, 1}, NA, NA}, {NA, NA, NA, NA}, {2, 1}, {{1, 0}, NA}, 0},
    /* 20 DF_BGPH */ {2, 1, {{0, 0}, {2, 0}, NA, NA}, {{1, 0}, {3, 0}, NA, NA}, NA, {NA, NA}, 0},
    /* 21 DF_BGPH_GRAY */ {2, 1, {{0, 0}, {2, 0}, NA, NA}, {{1, 0}, {3, 1}, NA, NA}, {3, 0}, {NA, NA}, 0},
    /* 22 DF_BGPH_BG_GRAY */
    {2, 1, {{0, 0}, {2, 1}, NA, NA}, {{1, 1}, {3, 2}, NA, NA}, {1, 0}, {{3, 1}, NA}, 0},
    /* 23 TF */ {3, 0, {{0, 0}, {1, 0}, {2, 0}, NA}, {NA, NA, NA, NA}, NA, {NA, NA}, 0},
    /* 24 TF_GRAY */ {3, 0, {{0, 0}, {1, 0}, {2, 0}, NA}, {NA, NA, NA, NA}, {3, 0}, {NA, NA}, 0},
    /* 25 TF_BG */ {3, 0, {{0, 0}, {1, 0}, {2, 0}, NA}, {NA, NA, NA, NA}, NA, {{3, 0}, NA}, 0},
    /* 26 TF_GRAY_BG */ {3, 0, {{0, 0}, {1, 0}, {2, 1}, NA}, {NA, NA, NA, NA}, {2, 0}, {{3, 1}, NA}, 0},
    /* 27 TF_BG_GRAY */ {3, 0, {{0, 0}, {1, 0}, {2, 1}, NA}, {NA, NA, NA, NA}, {3, 1}, {{2, 0}, NA}, 0},
    /* 28 FF */ {4, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {NA, NA, NA, NA}, NA, {NA, NA}, 0},
    /* 29 FF_GRAY */ {4, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {NA, NA, NA, NA}, {4, 0}, {NA, NA}, 0},
    /* 30 FF_BG */ {4, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {NA, NA, NA, NA}, NA, {{4, 0}, NA}, 0},
    /* 31 FF_GRAY_BG */
    {4, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}, {NA, NA, NA, NA}, {3, 0}, {{4, 1}, NA}, 0},
    /* 32 FF_BG_GRAY */
    {4, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}, {NA, NA, NA, NA}, {4, 1}, {{3, 0}, NA}, 0},
};

constexpr int kUsecaseCount = static_cast<int>(sizeof(kUsecaseRows) / sizeof(kUsecaseRows[0]));
static_assert(kUsecaseCount == CORR_USECASE_ID_FF_BG_GRAY + 1, "one row per use case");

int8_t resolve(IndexTerm t, uint8_t n) {
    if (t.b < 0) return -1;
    return static_cast<int8_t>(t.a * n + t.b);
}

}  // namespace

UsecaseLayout UC_GetUsecaseLayout(int32_t iUsecaseID, uint8_t ucDepthPhaseNum) {
    UsecaseLayout out;
    if (iUsecaseID <= CORR_USECASE_ID_UNKNOWN || iUsecaseID >= kUsecaseCount) return out;
    const UsecaseRow& row = kUsecaseRows[iUsecaseID];
    const uint8_t n = ucDepthPhaseNum;
    out.ucModFreqsNum = row.ucFreqs;
    out.ucIsHasBgPhase = row.bHasBgPhase;
    for (int i = 0; i < 4; ++i) {
        out.cIn1stPhaseId[i] = resolve(row.ph[i], n);
        out.cIn1stBgPhaseId[i] = resolve(row.bgPh[i], n);
    }
    out.cInGrayId = resolve(row.gray, n);
    out.cInBgId[0] = resolve(row.bg[0], n);
    out.cInBgId[1] = resolve(row.bg[1], n);
    out.ucIsHasGray = out.cInGrayId >= 0 ? 1 : 0;
    out.ucBgNum = static_cast<uint8_t>((out.cInBgId[0] >= 0 ? 1 : 0) + (out.cInBgId[1] >= 0 ? 1 : 0));
    const int phases = n * row.ucFreqs * (row.bHasBgPhase ? 2 : 1);
    out.ucInSubFrmsNum = static_cast<uint8_t>(phases + out.ucIsHasGray + (out.cInBgId[0] >= 0 ? 1 : 0) +
                                              row.ucExtraImages);
    return out;
}

ARITH_WORK_MODE UC_GetArithWorkMode(const UsecaseLayout& stLayout) {
    switch (stLayout.ucModFreqsNum) {
        case 0:
            if (stLayout.ucIsHasGray && stLayout.ucBgNum >= 1) return WORK_MODE_GRAY_BG;
            if (stLayout.ucIsHasGray) return WORK_MODE_GRAY;
            if (stLayout.ucBgNum >= 1) return WORK_MODE_BG;
            return WORK_MODE_UNKNOWN;
        case 1: return WORK_MODE_SFREQ;
        case 2: return WORK_MODE_DFREQ;
        case 3: return WORK_MODE_TFREQ;
        case 4: return WORK_MODE_FFREQ;
        default: return WORK_MODE_UNKNOWN;
    }
}

}  // namespace NAMESPACE_CORR
