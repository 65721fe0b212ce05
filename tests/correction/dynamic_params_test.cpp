// zetcorrSetDynamicConfig: defaults, validation with resets, application to the modules
// and the handle checks.
#include <cmath>
#include <cstring>
#include <functional>

#include "correction_fixture.h"
#include "vc_TofCorrPostprocCode/_Main/zeaDynParas_Corr.h"

namespace correction_test {
namespace {

class DynamicParas : public testing::Test {
protected:
    void SetUp() override {
        fixed_.setBlob(smallBlob());
        handle_ = std::make_unique<Handle>(&fixed_.p);
        ASSERT_NE(handle_->h, nullptr);
    }

    void apply(const CORR_DYNPARA* d) { zetcorrSetDynamicConfig(handle_->h, d, &succ_, &abnormal_, 0); }
    const CORR_DYNPARA& inForce() const { return handle_->fix().stDynParas; }

    FixedParas fixed_;
    std::unique_ptr<Handle> handle_;
    uint32_t succ_ = 0xFFFFFFFF;
    uint32_t abnormal_ = 0xFFFFFFFF;
};

TEST_F(DynamicParas, NullStructureAppliesDefaultsWithZeroFusionThreshold) {
    apply(nullptr);
    EXPECT_EQ(succ_, 0u);
    EXPECT_EQ(abnormal_, CORR_ARITH_ABNORMAL_INVALID_DYNPARA_POINTER);
    const CORR_DYNPARA defaults = MAINC_DefaultDynParas();
    EXPECT_EQ(std::memcmp(&inForce(), &defaults, sizeof(defaults)), 0);
    EXPECT_EQ(inForce().fFusionErrorExpandMinTsh, 0.0f);
    EXPECT_EQ(inForce().usAERoiXMax, 639);
    EXPECT_EQ(inForce().usAEOverExposureThres, 240);
    const GLB_BUFFERS& g = handle_->glb();
    EXPECT_EQ(g.pGlbBuffer_BP->pstGlbVars->bEnableCorrect, 1);
    EXPECT_EQ(g.pGlbBuffer_LUMA->pstGlbVars->bEnableCorrect, 0);
    EXPECT_EQ(g.pGlbBuffer_MASK->pstGlbVars->bEnableCorrect, 0);
}

struct ResetCase {
    const char* name;
    std::function<void(CORR_DYNPARA&)> set;
    std::function<bool(const CORR_DYNPARA&)> expected;
    bool reported;
};

// A wrong bound, a missing check or a wrong reset value each fail one row.
const ResetCase kResets[] = {
    {"switch 2 resets to on", [](CORR_DYNPARA& d) { d.ucEnableCorrBP = 2; },
     [](const CORR_DYNPARA& d) { return d.ucEnableCorrBP == 1; }, true},
    {"luma switch 7 resets to off", [](CORR_DYNPARA& d) { d.ucEnableCorrLUMA = 7; },
     [](const CORR_DYNPARA& d) { return d.ucEnableCorrLUMA == 0; }, true},
    {"cut switch 2 resets to on", [](CORR_DYNPARA& d) { d.ucEnableLenCutInalidPixels = 2; },
     [](const CORR_DYNPARA& d) { return d.ucEnableLenCutInalidPixels == 1; }, true},
    {"registration 9 resets to off", [](CORR_DYNPARA& d) { d.ucEnableRegistration = 9; },
     [](const CORR_DYNPARA& d) { return d.ucEnableRegistration == 0; }, true},
    {"optimal amplitude 9", [](CORR_DYNPARA& d) { d.usAEOptAmpThres = 9; },
     [](const CORR_DYNPARA& d) { return d.usAEOptAmpThres == 200; }, true},
    {"optimal amplitude 4096", [](CORR_DYNPARA& d) { d.usAEOptAmpThres = 4096; },
     [](const CORR_DYNPARA& d) { return d.usAEOptAmpThres == 200; }, true},
    {"over-exposure 2056", [](CORR_DYNPARA& d) { d.usAEOverExposureThres = 2056; },
     [](const CORR_DYNPARA& d) { return d.usAEOverExposureThres == 240; }, true},
    {"over-exposure 2055 stays", [](CORR_DYNPARA& d) { d.usAEOverExposureThres = 2055; },
     [](const CORR_DYNPARA& d) { return d.usAEOverExposureThres == 2055; }, false},
    {"contrast 9", [](CORR_DYNPARA& d) { d.usAEContrast = 9; },
     [](const CORR_DYNPARA& d) { return d.usAEContrast == 100; }, true},
    {"fusion 0.501 stays", [](CORR_DYNPARA& d) { d.fFusionErrorExpandMinTsh = 0.501f; },
     [](const CORR_DYNPARA& d) { return d.fFusionErrorExpandMinTsh == 0.501f; }, false},
    {"fusion 0.6", [](CORR_DYNPARA& d) { d.fFusionErrorExpandMinTsh = 0.6f; },
     [](const CORR_DYNPARA& d) { return d.fFusionErrorExpandMinTsh == 0.3f; }, true},
    {"fusion 0", [](CORR_DYNPARA& d) { d.fFusionErrorExpandMinTsh = 0.0f; },
     [](const CORR_DYNPARA& d) { return d.fFusionErrorExpandMinTsh == 0.3f; }, true},
    {"fusion NaN", [](CORR_DYNPARA& d) { d.fFusionErrorExpandMinTsh = std::nanf(""); },
     [](const CORR_DYNPARA& d) { return d.fFusionErrorExpandMinTsh == 0.3f; }, true},
    {"unchecked fields keep any value",
     [](CORR_DYNPARA& d) {
         d.usPresetMaxDist = 65535;
         d.usAERoiXMin = 9000;
         d.sOffsetCorretion[3] = -32768;
     },
     [](const CORR_DYNPARA& d) {
         return d.usPresetMaxDist == 65535 && d.usAERoiXMin == 9000 && d.sOffsetCorretion[3] == -32768;
     },
     false},
};

TEST_F(DynamicParas, OutOfRangeFieldsAreResetAndReportedWithoutTouchingTheCallersCopy) {
    for (const ResetCase& c : kResets) {
        SCOPED_TRACE(c.name);
        CORR_DYNPARA d = MAINC_DefaultDynParas();
        d.fFusionErrorExpandMinTsh = 0.3f;
        c.set(d);
        const CORR_DYNPARA callerCopy = d;
        apply(&d);
        EXPECT_EQ(succ_, 0u);
        EXPECT_EQ(abnormal_, c.reported ? CORR_ARITH_ABNORMAL_INVALID_DYNPARA : 0u);
        EXPECT_TRUE(c.expected(inForce()));
        EXPECT_EQ(std::memcmp(&d, &callerCopy, sizeof(d)), 0) << "the caller's structure is never modified";
    }
}

TEST_F(DynamicParas, SwitchesAndManualOffsetsReachTheModulesAndSettings) {
    CORR_DYNPARA d = MAINC_DefaultDynParas();
    d.fFusionErrorExpandMinTsh = 0.3f;
    d.ucEnableCorrBP = 0;
    d.ucEnableCorrWig = 0;
    d.ucEnableCorrMask = 1;
    d.ucEnableLenFillInvalidPixels = 0;
    d.ucEnableCorrOffset = 1;
    d.sOffsetCorretion[0] = 10;
    d.sOffsetCorretion[2] = -7;
    apply(&d);
    ASSERT_EQ(succ_, 0u);
    const GLB_BUFFERS& g = handle_->glb();
    EXPECT_EQ(g.pGlbBuffer_BP->pstGlbVars->bEnableCorrect, 0);
    EXPECT_EQ(g.pGlbBuffer_WIG->pstGlbVars->bEnableCorrect, 0);
    EXPECT_EQ(g.pGlbBuffer_MASK->pstGlbVars->bEnableCorrect, 1);
    EXPECT_EQ(g.pGlbBuffer_LEN->pstGlbVars->bEnableFillUnvalidPixels, 0);
    EXPECT_EQ(g.pGlbBuffer_LEN->pstGlbVars->bEnableCutUnvalidPixels, 1);
    EXPECT_EQ(handle_->fix().bEnableManualOffsetCorr, 1);
    EXPECT_EQ(handle_->fix().sManualOffsetCorretionMM[0], 10);
    EXPECT_EQ(handle_->fix().sManualOffsetCorretionMM[2], -7);
}

TEST_F(DynamicParas, NullOrCopiedHandlesAreRejected) {
    zetcorrSetDynamicConfig(nullptr, nullptr, &succ_, &abnormal_, 0);
    EXPECT_EQ(succ_, CORR_ARITH_FAIL_INVALID_OUTER_BUFFER);

    // A byte copy of the handle at another address (the caller copied the structure).
    std::vector<unsigned char> copy(sizeof(GLB_BUFFERS));
    std::memcpy(copy.data(), handle_->h, copy.size());
    zetcorrSetDynamicConfig(copy.data(), nullptr, &succ_, &abnormal_, 0);
    EXPECT_EQ(succ_, CORR_ARITH_FAIL_INVALID_OUTER_BUFFER | CORR_ARITH_FAIL_OUTER_BUFFER_CHANGED);
    EXPECT_EQ(abnormal_, 0u) << "a rejected handle applies nothing";

    // Missing flag pointers: nothing happens and nothing crashes.
    zetcorrSetDynamicConfig(handle_->h, nullptr, nullptr, &abnormal_, 0);
}

}  // namespace
}  // namespace correction_test
