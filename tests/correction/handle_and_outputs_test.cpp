// The handle's life (run checks, release, copies), the per-frame output-image rules, the
// version text and the diagnostic log switch.
#include <filesystem>
#include <regex>

#include "correction_fixture.h"
#include "vc_TofCorrPostprocCode/_Main/zeaOutImages_Corr.h"

namespace correction_test {
namespace {

constexpr uint8_t kFill = 0xAB;

struct Image {
    std::vector<char> memory;
    CORR_OIMG desc{};

    Image(OUT_IMAGE_BUFFER_TYPE type, size_t bytes) : memory(bytes, static_cast<char>(kFill)) {
        desc.eBufferType = type;
        desc.pcBuffer = bytes ? memory.data() : nullptr;
    }
    bool untouched() const {
        for (char c : memory) {
            if (static_cast<uint8_t>(c) != kFill) return false;
        }
        return true;
    }
    bool cleared() const {
        for (char c : memory) {
            if (c != 0) return false;
        }
        return !memory.empty();
    }
};

// Until the work modes exist, a frame that passes the checks is reported failed: a caller
// that takes the success mask at its word must never see a frame it did not get.
TEST(RunCorrection, NeverReportsSuccessForAnUnprocessedFrame) {
    for (CORR_USECASE_ID uc : {CORR_USECASE_ID_GRAY, CORR_USECASE_ID_SF, CORR_USECASE_ID_DF_GRAY}) {
        SCOPED_TRACE(uc);
        FixedParas f(uc, 4, 8, 4);
        f.setBlob(smallBlob());
        Handle h(&f.p);
        ASSERT_NE(h.h, nullptr);
        Image depth(OIMG_BUFFER_USER, 8 * 4 * 2);
        Image gray(OIMG_BUFFER_USER, 8 * 4 * 2);
        CORR_INDATAS in{};
        CORR_OUTDATAS out{};
        out.pstOutDepth = &depth.desc;
        out.pstOutGray = &gray.desc;
        uint32_t succ = 0;
        uint32_t abnormal = 0;
        zetcorrRunCorrection(h.h, &in, &out, &succ, &abnormal, 0);
        EXPECT_NE(succ, 0u);
        EXPECT_TRUE(depth.cleared()) << "outputs are set up (cleared) before the frame fails";
        EXPECT_EQ(depth.desc.eName, OIMG_NAME_DEPTH);
        EXPECT_EQ(depth.desc.eDataType, OIMG_DTYPE_UINT16);
        EXPECT_EQ(depth.desc.usWidth, 8);
        EXPECT_EQ(depth.desc.usHeight, 4);
        EXPECT_EQ(gray.desc.eName, OIMG_NAME_GRAY);
    }
}

TEST(RunCorrection, ChecksHandleAndRecordsFirst) {
    FixedParas f;
    f.setBlob(smallBlob());
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    CORR_INDATAS in{};
    CORR_OUTDATAS out{};
    uint32_t succ = 0;
    uint32_t abnormal = 0;
    zetcorrRunCorrection(h.h, nullptr, &out, &succ, &abnormal, 0);
    EXPECT_EQ(succ, CORR_ARITH_FAIL_INVALID_INDATAS_POINTER);
    zetcorrRunCorrection(h.h, &in, nullptr, &succ, &abnormal, 0);
    EXPECT_EQ(succ, CORR_ARITH_FAIL_INVALID_OUTDATAS_POINTER);
    zetcorrRunCorrection(nullptr, &in, &out, &succ, &abnormal, 0);
    EXPECT_EQ(succ, CORR_ARITH_FAIL_INVALID_OUTER_BUFFER);
    std::vector<unsigned char> copy(sizeof(GLB_BUFFERS));
    std::memcpy(copy.data(), h.h, copy.size());
    zetcorrRunCorrection(copy.data(), &in, &out, &succ, &abnormal, 0);
    EXPECT_EQ(succ, CORR_ARITH_FAIL_INVALID_OUTER_BUFFER | CORR_ARITH_FAIL_OUTER_BUFFER_CHANGED);
    zetcorrRunCorrection(h.h, &in, &out, nullptr, &abnormal, 0);  // no flag pointer: nothing happens
}

// Releasing a byte copy of a handle would free memory that is not a handle (or free the
// original twice); the copy is refused and the original stays usable.
TEST(Release, RefusesCopiesAndNullsTheReleasedHandle) {
    FixedParas f;
    f.setBlob(smallBlob());
    uint32_t succ = 0;
    uint32_t abnormal = 0;
    void* h = zetcorrInit(&f.p, &succ, &abnormal, 0, 0);
    ASSERT_NE(h, nullptr);
    std::vector<unsigned char> copy(sizeof(GLB_BUFFERS));
    std::memcpy(copy.data(), h, copy.size());
    void* pCopy = copy.data();
    zetcorrRelease(&pCopy, 0);
    EXPECT_EQ(pCopy, copy.data());
    zetcorrSetDynamicConfig(h, nullptr, &succ, &abnormal, 0);
    EXPECT_EQ(succ, 0u) << "the original handle still works";

    zetcorrRelease(&h, 0);
    EXPECT_EQ(h, nullptr);
    zetcorrRelease(&h, 0);       // already released: refused quietly
    zetcorrRelease(nullptr, 0);  // no pointer at all
}

struct BufferCase {
    const char* name;
    OUT_IMAGE_BUFFER_TYPE fixedAtInit;
    OUT_IMAGE_BUFFER_TYPE asked;
    bool withMemory;
    OUT_IMAGE_BUFFER_TYPE typeAfter;
    enum Memory { CALLERS, INNER, NONE } producedInto;
    uint32_t abnormal;
    uint32_t failure;
};

// Amplitude (never required) and depth (required in a depth work mode): the descriptor's
// rewrite, where the image goes, and the bits of every combination of the two types.
const BufferCase kAmpCases[] = {
    {"user/user", OIMG_BUFFER_USER, OIMG_BUFFER_USER, true, OIMG_BUFFER_USER, BufferCase::CALLERS, 0, 0},
    {"user/user without memory", OIMG_BUFFER_USER, OIMG_BUFFER_USER, false, OIMG_BUFFER_USER, BufferCase::NONE,
     CORR_ARITH_ABNORMAL_BUFFER_TYPE_USER_BUT_NO_ALLOCATE, 0},
    {"inner/inner", OIMG_BUFFER_INNER, OIMG_BUFFER_INNER, false, OIMG_BUFFER_INNER, BufferCase::INNER, 0, 0},
    {"null/null with memory", OIMG_BUFFER_NULL, OIMG_BUFFER_NULL, true, OIMG_BUFFER_NULL, BufferCase::NONE, 0, 0},
    {"inner/user", OIMG_BUFFER_INNER, OIMG_BUFFER_USER, true, OIMG_BUFFER_USER, BufferCase::CALLERS,
     CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET, 0},
    {"inner/user without memory falls back to inner", OIMG_BUFFER_INNER, OIMG_BUFFER_USER, false, OIMG_BUFFER_INNER,
     BufferCase::INNER,
     CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET | CORR_ARITH_ABNORMAL_BUFFER_TYPE_USER_BUT_NO_ALLOCATE, 0},
    {"null/user without memory", OIMG_BUFFER_NULL, OIMG_BUFFER_USER, false, OIMG_BUFFER_USER, BufferCase::NONE,
     CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET | CORR_ARITH_ABNORMAL_BUFFER_TYPE_USER_BUT_NO_ALLOCATE, 0},
    {"user/inner", OIMG_BUFFER_USER, OIMG_BUFFER_INNER, true, OIMG_BUFFER_INNER, BufferCase::NONE,
     CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET | CORR_ARITH_ABNORMAL_BUFFER_TYPE_INIT_NOT_INNER, 0},
    {"user/null", OIMG_BUFFER_USER, OIMG_BUFFER_NULL, true, OIMG_BUFFER_NULL, BufferCase::NONE,
     CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET | CORR_ARITH_ABNORMAL_BUFFER_TYPE_NULL_BUT_NO_INFIXPARA, 0},
    {"user/unknown", OIMG_BUFFER_USER, static_cast<OUT_IMAGE_BUFFER_TYPE>(7), true, OIMG_BUFFER_NULL,
     BufferCase::NONE,
     CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET | CORR_ARITH_ABNORMAL_BUFFER_TYPE_NULL_SET_UNKNOWN, 0},
};

const BufferCase kDepthCases[] = {
    {"required user without memory", OIMG_BUFFER_USER, OIMG_BUFFER_USER, false, OIMG_BUFFER_USER, BufferCase::NONE, 0,
     CORR_ARITH_FAIL_INVALID_OUT_IMG_BUFFER},
    {"required inner not fixed at init", OIMG_BUFFER_USER, OIMG_BUFFER_INNER, true, OIMG_BUFFER_INNER,
     BufferCase::NONE, CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET, CORR_ARITH_FAIL_INVALID_OUT_IMG_BUFFER},
    {"required user with memory", OIMG_BUFFER_USER, OIMG_BUFFER_USER, true, OIMG_BUFFER_USER, BufferCase::CALLERS, 0,
     0},
};

void runBufferCase(const BufferCase& c, OUT_IMAGE_NAME eName) {
    SCOPED_TRACE(c.name);
    constexpr uint16_t kW = 8, kH = 4;
    FixedParas f(CORR_USECASE_ID_SF, 4, kW, kH);
    f.setBlob(smallBlob());
    (eName == OIMG_NAME_AMP ? f.p.eOutBufferType_Amp : f.p.eOutBufferType_Depth) = c.fixedAtInit;
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    Image img(c.asked, c.withMemory ? kW * kH * 2 : 0);
    CORR_OUTDATAS out{};
    (eName == OIMG_NAME_AMP ? out.pstOutAmp : out.pstOutDepth) = &img.desc;
    uint32_t succ = 0;
    uint32_t abnormal = 0;
    const OutImageBuffers produced = MAINC_SetOutImages(h.glb(), out, &succ, &abnormal, 0);
    const char* into = eName == OIMG_NAME_AMP ? produced.pcAmp : produced.pcDepth;

    EXPECT_EQ(succ, c.failure);
    EXPECT_EQ(abnormal, c.abnormal);
    EXPECT_EQ(img.desc.eBufferType, c.typeAfter);
    EXPECT_EQ(img.desc.eName, eName);
    EXPECT_EQ(img.desc.usWidth, kW);
    EXPECT_EQ(img.desc.usHeight, kH);
    const std::vector<char>& inner = h.glb().pstGlbOutDatas->pcOutImg[eName];
    switch (c.producedInto) {
        case BufferCase::CALLERS:
            EXPECT_EQ(into, img.memory.data());
            EXPECT_TRUE(img.cleared());
            break;
        case BufferCase::INNER:
            ASSERT_FALSE(inner.empty());
            EXPECT_EQ(into, inner.data());
            EXPECT_EQ(img.desc.pcBuffer, inner.data());
            break;
        case BufferCase::NONE:
            EXPECT_EQ(into, nullptr);
            EXPECT_TRUE(img.memory.empty() || img.untouched()) << "memory of an image not produced is left alone";
            break;
    }
}

TEST(OutputImages, BufferTypesAreReconciledWithTheTypesFixedAtInit) {
    for (const BufferCase& c : kAmpCases) runBufferCase(c, OIMG_NAME_AMP);
    for (const BufferCase& c : kDepthCases) runBufferCase(c, OIMG_NAME_DEPTH);
}

// Use case 10 has two backgrounds, but the library keeps memory for the first only.
TEST(OutputImages, SecondBackgroundHasNoInnerMemory) {
    FixedParas f(CORR_USECASE_ID_BG_GRAY_BG_SF, 4, 8, 4);
    f.setBlob(smallBlob());
    f.p.eOutBufferType_Bg = OIMG_BUFFER_INNER;
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    Image bg0(OIMG_BUFFER_INNER, 0);
    Image bg1(OIMG_BUFFER_INNER, 0);
    Image bg1User(OIMG_BUFFER_USER, 0);
    CORR_OUTDATAS out{};
    out.pstOutBg[0] = &bg0.desc;
    out.pstOutBg[1] = &bg1.desc;
    uint32_t succ = 0;
    uint32_t abnormal = 0;
    OutImageBuffers produced = MAINC_SetOutImages(h.glb(), out, &succ, &abnormal, 0);
    EXPECT_EQ(succ, 0u);
    EXPECT_EQ(abnormal, CORR_ARITH_ABNORMAL_BUFFER_TYPE_INNER_BUT_NO_ALLOCATE);
    EXPECT_NE(produced.pcBg[0], nullptr);
    EXPECT_EQ(produced.pcBg[1], nullptr);
    EXPECT_EQ(bg1.desc.eBufferType, OIMG_BUFFER_NULL);

    // A user request without memory falls back to the inner memory, which does not exist.
    out.pstOutBg[1] = &bg1User.desc;
    abnormal = 0;
    produced = MAINC_SetOutImages(h.glb(), out, &succ, &abnormal, 0);
    EXPECT_EQ(succ, 0u);
    EXPECT_EQ(abnormal, CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET | CORR_ARITH_ABNORMAL_BUFFER_TYPE_USER_BUT_NO_ALLOCATE |
                            CORR_ARITH_ABNORMAL_INVALID_INNER_IMG_BUFFER);
    EXPECT_EQ(produced.pcBg[1], nullptr);
    EXPECT_EQ(bg1User.desc.eBufferType, OIMG_BUFFER_NULL);
}

TEST(OutputImages, PointCloudWithoutComputationIsDropped) {
    FixedParas f(CORR_USECASE_ID_SF, 4, 8, 4);
    f.setBlob(smallBlob());
    f.p.eOutBufferType_PointCloud = OIMG_BUFFER_NULL;
    f.p.eOutDepthValueType = DEPTH_VALUE_XYR;
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    ASSERT_EQ(h.fix().ucEnableCalcPointCloud, 0);
    Image pc(OIMG_BUFFER_USER, 8 * 4 * 12);
    CORR_OUTDATAS out{};
    out.pstOutPointCloud = &pc.desc;
    uint32_t succ = 0;
    uint32_t abnormal = 0;
    const OutImageBuffers produced = MAINC_SetOutImages(h.glb(), out, &succ, &abnormal, 0);
    EXPECT_EQ(produced.pcPointCloud, nullptr);
    EXPECT_EQ(pc.desc.eBufferType, OIMG_BUFFER_NULL);
    EXPECT_EQ(abnormal, CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET | CORR_ARITH_ABNORMAL_CALC_POINTCLOUD);
}

TEST(Version, TextCarriesTheBuildDateOrGoesToItsFile) {
    char text[CORR_VERSION_TEXT_BYTES] = {};
    zetcorrGetVersion(text);
    EXPECT_TRUE(std::regex_match(text, std::regex("zealib_TofCorrection_V2\\.0\\.7\\.2_[0-9]{6}"))) << text;

    ScratchDir dir;
    zetcorrGetVersion(nullptr);
    EXPECT_EQ(readFile("zealib_tofcorrection_version.txt"),
              std::string("\nCurrent dll_TofCorrection.dll/lib/so/a Version is:\n\n") + text + "\n");
}

TEST(DiagnosticLog, WrittenOnlyWhenAskedWithFailureBlocksAndFinalLine) {
    ScratchDir dir;
    FixedParas f;
    f.setBlob(smallBlob());
    {
        Handle quiet(&f.p, 0);
        ASSERT_NE(quiet.h, nullptr);
        EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path())) << "logging off writes no file";
    }
    {
        Handle logged(&f.p, 1);
        ASSERT_NE(logged.h, nullptr);
        const std::string log = readFile("zealib_tofcorrection_init_log.txt");
        EXPECT_EQ(log.rfind("\nTof correction algorithm is initializing ...\n\n", 0), 0u);
        EXPECT_NE(log.find("------ eCaliParasVersion:         V3.1\n"), std::string::npos);
        const std::string last = "\n\nInitialization successfully!\n";
        EXPECT_EQ(log.substr(log.size() - last.size()), last);
    }
    f.p.usInImgWidth = f.p.usOutImgWidth = 700;
    Handle failed(&f.p, 1);
    EXPECT_EQ(failed.h, nullptr);
    const std::string log = readFile("zealib_tofcorrection_init_log.txt");
    EXPECT_NE(log.find("\n    CORR_INIT_FAIL_INVALID_PARA_IN_IMG_WIDTH:\n"
                       "    ------ zetcorrInit() -> CORR_FIXPARA* pstFixParas -> usInImgWidth: = 700\n"
                       "           usInImgWidth's valid range is [1, 640]\n"),
              std::string::npos)
        << log;
    const std::string last = "\n\nInitialization failure!\n";
    EXPECT_EQ(log.substr(log.size() - last.size()), last);
}

}  // namespace
}  // namespace correction_test
