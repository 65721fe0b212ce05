// The calibration parser on edge cases and bad input: version texts, short headers,
// frequency matching, binning correction, bad-pixel lists, and blobs whose claims do not
// match their bytes. A bad blob never fails init; it leaves the affected modules (or all
// of them) without calibration and says why.
#include <cmath>
#include <functional>
#include <limits>

#include "correction_fixture.h"
#include "vc_TofCorrPostprocCode/Correct/zeaCaliParas_Corr.h"

namespace correction_test {
namespace {

// Byte positions in a V3.1 header.
constexpr size_t kFreqsAt = 53;
constexpr size_t kModulesAt = 54;
size_t slotOffsetAt(size_t slot) { return 55 + 4 * slot; }

uint32_t readU32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
void writeU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void writeU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
size_t recordAt(const std::vector<uint8_t>& b, CALI_MODULE m, int freqs = 1) {
    return readU32(b, slotOffsetAt(CPD3P1_GetCaliParasSlot(freqs, m)));
}

std::vector<uint8_t> blobOf(const cal::CalibrationDescription& d) {
    cal::CalibrationBlob blob = cal::writeCalibrationBlob(d);
    EXPECT_TRUE(blob.ok()) << blob.error;
    return blob.bytes;
}

// Initialises a single-frequency handle at 100 MHz on the given bytes (handed over with
// their exact length).
struct Loaded {
    FixedParas f{CORR_USECASE_ID_SF, 2};
    std::unique_ptr<Handle> h;

    explicit Loaded(std::vector<uint8_t> bytes, float fWorkFreqMHz = 100.0f) {
        f.frm.fModFreqMHZ[0] = fWorkFreqMHz;
        f.setBlob(std::move(bytes));
        h = std::make_unique<Handle>(&f.p);
        EXPECT_NE(h->h, nullptr);
        EXPECT_EQ(h->uiSucc, 0u) << "a calibration blob never fails init";
    }
    const GLB_BUFFERS& g() const { return h->glb(); }
    const GLB_FIX_VARS& fix() const { return h->fix(); }
};

TEST(CaliVersion, DecidedByTheBytesAtOffsetFour) {
    struct VersionCase {
        std::string bytes;
        CALI_PARAS_VERSION expected;
    };
    const VersionCase cases[] = {
        {std::string("\x10\0\0\0", 4) + "CALI0300 V" + "anything", CALI_PARAS_V3_1},
        {std::string("\x10\0\0\0", 4) + "CALI0301" + "xx", CALI_PARAS_V3_1},
        {std::string("\x10\0\0\0", 4) + "CALI0300" + std::string(1, '\0') + "x", CALI_PARAS_V3},
        {std::string("\x10\0\0\0", 4) + "CALI0300 X", CALI_PARAS_V3},
        {std::string("\x10\0\0\0", 4) + "CALI0299" + "xx", CALI_PARAS_UNKNOWN},
        {std::string("\x10\0\0\0", 4) + "CALI030", CALI_PARAS_UNKNOWN},  // shorter than the text
        {"", CALI_PARAS_UNKNOWN},
    };
    for (const VersionCase& c : cases) {
        EXPECT_EQ(CALI_GetCaliParasVersion(CaliByteView(c.bytes.data(), c.bytes.size())), c.expected) << c.bytes;
    }
}

TEST(CaliVersion, LongV31TextLoadsAsV31AndUnknownVersionsDisableEveryCorrection) {
    cal::CalibrationDescription d = fullDescription(cal::BlobVersion::V3_1, {100});
    d.versionText = "CALI0300 ";
    d.caliArithVersion = "V3.1-tool";  // its first byte completes "CALI0300 V"
    Loaded v31(blobOf(d));
    EXPECT_EQ(v31.h->uiAbnormal, 0u);
    expectRecordsMatch(d, *v31.h, {0});

    d.versionText = "CALI0299";
    Loaded unknown(blobOf(d));
    EXPECT_EQ(unknown.h->uiAbnormal, CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER);
    EXPECT_EQ(unknown.fix().eCaliParasVersion, CALI_PARAS_UNKNOWN);
    EXPECT_EQ(unknown.fix().bLoadCaliParasSuccFlag, 0);
    EXPECT_EQ(unknown.g().pGlbBuffer_BP->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag, BP_FAIL_INVALID_INCALIPARA);
    EXPECT_EQ(unknown.g().pGlbBuffer_T->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag, T_FAIL_INVALID_INCALIPARA);
    EXPECT_FALSE(unknown.g().pGlbBuffer_LEN->pstCaliParas);
    EXPECT_FALSE(unknown.g().pGlbBuffer_WIG->pstCaliParas[0]);
}

// The trailing header fields are read only up to the first record; the others read 0.
TEST(CaliHeader, TrailingFieldsExistOnlyUpToTheFirstRecord) {
    struct TailCase {
        cal::HeaderTail tail;
        BBOOL maxFreqLoaded;
        uint8_t wigType, pulse, twoPhase;
    };
    const TailCase cases[] = {
        {cal::HeaderTail::ErrPrecision, 0, 0, 0, 0},
        {cal::HeaderTail::MaxFreq, 1, 0, 0, 0},
        {cal::HeaderTail::WigType, 1, 5, 0, 0},
        {cal::HeaderTail::TwoPhaseMode, 1, 5, 1, 1},
    };
    for (const TailCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.tail));
        cal::CalibrationDescription d = fullDescription(cal::BlobVersion::V3_1, {100});
        d.headerTail = c.tail;
        d.maxFreqMHz = 960.7f;
        d.wigType = 5;
        d.pulseMode = 1;
        d.twoPhaseMode = 1;
        Loaded l(blobOf(d));
        EXPECT_EQ(l.h->uiAbnormal, 0u);
        EXPECT_EQ(l.fix().bMaxFreqLoadFromCaliParas, c.maxFreqLoaded);
        EXPECT_EQ(l.fix().iMaxFreqFromCali, c.maxFreqLoaded ? 960 : 0);
        EXPECT_EQ(l.fix().stCaliCommonParas.ucCaliWigType, c.wigType);
        EXPECT_EQ(l.fix().stCaliCommonParas.ucIsPluseMode, c.pulse);
        EXPECT_EQ(l.fix().stCaliCommonParas.ucIs2PhaseMode, c.twoPhase);
        EXPECT_EQ(l.g().pGlbBuffer_PhaseFPPN->pstCaliParas->ucIs2PhaseMode, c.twoPhase);
        EXPECT_EQ(l.g().pGlbBuffer_LEN->pstGlbVars->stCaliLoad.bCaliParaLoadSucc, 1) << "records follow the short header";
    }
}

TEST(CaliFrequencies, WorkingFrequencyRoundsUpToWholeMHz) {
    const uint16_t cali[] = {20, 100, 60};
    EXPECT_EQ(CALI_MatchCaliFreqId(99.6f, cali, 3), 1);
    EXPECT_EQ(CALI_MatchCaliFreqId(100.0f, cali, 3), 1);
    EXPECT_EQ(CALI_MatchCaliFreqId(100.2f, cali, 3), -1) << "100.2 looks for 101";
    EXPECT_EQ(CALI_MatchCaliFreqId(19.01f, cali, 3), 0);
    EXPECT_EQ(CALI_MatchCaliFreqId(60.0f, cali, 2), -1) << "only the F calibrated frequencies count";
    EXPECT_EQ(CALI_MatchCaliFreqId(0.0f, cali, 3), -1);
    EXPECT_EQ(CALI_MatchCaliFreqId(std::nanf(""), cali, 3), -1);
    EXPECT_EQ(CALI_MatchCaliFreqId(1e30f, cali, 3), -1);
}

TEST(CaliFrequencies, UnmatchedWorkingFrequencyGetsNoPerFrequencyRecords) {
    const std::vector<uint8_t> bytes = blobOf(fullDescription(cal::BlobVersion::V3_1, {100}));
    Loaded matched(bytes, 99.6f);
    EXPECT_EQ(matched.fix().cWorkFreq2CaliFreqID[0], 0);
    EXPECT_EQ(matched.g().pGlbBuffer_T->pstGlbVars->stCaliLoad[0].bCaliParaLoadSucc, 1);

    Loaded unmatched(bytes, 100.2f);
    EXPECT_EQ(unmatched.fix().cWorkFreq2CaliFreqID[0], -1);
    EXPECT_EQ(unmatched.fix().usCaliModFreqsMHZ[0], 101);
    const GLB_BUFFERS& g = unmatched.g();
    EXPECT_EQ(g.pGlbBuffer_T->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag, T_FAIL_INVALID_CALI_FREQ);
    EXPECT_EQ(g.pGlbBuffer_OFS->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag, OFS_FAIL_INVALID_CALI_FREQ);
    EXPECT_EQ(g.pGlbBuffer_FPPN->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag, FPPN_FAIL_INVALID_CALI_FREQ);
    EXPECT_EQ(g.pGlbBuffer_WIG->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag, WIG_FAIL_INVALID_CALI_FREQ);
    EXPECT_FALSE(g.pGlbBuffer_T->pstCaliParas[0]);
    EXPECT_EQ(g.pGlbBuffer_LEN->pstGlbVars->stCaliLoad.bCaliParaLoadSucc, 1) << "single records still load";
}

TEST(CaliBinning, StoredTypeContradictingTheGeometryIsCorrected) {
    EXPECT_EQ(CALI_CalcBinningType(640, 480, 320, 480), CORR_PIXEL_BINNING_1x2);
    EXPECT_EQ(CALI_CalcBinningType(640, 480, 640, 240), CORR_PIXEL_BINNING_2x1);
    EXPECT_EQ(CALI_CalcBinningType(640, 480, 320, 240), CORR_PIXEL_BINNING_2x2);
    EXPECT_EQ(CALI_CalcBinningType(640, 480, 160, 120), CORR_PIXEL_BINNING_4x4);
    EXPECT_EQ(CALI_CalcBinningType(640, 480, 640, 480), CORR_PIXEL_BINNING_OFF);
    EXPECT_EQ(CALI_CalcBinningType(640, 480, 213, 480), CORR_PIXEL_BINNING_OFF);
    EXPECT_EQ(CALI_CalcBinningType(640, 480, 0, 480), CORR_PIXEL_BINNING_OFF) << "no division by a zero width";

    cal::CalibrationDescription d = fullDescription(cal::BlobVersion::V3_1, {100}, 320, 480);
    d.rawWidth = 640;
    d.rawHeight = 480;
    d.binningType = 0;
    Loaded l(blobOf(d));
    EXPECT_EQ(l.fix().stCaliSensorStatus.eCaliBinningMode, CORR_PIXEL_BINNING_1x2);
}

TEST(CaliBadPixels, ListStopsAtTheFirstEntryItCannotUse) {
    struct BpCase {
        const char* name;
        std::vector<cal::BadPixelEntry> entries;
        size_t points, rows, cols;
    };
    std::vector<cal::BadPixelEntry> many(BP_MAX_POINTS + 5, cal::BadPixelEntry{2, 3});
    many.push_back({-2, 1});
    const BpCase cases[] = {
        {"unknown kind (-1, 5)", {{1, 1}, {-2, 3}, {-1, 5}, {2, 2}}, 1, 1, 0},
        {"negative b", {{1, 1}, {-3, 4}, {3, -1}, {2, 2}}, 1, 0, 1},
        {"column beyond the calibration width", {{1, 1}, {16, 0}, {2, 2}}, 1, 0, 0},
        {"more than 4096 points", many, BP_MAX_POINTS, 0, 0},
    };
    for (const BpCase& c : cases) {
        SCOPED_TRACE(c.name);
        cal::CalibrationDescription d = fullDescription(cal::BlobVersion::V3_1, {100});  // 16 columns
        d.badPixels = c.entries;
        Loaded l(blobOf(d));
        ASSERT_TRUE(l.g().pGlbBuffer_BP->pstCaliParas);
        const BP_CALI_PARAS& bp = *l.g().pGlbBuffer_BP->pstCaliParas;
        EXPECT_EQ(bp.pcoor2sBPList.size(), c.points);
        EXPECT_EQ(bp.psBPRowsList.size(), c.rows);
        EXPECT_EQ(bp.psBPColsList.size(), c.cols);
        EXPECT_EQ(bp.uiValidBPCnt, c.points);
    }
}

struct BlobFault {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    uint32_t loadFlag;  // CPD3P1 bits of the refused blob
};

// Blobs whose header cannot be trusted are refused as a whole.
const BlobFault kRefused[] = {
    {"total length beyond the bytes handed over", [](std::vector<uint8_t>& b) { b.pop_back(); },
     CPD3P1_FAIL_INVALID_CALI_FILELEN},
    {"total length 0", [](std::vector<uint8_t>& b) { writeU32(b, 0, 0); }, CPD3P1_FAIL_INVALID_CALI_FILELEN},
    {"no frequencies", [](std::vector<uint8_t>& b) { b[kFreqsAt] = 0; }, CPD3P1_FAIL_INVALID_CALI_FREQNUM},
    {"five frequencies", [](std::vector<uint8_t>& b) { b[kFreqsAt] = 5; }, CPD3P1_FAIL_INVALID_CALI_FREQNUM},
    {"no records", [](std::vector<uint8_t>& b) { b[kModulesAt] = 0; }, CPD3P1_FAIL_INVALID_CALI_MODULENUM},
    {"shorter than its header", [](std::vector<uint8_t>& b) { b.resize(60); writeU32(b, 0, 60); },
     CPD3P1_FAIL_INVALID_CALI_FILELEN},
    {"record table beyond the blob",
     [](std::vector<uint8_t>& b) {
         b.resize(300);
         writeU32(b, 0, 300);
         b[kModulesAt] = 255;
     },
     CPD3P1_FAIL_INVALID_CALI_FILELEN},
    {"calibration width 0",
     [](std::vector<uint8_t>& b) {
         const size_t g = 55 + 5 * b[kModulesAt] + 4 * b[kFreqsAt];
         writeU16(b, g, 0);
     },
     CPD3P1_FAIL_INVALID_INCALIPARA},
    {"window start beyond the raw width",
     [](std::vector<uint8_t>& b) {
         const size_t g = 55 + 5 * b[kModulesAt] + 4 * b[kFreqsAt];
         writeU16(b, g + 8, 16);
     },
     CPD3P1_FAIL_INVALID_INCALIPARA},
};

TEST(CaliBadInput, UntrustworthyHeadersRefuseTheWholeBlob) {
    const std::vector<uint8_t> good = blobOf(fullDescription(cal::BlobVersion::V3_1, {100}));
    for (const BlobFault& c : kRefused) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        Loaded l(bytes);
        EXPECT_EQ(l.h->uiAbnormal, CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER);
        EXPECT_EQ(l.fix().bLoadCaliParasSuccFlag, 0);
        EXPECT_EQ(l.fix().uiLoadCaliParasFlag, c.loadFlag);
        EXPECT_FALSE(l.g().pGlbBuffer_BP->pstCaliParas);
        EXPECT_EQ(l.g().pGlbBuffer_BP->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag, BP_FAIL_INVALID_INCALIPARA);
    }

    FixedParas noLength;
    noLength.setBlob(good);
    noLength.p.uiInCaliParasBytes = 0;
    Handle h(&noLength.p);
    EXPECT_EQ(h.uiAbnormal, CORR_INIT_ABNORMAL_INVALID_IN_CALI_PARAS_POINTER) << "a blob without its length is not read";
    EXPECT_EQ(h.fix().uiLoadCaliParasFlag, CPD3P1_FAIL_INVALID_CALI_FILELEN);
}

struct RecordFault {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    std::function<uint32_t(const GLB_BUFFERS&)> flagOf;
    uint32_t expected;
};

// A damaged record only disables its own module.
const RecordFault kRecordFaults[] = {
    {"BP offset beyond the blob",
     [](std::vector<uint8_t>& b) { writeU32(b, slotOffsetAt(0), static_cast<uint32_t>(b.size())); },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_BP->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     BP_FAIL_INVALID_CALI_FIRSTBYTEID},
    {"BP marked invalid", [](std::vector<uint8_t>& b) { b[55 + 4 * b[kModulesAt]] = 0; },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_BP->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     BP_FAIL_INVALID_CALI_VALIDFLAG},
    {"BP count running past the end",
     [](std::vector<uint8_t>& b) { writeU16(b, recordAt(b, CALI_MODULE_BP), 0xFFFF); },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_BP->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     BP_FAIL_INVALID_INCALIPARA},
    {"lens focal length 0", [](std::vector<uint8_t>& b) { writeU32(b, recordAt(b, CALI_MODULE_LEN), 0); },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_LEN->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     LEN_FAIL_INVALID_CALIPARA},
    {"mask type 3", [](std::vector<uint8_t>& b) { b[recordAt(b, CALI_MODULE_MASK)] = 3; },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_MASK->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     MASK_FAIL_INVALID_CALIPARA},
    {"gray FPN type 3", [](std::vector<uint8_t>& b) { b[recordAt(b, CALI_MODULE_FPN)] = 3; },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_FPN->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     FPN_FAIL_INVALID_CALI_FILETYPE},
    {"temperature driver type 4", [](std::vector<uint8_t>& b) { b[recordAt(b, CALI_MODULE_T) + 1] = 4; },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_T->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag; },
     T_FAIL_INVALID_CALIPARA},
    {"wiggling table length 0", [](std::vector<uint8_t>& b) { writeU16(b, recordAt(b, CALI_MODULE_WIG) + 1, 0); },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_WIG->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag; },
     WIG_FAIL_INVALID_CALIPARA},
    {"wiggling table longer than the blob",
     [](std::vector<uint8_t>& b) { writeU16(b, recordAt(b, CALI_MODULE_WIG) + 1, 60000); },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_WIG->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag; },
     WIG_FAIL_INVALID_INCALIPARA},
    {"FPPN image type 3", [](std::vector<uint8_t>& b) { b[recordAt(b, CALI_MODULE_FPPN) + 2 + 41 + 1] = 3; },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_FPPN->pstGlbVars->stCaliLoad[0].uiCaliParaLoadSuccFlag; },
     FPPN_FAIL_INVALID_CALIPARA},
    {"luma block width 0", [](std::vector<uint8_t>& b) { b[recordAt(b, CALI_MODULE_LUMA) + 1] = 0; },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_LUMA->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     LUMA_FAIL_INVALID_CALI_BLOCK_X},
    {"luma blocks of one pixel need more gains than the blob has",
     [](std::vector<uint8_t>& b) {
         b[recordAt(b, CALI_MODULE_LUMA) + 1] = 1;
         b[recordAt(b, CALI_MODULE_LUMA) + 2] = 1;
     },
     [](const GLB_BUFFERS& g) { return g.pGlbBuffer_LUMA->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag; },
     LUMA_FAIL_INVALID_INCALIPARA},
};

TEST(CaliBadInput, DamagedRecordDisablesOnlyItsModule) {
    const std::vector<uint8_t> good = blobOf(fullDescription(cal::BlobVersion::V3_1, {100}));
    for (const RecordFault& c : kRecordFaults) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        Loaded l(bytes);
        EXPECT_EQ(l.h->uiAbnormal, 0u);
        EXPECT_EQ(l.fix().bLoadCaliParasSuccFlag, 1);
        EXPECT_EQ(c.flagOf(l.g()), c.expected);
        EXPECT_EQ(l.g().pGlbBuffer_REG->pstGlbVars->stCaliLoad.bCaliParaLoadSucc, 1) << "other modules still load";
    }
}

// Every prefix of a blob, handed over with its exact length, once with the original total
// length (refused) and once with the total cut to the prefix: nothing is read outside the
// bytes (the sanitizer build checks), and more bytes never load fewer modules. One handle
// serves every load; each load starts afresh.
TEST(CaliBadInput, EveryTruncationStaysInsideTheBytes) {
    const std::vector<uint8_t> full = blobOf(fullDescription(cal::BlobVersion::V3_1, {100, 20}, 8, 4));
    FixedParas f(CORR_USECASE_ID_DF, 2, 8, 4);
    f.frm.fModFreqMHZ[0] = 100.0f;
    f.frm.fModFreqMHZ[1] = 20.0f;
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    const GLB_BUFFERS& g = h.glb();
    const auto loadedCount = [&g]() {
        int n = g.pGlbBuffer_BP->pstGlbVars->stCaliLoad.bCaliParaLoadSucc +
                g.pGlbBuffer_MASK->pstGlbVars->stCaliLoad.bCaliParaLoadSucc +
                g.pGlbBuffer_LEN->pstGlbVars->stCaliLoad.bCaliParaLoadSucc +
                g.pGlbBuffer_FPN->pstGlbVars->stCaliLoad.bCaliParaLoadSucc +
                g.pGlbBuffer_LUMA->pstGlbVars->stCaliLoad.bCaliParaLoadSucc +
                g.pGlbBuffer_PhaseFPPN->pstGlbVars->stCaliLoad.bCaliParaLoadSucc +
                g.pGlbBuffer_REG->pstGlbVars->stCaliLoad.bCaliParaLoadSucc;
        for (int i = 0; i < 2; ++i) {
            n += g.pGlbBuffer_T->pstGlbVars->stCaliLoad[i].bCaliParaLoadSucc +
                 g.pGlbBuffer_OFS->pstGlbVars->stCaliLoad[i].bCaliParaLoadSucc +
                 g.pGlbBuffer_FPPN->pstGlbVars->stCaliLoad[i].bCaliParaLoadSucc +
                 g.pGlbBuffer_WIG->pstGlbVars->stCaliLoad[i].bCaliParaLoadSucc;
        }
        return n;
    };
    int previous = 0;
    for (size_t len = 0; len <= full.size(); ++len) {
        SCOPED_TRACE("prefix " + std::to_string(len));
        for (bool cutTotal : {false, true}) {
            std::vector<uint8_t> prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len));
            if (cutTotal && len >= 4) writeU32(prefix, 0, static_cast<uint32_t>(len));
            f.setBlob(std::move(prefix));
            const bool loaded = CALI_LoadCaliParas(h.glb(), f.p, 0);
            const int modules = loadedCount();
            if (!cutTotal) {
                EXPECT_EQ(loaded, len == full.size());
                EXPECT_EQ(modules, len == full.size() ? 15 : 0);
            } else {
                EXPECT_GE(modules, previous);
                previous = modules;
            }
        }
    }
    EXPECT_EQ(previous, 15);
}

}  // namespace
}  // namespace correction_test
