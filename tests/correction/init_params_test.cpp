// zetcorrInit: the checks of the fixed parameters, their replacements, the settings they
// yield and the memory the handle owns.
#include <cmath>
#include <functional>
#include <limits>

#include "correction_fixture.h"

namespace correction_test {
namespace {

struct InvalidCase {
    const char* name;
    std::function<void(FixedParas&)> change;
    uint32_t expectedBits;
};

// Each invalid field must set exactly its own bit and return no handle; a check that
// tests the wrong field, a wrong bound or a missing check shows up as a different mask.
const InvalidCase kInvalid[] = {
    {"sensor id matching six characters (frames carry embedded data)",
     [](FixedParas& f) {
         std::strcpy(f.p.cSensorID, "ZEF447X001");
         f.p.ucEnableFixFrmPara = 0;
     },
     CORR_INIT_FAIL_INVALID_PARA_SENSORID},
    {"use case 0", [](FixedParas& f) { f.p.eUsecaseID = CORR_USECASE_ID_UNKNOWN; }, CORR_INIT_FAIL_INVALID_PARA_USECASEID},
    {"use case 33", [](FixedParas& f) { f.p.eUsecaseID = static_cast<CORR_USECASE_ID>(33); },
     CORR_INIT_FAIL_INVALID_PARA_USECASEID},
    {"width 0", [](FixedParas& f) { f.p.usInImgWidth = f.p.usOutImgWidth = 0; }, CORR_INIT_FAIL_INVALID_PARA_IN_IMG_WIDTH},
    {"width 641", [](FixedParas& f) { f.p.usInImgWidth = f.p.usOutImgWidth = 641; },
     CORR_INIT_FAIL_INVALID_PARA_IN_IMG_WIDTH},
    {"height 481", [](FixedParas& f) { f.p.usInImgHeight = f.p.usOutImgHeight = 481; },
     CORR_INIT_FAIL_INVALID_PARA_IN_IMG_HEIGHT},
    {"embedded type 5", [](FixedParas& f) { f.p.eIsHasEbd = static_cast<CORR_EBD_TYPE>(5); },
     CORR_INIT_FAIL_INVALID_PARA_IS_HAS_EBD},
    {"embedded data before the image without bytes",
     [](FixedParas& f) {
         f.p.eIsHasEbd = CORR_EBD_BEFORE_IMG;
         f.p.uiEbdBytes = 0;
     },
     CORR_INIT_FAIL_INVALID_PARA_EBD_BYTES},
    {"neither fixed frame parameters nor embedded data",
     [](FixedParas& f) {
         f.p.ucEnableFixFrmPara = 0;
         f.p.eIsHasEbd = CORR_NO_EBD;
     },
     CORR_INIT_FAIL_INVALID_PARA_ENABLE_FIX_FRM_PARA},
    {"fixed frame parameters switched on but missing", [](FixedParas& f) { f.p.pstFixFrmPara = nullptr; },
     CORR_INIT_FAIL_INVALID_PARA_FIX_FRM_PARA},
    {"frequency 321.01", [](FixedParas& f) { f.frm.fModFreqMHZ[0] = 321.01f; }, CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ},
    {"frequency 0", [](FixedParas& f) { f.frm.fModFreqMHZ[0] = 0.0f; }, CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ},
    {"frequency negative", [](FixedParas& f) { f.frm.fModFreqMHZ[0] = -20.0f; }, CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ},
    {"frequency NaN", [](FixedParas& f) { f.frm.fModFreqMHZ[0] = std::nanf(""); }, CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ},
    {"roi start x 640", [](FixedParas& f) { f.frm.usPixelRoiStartX = 640; },
     CORR_INIT_FAIL_INVALID_PARA_PIXEL_ROI_START_XY},
    {"roi start y 480", [](FixedParas& f) { f.frm.usPixelRoiStartY = 480; },
     CORR_INIT_FAIL_INVALID_PARA_PIXEL_ROI_START_XY},
    {"mirror 4", [](FixedParas& f) { f.frm.ePixelMirrorMode = static_cast<CORR_PIXEL_MIRROR_MODE>(4); },
     CORR_INIT_FAIL_INVALID_PARA_PIXEL_MIRROR_MODE},
    {"phase mode 5", [](FixedParas& f) { f.frm.ePixelPhaseMode = static_cast<CORR_PIXEL_PHASE_MODE>(5); },
     CORR_INIT_FAIL_INVALID_PARA_PIXEL_PHASE_MODE},
    {"binning 5", [](FixedParas& f) { f.p.ePixelBinningMode = static_cast<CORR_PIXEL_BINNING_MODE>(5); },
     CORR_INIT_FAIL_INVALID_PARA_PIXEL_BINNING_MODE},
    {"three phases", [](FixedParas& f) { f.p.ucDepthPhaseNum = 3; }, CORR_INIT_FAIL_INVALID_PARA_DEPTH_PHASE_NUM},
    {"gray mode 3", [](FixedParas& f) { f.p.ePixelGrayBgMode = static_cast<CORR_PIXEL_GRAYBG_MODE>(3); },
     CORR_INIT_FAIL_INVALID_PARA_PIXEL_GRAYBG_MODE},
    {"zero value 4097", [](FixedParas& f) { f.p.usPixelGrayBgZeroValue = 4097; },
     CORR_INIT_FAIL_INVALID_PARA_PIXEL_GRAYBG_MODE},
    {"HDR 4", [](FixedParas& f) { f.p.eHDRMode = static_cast<CORR_HDE_MODE>(4); }, CORR_INIT_FAIL_INVALID_PARA_HDR_MODE},
    {"out width 321 of 640",
     [](FixedParas& f) {
         f.p.usInImgWidth = 640;
         f.p.usOutImgWidth = 321;
     },
     CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_WIDTH},
    {"out height differs", [](FixedParas& f) { f.p.usOutImgHeight = 47; }, CORR_INIT_FAIL_INVALID_PARA_OUT_IMG_HEIGHT},
    {"height and HDR together",
     [](FixedParas& f) {
         f.p.usInImgHeight = f.p.usOutImgHeight = 0;
         f.p.eHDRMode = static_cast<CORR_HDE_MODE>(9);
     },
     CORR_INIT_FAIL_INVALID_PARA_IN_IMG_HEIGHT | CORR_INIT_FAIL_INVALID_PARA_HDR_MODE},
    {"unknown sensor fails every used frequency",
     [](FixedParas& f) { std::strcpy(f.p.cSensorID, "OTHER"); },
     CORR_INIT_FAIL_INVALID_PARA_SENSORID | CORR_INIT_FAIL_INVALID_PARA_MOD_FREQ},
};

TEST(InitFixedParas, EachInvalidFieldSetsExactlyItsBitsAndReturnsNoHandle) {
    for (const InvalidCase& c : kInvalid) {
        SCOPED_TRACE(c.name);
        FixedParas f;
        f.setBlob(smallBlob());
        c.change(f);
        Handle h(&f.p);
        EXPECT_EQ(h.h, nullptr);
        EXPECT_EQ(h.uiSucc, c.expectedBits);
    }
}

TEST(InitFixedParas, BoundaryValuesThatMustPass) {
    const std::function<void(FixedParas&)> accepted[] = {
        [](FixedParas& f) { std::strcpy(f.p.cSensorID, "ZEF4471-anything-after"); },
        [](FixedParas& f) { f.frm.fModFreqMHZ[0] = 321.0f; },
        [](FixedParas& f) {
            f.p.usInImgWidth = 640;
            f.p.usOutImgWidth = 320;
        },
        // Only the frequency slots the use case uses are checked.
        [](FixedParas& f) { f.frm.fModFreqMHZ[1] = std::numeric_limits<float>::quiet_NaN(); },
        // Embedded data in place of fixed frame parameters.
        [](FixedParas& f) { f.p.ucEnableFixFrmPara = 0; },
    };
    for (size_t i = 0; i < std::size(accepted); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        FixedParas f;
        f.setBlob(smallBlob());
        accepted[i](f);
        Handle h(&f.p);
        EXPECT_NE(h.h, nullptr);
        EXPECT_EQ(h.uiSucc, 0u);
        EXPECT_EQ(h.uiAbnormal, 0u);
    }
}

struct CorrectionCase {
    const char* name;
    std::function<void(FixedParas&)> change;
    std::function<bool(const CORR_FIXPARA&)> replaced;
    uint32_t expectedAbnormal;
};

// Correctable fields are replaced in the caller's structure and reported; init goes on.
const CorrectionCase kCorrections[] = {
    {"swap 5", [](FixedParas& f) { f.p.ucEnableDataSwapHighLowBits = 5; },
     [](const CORR_FIXPARA& p) { return p.ucEnableDataSwapHighLowBits == 0; },
     CORR_INIT_ABNORMAL_INVALID_PARA_ENABLE_DATA_SWAP_BITS},
    {"shift 17", [](FixedParas& f) { f.p.ucDataRightShiftBits = 17; },
     [](const CORR_FIXPARA& p) { return p.ucDataRightShiftBits == 0; },
     CORR_INIT_ABNORMAL_INVALID_PARA_DATA_RIGHT_SHIFT_BITS},
    {"point-cloud buffer 3", [](FixedParas& f) { f.p.eOutBufferType_PointCloud = static_cast<OUT_IMAGE_BUFFER_TYPE>(3); },
     [](const CORR_FIXPARA& p) { return p.eOutBufferType_PointCloud == OIMG_BUFFER_INNER; },
     CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_PC},
    {"depth buffer 9", [](FixedParas& f) { f.p.eOutBufferType_Depth = static_cast<OUT_IMAGE_BUFFER_TYPE>(9); },
     [](const CORR_FIXPARA& p) { return p.eOutBufferType_Depth == OIMG_BUFFER_INNER; },
     CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_DEPTH},
    {"flag buffer -1", [](FixedParas& f) { f.p.eOutBufferType_Flag = static_cast<OUT_IMAGE_BUFFER_TYPE>(-1); },
     [](const CORR_FIXPARA& p) { return p.eOutBufferType_Flag == OIMG_BUFFER_INNER; },
     CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_FLAG},
    {"confidence buffer 4", [](FixedParas& f) { f.p.eOutBufferType_Confidence = static_cast<OUT_IMAGE_BUFFER_TYPE>(4); },
     [](const CORR_FIXPARA& p) { return p.eOutBufferType_Confidence == OIMG_BUFFER_INNER; },
     CORR_INIT_ABNORMAL_INVALID_PARA_OUT_BUFFER_TYPE_CONFI},
    {"depth value type 2", [](FixedParas& f) { f.p.eOutDepthValueType = static_cast<DEPTH_VALUE_TYPE>(2); },
     [](const CORR_FIXPARA& p) { return p.eOutDepthValueType == DEPTH_VALUE_XYZ; },
     CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_VALUE_TYPE},
    {"depth type 2", [](FixedParas& f) { f.p.eOutDepthType = static_cast<DEPTH_DATA_TYPE>(2); },
     [](const CORR_FIXPARA& p) { return p.eOutDepthType == DEPTH_TYPE_UINT16; },
     CORR_INIT_ABNORMAL_INVALID_PARA_OUT_DEPTH_TYPE},
    {"point-cloud type 2", [](FixedParas& f) { f.p.eOutPointCloudType = static_cast<POINTCLOUD_DATA_TYPE>(2); },
     [](const CORR_FIXPARA& p) { return p.eOutPointCloudType == PC_TYPE_PC32F; },
     CORR_INIT_ABNORMAL_INVALID_PARA_OUT_POINT_CLOUE_TYPE},
};

TEST(InitFixedParas, CorrectableFieldsAreReplacedAndReportedWhileInitSucceeds) {
    for (const CorrectionCase& c : kCorrections) {
        SCOPED_TRACE(c.name);
        FixedParas f;
        f.setBlob(smallBlob());
        c.change(f);
        Handle h(&f.p);
        ASSERT_NE(h.h, nullptr);
        EXPECT_EQ(h.uiSucc, 0u);
        EXPECT_EQ(h.uiAbnormal, c.expectedAbnormal);
        EXPECT_TRUE(c.replaced(f.p));
    }
}

TEST(InitFixedParas, MissingFlagPointersOrParametersGiveNoHandle) {
    FixedParas f;
    uint32_t flag = 0;
    EXPECT_EQ(zetcorrInit(&f.p, nullptr, &flag, 0, 0), nullptr);
    EXPECT_EQ(zetcorrInit(&f.p, &flag, nullptr, 0, 0), nullptr);
    Handle h(nullptr);
    EXPECT_EQ(h.h, nullptr);
    EXPECT_EQ(h.uiSucc, CORR_INIT_FAIL_INVALID_FIXPARA_POINTER);
}

TEST(InitSettings, ReadOutStepsOfZeroAndBinnedRowsAreDerivedAsDocumented) {
    struct StepCase {
        CORR_PIXEL_BINNING_MODE binning;
        uint8_t stepX, stepY;
        uint8_t expectX, expectY;
    };
    const StepCase cases[] = {
        {CORR_PIXEL_BINNING_OFF, 0, 0, 32, 32},  {CORR_PIXEL_BINNING_2x1, 0, 0, 32, 16},
        {CORR_PIXEL_BINNING_2x2, 2, 3, 2, 6},    {CORR_PIXEL_BINNING_1x2, 2, 3, 2, 3},
        {CORR_PIXEL_BINNING_4x4, 1, 200, 1, 255},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.binning) + " " + std::to_string(c.stepX) + "/" + std::to_string(c.stepY));
        FixedParas f;
        f.setBlob(smallBlob());
        f.p.ePixelBinningMode = c.binning;
        f.frm.ucPixelLowResoStepX = c.stepX;
        f.frm.ucPixelLowResoStepY = c.stepY;
        Handle h(&f.p);
        ASSERT_NE(h.h, nullptr);
        EXPECT_EQ(h.fix().stWorkSensorStatus.ucPixelLowResoStepX, c.expectX);
        EXPECT_EQ(h.fix().stWorkSensorStatus.ucPixelLowResoStepY, c.expectY);
    }
}

TEST(InitSettings, PointCloudIsComputedWhenAskedForOrNeededForZDepth) {
    struct PcCase {
        OUT_IMAGE_BUFFER_TYPE pc, depth;
        DEPTH_VALUE_TYPE value;
        BBOOL expected;
    };
    const PcCase cases[] = {
        {OIMG_BUFFER_USER, OIMG_BUFFER_NULL, DEPTH_VALUE_XYR, 1},
        {OIMG_BUFFER_NULL, OIMG_BUFFER_USER, DEPTH_VALUE_XYZ, 1},
        {OIMG_BUFFER_NULL, OIMG_BUFFER_USER, DEPTH_VALUE_XYR, 0},
        {OIMG_BUFFER_NULL, OIMG_BUFFER_NULL, DEPTH_VALUE_XYZ, 0},
    };
    for (const PcCase& c : cases) {
        FixedParas f;
        f.setBlob(smallBlob());
        f.p.eOutBufferType_PointCloud = c.pc;
        f.p.eOutBufferType_Depth = c.depth;
        f.p.eOutDepthValueType = c.value;
        Handle h(&f.p);
        ASSERT_NE(h.h, nullptr);
        EXPECT_EQ(h.fix().ucEnableCalcPointCloud, c.expected) << c.pc << " " << c.depth << " " << c.value;
    }
}

// The library owns inner outputs of the requested size, sensor-sized phase-difference
// images per frequency, and stand-in images only where no inner output exists.
TEST(InitMemory, InnerOutputsAndWorkingImagesFollowTheSettings) {
    FixedParas f(CORR_USECASE_ID_DF, 4, 32, 24);
    f.setBlob(smallBlob());
    f.p.eOutBufferType_Amp = OIMG_BUFFER_INNER;
    f.p.eOutBufferType_PointCloud = OIMG_BUFFER_INNER;
    f.p.eOutPointCloudType = PC_TYPE_DEPTH_POINT_CLOUD;
    f.p.eOutBufferType_Flag = OIMG_BUFFER_NULL;
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    const GLB_BUFFERS& g = h.glb();
    const size_t pixels = 32 * 24;
    EXPECT_EQ(g.pstGlbOutDatas->pcOutImg[OIMG_NAME_AMP].size(), pixels * 2);
    EXPECT_EQ(g.pstGlbOutDatas->pcOutImg[OIMG_NAME_POINTCLOUD].size(), pixels * 16);
    EXPECT_TRUE(g.pstGlbOutDatas->pcOutImg[OIMG_NAME_DEPTH].empty()) << "depth is the caller's";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(g.psPhaseDiff[i].size(), 640u * 480u) << i;
    EXPECT_TRUE(g.psPhaseDiff[4].empty()) << "two frequencies need four images";
    const GLB_DYN_BUFFERS& dyn = *g.pstGlbDynBuffers;
    EXPECT_EQ(dyn.piDepths[1].size(), pixels);
    EXPECT_TRUE(dyn.piDepths[2].empty());
    EXPECT_TRUE(dyn.pusTempAmp.empty()) << "the inner amplitude serves instead";
    EXPECT_TRUE(dyn.pfTempPointCloud.empty()) << "the inner point cloud serves instead";
    EXPECT_EQ(dyn.pucTempFlag.size(), pixels);
    EXPECT_EQ(dyn.pucTempConfidence.size(), pixels);
    EXPECT_GT(g.uiFixBufferBytes, pixels * 18);
    EXPECT_GT(g.uiDynBufferBytes, 4u * 640u * 480u * 2u);
}

TEST(InitCalibration, WithoutBlobEveryCalibratedModuleIsMarkedLackingCalibration) {
    FixedParas f;
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    EXPECT_EQ(h.uiSucc, 0u);
    EXPECT_EQ(h.uiAbnormal, CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER);
    EXPECT_EQ(h.fix().bLoadCaliParasSuccFlag, 0);
    EXPECT_EQ(h.fix().uiLoadCaliParasFlag, CPD3P1_FAIL_INVALID_CALIPARA_POINTER);
    const GLB_BUFFERS& g = h.glb();
    EXPECT_EQ(g.pGlbBuffer_BP->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag, BP_FAIL_INVALID_CALIPARA_POINTER);
    EXPECT_EQ(g.pGlbBuffer_LEN->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag, LEN_FAIL_INVALID_CALIPARA_POINTER);
    EXPECT_EQ(g.pGlbBuffer_WIG->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag, WIG_FAIL_INVALID_CALIPARA_POINTER);
    EXPECT_EQ(g.pGlbBuffer_FPN->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag, FPN_FAIL_INVALID_CALIPARA_POINTER);
    EXPECT_EQ(g.pGlbBuffer_LUMA->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag, LUMA_FAIL_INVALID_CALIPARA_POINTER);
    EXPECT_FALSE(g.pGlbBuffer_BP->pstCaliParas);
}

}  // namespace
}  // namespace correction_test
