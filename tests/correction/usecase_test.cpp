// The use-case table behind the zetcorrGetUsecase* look-ups and the work mode.
#include <gtest/gtest.h>

#include "vc_TofCorrPostprocCode/Common/zeaUsecase_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zealib_TofCorrection.h"

namespace {

using namespace NAMESPACE_CORR;

struct LayoutCase {
    int usecase;
    int phases;
    int images;
    int freqs;
    int ph[4];
    int bgPh[4];
    int gray;
    int bg[2];
    ARITH_WORK_MODE mode;
};

// Catches a wrong row or a wrong N-dependence of any index: the cases cover the fixed
// indices of 10 to 12, background phases, gray/background between the frequencies and
// both phase counts.
const LayoutCase kLayouts[] = {
    {0, 4, 0, 0, {-1, -1, -1, -1}, {-1, -1, -1, -1}, -1, {-1, -1}, WORK_MODE_UNKNOWN},
    {1, 4, 1, 0, {-1, -1, -1, -1}, {-1, -1, -1, -1}, 0, {-1, -1}, WORK_MODE_GRAY},
    {2, 4, 1, 0, {-1, -1, -1, -1}, {-1, -1, -1, -1}, -1, {0, -1}, WORK_MODE_BG},
    {4, 2, 2, 0, {-1, -1, -1, -1}, {-1, -1, -1, -1}, 1, {0, -1}, WORK_MODE_GRAY_BG},
    {9, 2, 4, 1, {0, -1, -1, -1}, {-1, -1, -1, -1}, 3, {2, -1}, WORK_MODE_SFREQ},
    {10, 4, 7, 1, {3, -1, -1, -1}, {-1, -1, -1, -1}, 1, {0, 2}, WORK_MODE_SFREQ},
    {11, 4, 7, 1, {1, -1, -1, -1}, {-1, -1, -1, -1}, 6, {0, 5}, WORK_MODE_SFREQ},
    {12, 4, 8, 1, {2, -1, -1, -1}, {-1, -1, -1, -1}, 0, {1, 7}, WORK_MODE_SFREQ},
    {14, 2, 5, 1, {0, -1, -1, -1}, {2, -1, -1, -1}, 4, {-1, -1}, WORK_MODE_SFREQ},
    {18, 4, 10, 2, {0, 5, -1, -1}, {-1, -1, -1, -1}, 4, {9, -1}, WORK_MODE_DFREQ},
    {21, 4, 17, 2, {0, 8, -1, -1}, {4, 13, -1, -1}, 12, {-1, -1}, WORK_MODE_DFREQ},
    {22, 4, 18, 2, {0, 9, -1, -1}, {5, 14, -1, -1}, 4, {13, -1}, WORK_MODE_DFREQ},
    {27, 2, 8, 3, {0, 2, 5, -1}, {-1, -1, -1, -1}, 7, {4, -1}, WORK_MODE_TFREQ},
    {28, 2, 8, 4, {0, 2, 4, 6}, {-1, -1, -1, -1}, -1, {-1, -1}, WORK_MODE_FFREQ},
    {31, 4, 18, 4, {0, 4, 8, 13}, {-1, -1, -1, -1}, 12, {17, -1}, WORK_MODE_FFREQ},
    {33, 4, 0, 0, {-1, -1, -1, -1}, {-1, -1, -1, -1}, -1, {-1, -1}, WORK_MODE_UNKNOWN},
};

TEST(UsecaseTable, LookUpsFollowTheLayoutOfEachUseCase) {
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE("use case " + std::to_string(c.usecase) + ", N = " + std::to_string(c.phases));
        const auto uc = static_cast<uint8_t>(c.usecase);
        const auto n = static_cast<uint8_t>(c.phases);
        EXPECT_EQ(zetcorrGetUsecaseImagesCnt(uc, n), c.images);
        EXPECT_EQ(zetcorrGetUsecaseModFreqsCnt(uc), c.freqs);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(zetcorrGetUsecaseThisFreq1stPhIdx(uc, n, i), c.ph[i]) << "frequency " << i;
            EXPECT_EQ(zetcorrGetUsecaseThisFreq1stBgPhIdx(uc, n, i), c.bgPh[i]) << "frequency " << i;
        }
        EXPECT_EQ(zetcorrGetUsecaseGrayIdx(uc, n), c.gray);
        EXPECT_EQ(zetcorrGetUsecaseBackgroundIdx(uc, n, 0), c.bg[0]);
        EXPECT_EQ(zetcorrGetUsecaseBackgroundIdx(uc, n, 1), c.bg[1]);
        EXPECT_EQ(UC_GetArithWorkMode(UC_GetUsecaseLayout(c.usecase, n)), c.mode);
    }
}

TEST(UsecaseTable, IndicesOutsideTheirRangeAreAbsentNotReadOutOfBounds) {
    EXPECT_EQ(zetcorrGetUsecaseThisFreq1stPhIdx(CORR_USECASE_ID_SF, 4, 4), -1);
    EXPECT_EQ(zetcorrGetUsecaseThisFreq1stPhIdx(CORR_USECASE_ID_FF, 4, -1), -1);
    EXPECT_EQ(zetcorrGetUsecaseThisFreq1stBgPhIdx(CORR_USECASE_ID_DF_BGPH, 4, 9), -1);
    EXPECT_EQ(zetcorrGetUsecaseBackgroundIdx(CORR_USECASE_ID_BG_GRAY_BG_SF, 4, 2), -1);
    EXPECT_EQ(zetcorrGetUsecaseBackgroundIdx(CORR_USECASE_ID_BG_GRAY_BG_SF, 4, -1), -1);
    EXPECT_EQ(zetcorrGetUsecaseImagesCnt(200, 4), 0);
}

}  // namespace
