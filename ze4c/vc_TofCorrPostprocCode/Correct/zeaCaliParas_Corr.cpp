#include "vc_TofCorrPostprocCode/Correct/zeaCaliParas_Corr.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"

namespace NAMESPACE_CORR {
namespace {

constexpr const char* kLog = DBG_INIT_LOG_FILE;

constexpr CaliLoadBits kBitsBP{BP_FAIL_INVALID_CALIPARA_POINTER, BP_FAIL_INVALID_INCALIPARA,
                               BP_FAIL_INVALID_CALI_MODID,        BP_FAIL_INVALID_CALI_FIRSTBYTEID,
                               BP_FAIL_INVALID_CALI_VALIDFLAG,    BP_FAIL_INVALID_INCALIPARA,
                               BP_FAIL_INVALID_CALI_BUFFER,       BP_FAIL_INVALID_INCALIPARA};
constexpr CaliLoadBits kBitsLEN{LEN_FAIL_INVALID_CALIPARA_POINTER, LEN_FAIL_INVALID_INCALIPARA,
                                LEN_FAIL_INVALID_CALI_MODID,        LEN_FAIL_INVALID_CALI_FIRSTBYTEID,
                                LEN_FAIL_INVALID_CALI_VALIDFLAG,    LEN_FAIL_INVALID_CALIPARA,
                                LEN_FAIL_INVALID_CALIPARA,          LEN_FAIL_INVALID_CALIPARA};
constexpr CaliLoadBits kBitsFPN{FPN_FAIL_INVALID_CALIPARA_POINTER, FPN_FAIL_INVALID_INCALIPARA,
                                FPN_FAIL_INVALID_CALI_MODID,        FPN_FAIL_INVALID_CALI_FIRSTBYTEID,
                                FPN_FAIL_INVALID_CALI_VALIDFLAG,    FPN_FAIL_INVALID_CALI_FILETYPE,
                                FPN_FAIL_INVALID_CALI_BUFFER,       FPN_FAIL_INVALID_CALI_ERR};
constexpr CaliLoadBits kBitsLUMA{LUMA_FAIL_INVALID_CALIPARA_POINTER, LUMA_FAIL_INVALID_INCALIPARA,
                                 LUMA_FAIL_INVALID_CALI_MODID,        LUMA_FAIL_INVALID_CALI_FIRSTBYTEID,
                                 LUMA_FAIL_INVALID_CALI_VALIDFLAG,    LUMA_FAIL_INVALID_CALI_FILETYPE,
                                 LUMA_FAIL_INVALID_CALI_BUFFER,       LUMA_FAIL_INVALID_CALI_LUMA_PARAS};

#define CORR_CALI_LOAD_BITS(TAG)                                                                         \
    CaliLoadBits {                                                                                       \
        TAG##_FAIL_INVALID_CALIPARA_POINTER, TAG##_FAIL_INVALID_INCALIPARA, TAG##_FAIL_INVALID_CALI_MODID, \
            TAG##_FAIL_INVALID_CALI_FIRSTBYTEID, TAG##_FAIL_INVALID_CALI_VALIDFLAG,                      \
            TAG##_FAIL_INVALID_CALIPARA, TAG##_FAIL_INVALID_CALI_BUFFER, TAG##_FAIL_INVALID_CALI_FREQ    \
    }
constexpr CaliLoadBits kBitsMASK = CORR_CALI_LOAD_BITS(MASK);
constexpr CaliLoadBits kBitsT = CORR_CALI_LOAD_BITS(T);
constexpr CaliLoadBits kBitsOFS = CORR_CALI_LOAD_BITS(OFS);
constexpr CaliLoadBits kBitsFPPN = CORR_CALI_LOAD_BITS(FPPN);
constexpr CaliLoadBits kBitsWIG = CORR_CALI_LOAD_BITS(WIG);
constexpr CaliLoadBits kBitsPHASE_FPPN = CORR_CALI_LOAD_BITS(PHASE_FPPN);
constexpr CaliLoadBits kBitsREG = CORR_CALI_LOAD_BITS(REG);
#undef CORR_CALI_LOAD_BITS

bool isUsablePrecision(float f) { return std::isfinite(f) && f != 0.0f; }

// ---------------------------------------------------------------------------------------
// Common header
// ---------------------------------------------------------------------------------------

uint32_t fail(uint32_t uiBit, uint8_t ucLog, const char* pcText) {
    DBG_WriteLog(ucLog, kLog, "%s", pcText);
    return uiBit;
}

// Offsets, valid flags, frequencies and integration times, then the geometry block.
void readSlotTableAndGeometry(CaliCursor& c, CaliParas_CommonParas& h, bool bV3) {
    h.uiParasFirstByteId.resize(h.ucParasModulesNum);
    h.ucParasValidFlag.resize(h.ucParasModulesNum);
    for (auto& id : h.uiParasFirstByteId) id = c.u32();
    for (auto& flag : h.ucParasValidFlag) flag = c.u8();
    if (bV3) {
        h.ucIsLenCaliFirst = c.u8();
        h.ucIsTCaliFirst = c.u8();
        h.ucOrderOfsWigFppn = c.u8();
    }
    for (int k = 0; k < h.ucCaliModFreqsNum; ++k) h.usCaliModFreqMHZ[k] = c.u16();
    for (int k = 0; k < h.ucCaliModFreqsNum; ++k) h.usCaliExpoTimeUS[k] = c.u16();
    h.usCaliWidth = c.u16();
    h.usCaliHeight = c.u16();
    h.usPixelRawResoWidth = c.u16();
    h.usPixelRawResoHeight = c.u16();
    h.usPixelOutStartRawX = c.u16();
    h.usPixelOutStartRawY = c.u16();
    h.ucCaliFlipMode = c.u8();
    h.ucCaliBinningType = c.u8();
}

// Parses either header into h. The blob is first cut to uiTotalBytesLen, which must not
// exceed the bytes handed over. Returns CPD3P1_CALIPARAS_SUCCESS_FLAG bits.
uint32_t parseCommonParas(CaliByteView& blob, CALI_PARAS_VERSION eVersion, CaliParas_CommonParas& h, uint8_t ucLog) {
    const bool bV3 = eVersion == CALI_PARAS_V3;
    CaliCursor c(blob);
    h.eVersion = eVersion;
    h.uiTotalBytesLen = c.u32();
    if (h.uiTotalBytesLen == 0) {
        return fail(CPD3P1_FAIL_INVALID_CALI_FILELEN, ucLog, "\nCalibration file load failed: uiTotalBytesLen = 0\n");
    }
    if (h.uiTotalBytesLen > blob.size()) {
        DBG_WriteLog(ucLog, kLog,
                     "\nCalibration file load failed: uiTotalBytesLen = %u, but only %zu bytes were handed over\n",
                     h.uiTotalBytesLen, blob.size());
        return CPD3P1_FAIL_INVALID_CALI_FILELEN;
    }
    blob = blob.first(h.uiTotalBytesLen);
    c = CaliCursor(blob, 4);
    c.bytes(h.cVersion, sizeof(h.cVersion));
    if (!bV3) c.bytes(h.cCaliArithVersion, sizeof(h.cCaliArithVersion));
    c.bytes(h.cSensorID, sizeof(h.cSensorID));
    h.ucCaliModFreqsNum = c.u8();
    h.ucParasModulesNum = c.u8();
    if (!c.ok()) {
        return fail(CPD3P1_FAIL_INVALID_CALI_FILELEN, ucLog,
                    "\nCalibration file load failed: the header runs past the end of the blob\n");
    }
    uint32_t uiFlag = 0;
    if (h.ucCaliModFreqsNum == 0) {
        uiFlag |= fail(CPD3P1_FAIL_INVALID_CALI_FREQNUM, ucLog, "\nCalibration file load failed: ucCaliModFreqsNum = 0\n");
    } else if (h.ucCaliModFreqsNum > CALI_MAX_FREQS) {
        DBG_WriteLog(ucLog, kLog, "\nCalibration file load failed: ucCaliModFreqsNum = %d (more than %d)\n",
                     h.ucCaliModFreqsNum, CALI_MAX_FREQS);
        uiFlag |= CPD3P1_FAIL_INVALID_CALI_FREQNUM;
    }
    if (h.ucParasModulesNum == 0) {
        uiFlag |= fail(CPD3P1_FAIL_INVALID_CALI_MODULENUM, ucLog,
                       "\nCalibration file load failed: ucParasModulesNum = 0\n");
    }
    if (uiFlag != 0) return uiFlag;

    readSlotTableAndGeometry(c, h, bV3);
    if (!bV3) {
        c.u16();  // read-out steps, taken as 1
        h.ucPixelPhaseMode = c.u8();
        h.fErrPrecisionMM = c.f32();
    }
    if (!c.ok()) {
        return fail(CPD3P1_FAIL_INVALID_CALI_FILELEN, ucLog,
                    "\nCalibration file load failed: the header runs past the end of the blob\n");
    }
    if (!bV3) {
        // The header ends where the first record begins; each trailing field is read only
        // when it fits before that point, else it stays 0.
        const size_t headerEnd = h.uiParasFirstByteId[0];
        const auto fits = [&](size_t n) { return c.pos() + n <= headerEnd && blob.has(c.pos(), n); };
        if (fits(4)) h.fMaxFreqMHz = c.f32();
        if (fits(1)) h.ucCaliWigType = c.u8();
        if (fits(1)) h.ucIsPluseMode = c.u8();
        if (fits(1)) h.ucIs2PhaseMode = c.u8();
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// Module records
// ---------------------------------------------------------------------------------------

struct LoadContext {
    GLB_BUFFERS& glb;
    GLB_FIX_VARS& fix;
    CaliByteView blob;  // cut to uiTotalBytesLen
    const CaliParas_CommonParas& hdr;
    const CORR_FIXPARA& fixParas;
    uint8_t ucLog;

    bool v3() const { return hdr.eVersion == CALI_PARAS_V3; }

    int slotOf(CALI_MODULE eModule, int k = 0) const {
        return v3() ? CPD3_GetCaliParasSlot(hdr.ucCaliModFreqsNum, eModule, k)
                    : CPD3P1_GetCaliParasSlot(hdr.ucCaliModFreqsNum, eModule, k);
    }

    // The bytes of a module's record from its offset to the end of the blob, or the
    // reason it cannot be used.
    uint32_t locate(CALI_MODULE eModule, int k, const CaliLoadBits& bits, CaliByteView& record) const {
        const int slot = slotOf(eModule, k);
        if (slot < 0 || slot >= hdr.ucParasModulesNum) return bits.uiModId;
        const uint32_t offset = hdr.uiParasFirstByteId[slot];
        if (offset >= hdr.uiTotalBytesLen) return bits.uiFirstByteId;
        if (hdr.ucParasValidFlag[slot] == 0) return bits.uiValidFlag;
        record = blob.from(offset);
        return 0;
    }

    // Bytes from a record's offset to the next record's offset (or the blob end).
    size_t extentOf(CALI_MODULE eModule) const {
        const uint32_t offset = hdr.uiParasFirstByteId[slotOf(eModule)];
        uint32_t next = hdr.uiTotalBytesLen;
        for (uint32_t other : hdr.uiParasFirstByteId) {
            if (other > offset && other < next) next = other;
        }
        return next - offset;
    }
};

void setLoadState(CaliLoadState& state, uint32_t uiFlag) {
    state.bCaliParaLoadSucc = uiFlag == 0 ? 1 : 0;
    state.uiCaliParaLoadSuccFlag = uiFlag;
}

// Parses into a fresh record; keeps it only when it loaded. Storage that cannot be
// allocated counts as the module's buffer failure.
template <class Record, class Parse>
uint32_t loadRecord(std::unique_ptr<Record>& dst, uint32_t& uiModuleBytes, uint32_t& uiGlbBytes,
                    const CaliLoadBits& bits, Parse parse) {
    dst.reset();
    try {
        auto record = std::make_unique<Record>();
        const uint32_t uiFlag = parse(*record);
        if (uiFlag != 0) return uiFlag;
        dst = std::move(record);
        uiModuleBytes += sizeof(Record);
        uiGlbBytes += sizeof(Record);
        return 0;
    } catch (const std::bad_alloc&) {
        return bits.uiBuffer;
    }
}

template <class T>
uint32_t vectorBytes(const std::vector<T>& v) {
    return static_cast<uint32_t>(v.size() * sizeof(T));
}

uint32_t parseBP(CaliByteView rec, const GLB_CALI_SENSOR_STATUS& s, BP_CALI_PARAS& bp) {
    CaliCursor c(rec);
    const uint16_t count = c.u16();
    if (!c.require(static_cast<size_t>(count) * 4)) return BP_FAIL_INVALID_INCALIPARA;
    for (int k = 0; k < count; ++k) {
        const int16_t a = c.i16();
        const int16_t b = c.i16();
        if (b < 0 || a >= s.usCaliWidth) break;
        if (a >= 0) {
            if (bp.pcoor2sBPList.size() >= BP_MAX_POINTS) break;
            bp.pcoor2sBPList.push_back(COOR2D16S{a, b});
        } else if (a == BP_ENTRY_ROW) {
            if (bp.psBPRowsList.size() >= BP_MAX_ROWS) break;
            bp.psBPRowsList.push_back(b);
        } else if (a == BP_ENTRY_COL) {
            if (bp.psBPColsList.size() >= BP_MAX_COLS) break;
            bp.psBPColsList.push_back(b);
        } else {
            break;
        }
    }
    bp.uiValidBPCnt = static_cast<uint32_t>(bp.pcoor2sBPList.size());
    bp.uiValidBPRowsCnt = static_cast<uint32_t>(bp.psBPRowsList.size());
    bp.uiValidBPColsCnt = static_cast<uint32_t>(bp.psBPColsList.size());
    return 0;
}

// Row limits stored as the first row's value followed by signed 8-bit steps.
void readRowLimits(CaliCursor& c, int iRows, std::vector<uint16_t>& out) {
    out.resize(iRows);
    int value = c.u16();
    out[0] = static_cast<uint16_t>(value);
    for (int r = 1; r < iRows; ++r) {
        value += c.i8();
        value = value < 0 ? 0 : (value > 0xFFFF ? 0xFFFF : value);
        out[r] = static_cast<uint16_t>(value);
    }
}

uint32_t parseMask(CaliByteView rec, const GLB_CALI_SENSOR_STATUS& s, MASK_CALI_PARAS& mask) {
    CaliCursor c(rec);
    const uint8_t type = c.u8();
    const size_t pixels = static_cast<size_t>(s.usCaliWidth) * s.usCaliHeight;
    if (type == MASK_CALI_FILE_TYPE_ROWS) {
        if (!c.require(3 + 2 * static_cast<size_t>(s.usCaliHeight) - 1)) return MASK_FAIL_INVALID_INCALIPARA;
        readRowLimits(c, s.usCaliHeight, mask.pusMaskValidCoorXMinList);
        readRowLimits(c, s.usCaliHeight, mask.pusMaskValidCoorXMaxList);
    } else if (type == MASK_CALI_FILE_TYPE_IMG) {
        const size_t bytes = pixels / 8;
        if (!c.require(bytes)) return MASK_FAIL_INVALID_INCALIPARA;
        // Pixels beyond the last whole byte of bits (W * H not a multiple of 8) stay valid.
        mask.pucCaliMaskImg.assign(pixels, MASK_VALUE_VALID);
        for (size_t i = 0; i < bytes; ++i) {
            const uint8_t bits = c.u8();
            for (int k = 0; k < 8; ++k) {
                mask.pucCaliMaskImg[8 * i + k] = (bits >> k) & 1 ? MASK_VALUE_VALID : MASK_VALUE_MASKED;
            }
        }
    } else {
        return MASK_FAIL_INVALID_CALIPARA;
    }
    mask.eMaskCaliFileType = static_cast<MASK_CALI_FILE_TYPE>(type);
    return 0;
}

uint32_t parseFPN(CaliByteView rec, bool bV3, const GLB_CALI_SENSOR_STATUS& s, FPN_CALI_PARAS& fpn) {
    CaliCursor c(rec);
    // V3 records carry only the per-column form, without a type byte.
    const uint8_t type = bV3 ? static_cast<uint8_t>(FPN_CALI_ERR_TYPE_COLS) : c.u8();
    size_t count = 0;
    if (type == FPN_CALI_ERR_TYPE_COLS) {
        count = s.usCaliWidth;
    } else if (type == FPN_CALI_ERR_TYPE_IMG) {
        count = static_cast<size_t>(s.usCaliWidth) * s.usCaliHeight;
    } else {
        return FPN_FAIL_INVALID_CALI_FILETYPE;  // types 0 and 3 and above carry no usable pattern
    }
    c.values(fpn.psCaliFPNErr, count, 2, [](CaliCursor& r) { return r.i16(); });
    if (!c.ok()) return FPN_FAIL_INVALID_INCALIPARA;
    fpn.ucCaliFileType = type;
    return 0;
}

uint32_t parseLen(CaliByteView rec, bool bV3, size_t extent, LEN_CALI_PARAS& len) {
    CaliCursor c(rec);
    float stored[9];
    c.f32s(stored, 9);
    len.fZoomCoef = c.f32();
    // A V3 record carries the skew only when it is longer than 43 bytes.
    len.fSkew = !bV3 || extent > 43 ? c.f32() : 0.0f;
    if (!c.ok()) return LEN_FAIL_INVALID_INCALIPARA;
    for (int i = 0; i < 4; ++i) {
        if (!(std::fabs(stored[i]) >= 1e-6f) || !std::isfinite(stored[i])) return LEN_FAIL_INVALID_CALIPARA;
    }
    for (int i = 0; i < 9; ++i) {
        len.fLenParasOut[i] = stored[i];
        len.fLenParas[i] = stored[i];
    }
    len.fLenParas[2] -= 1.0f;  // principal point made 0-based
    len.fLenParas[3] -= 1.0f;
    len.fZoomCoefOut = len.fZoomCoef;
    return 0;
}

uint32_t parseT(CaliByteView rec, const CaliParas_CommonParas& h, int k, T_CALI_PARAS& t) {
    CaliCursor c(rec);
    int sensorType;
    int driverType;
    if (h.eVersion == CALI_PARAS_V3) {
        const uint8_t types = c.u8();
        sensorType = types & 1;
        driverType = (types >> 1) & 1;
        t.fTSensor = c.f32();
        t.fTDriver = c.f32();
        c.seek(13);
        t.fErrPrecisionMM = c.f32();
    } else {
        sensorType = c.u8();
        driverType = c.u8();
        t.fTSensor = c.f32();
        t.fTDriver = c.f32();
        t.fErrPrecisionMM = h.fErrPrecisionMM;
    }
    t.ucFitMode = c.u8();
    c.f32s(t.fTempFitParas, 10);
    if (!c.ok()) return T_FAIL_INVALID_INCALIPARA;
    if (sensorType > T_SENSOR_ZEF4471 || driverType > T_DRIVER_ICHAUSTMP122 || t.ucFitMode > 3 ||
        !isUsablePrecision(t.fErrPrecisionMM)) {
        return T_FAIL_INVALID_CALIPARA;
    }
    t.eTSensorType = static_cast<T_SENSOR_TYPE>(sensorType);
    t.eTDriverType = static_cast<T_DRIVER_TYPE>(driverType);
    t.usCaliModFreqMHZ = h.usCaliModFreqMHZ[k];
    return 0;
}

uint32_t parseOFS(CaliByteView rec, const CaliParas_CommonParas& h, int k, const GLB_CALI_SENSOR_STATUS& s,
                  OFS_CALI_PARAS& ofs) {
    CaliCursor c(rec);
    ofs.fOffsetGlobalMM = c.f32();
    ofs.ucBlockOffsetLen = h.eVersion == CALI_PARAS_V3 ? static_cast<uint8_t>(OFS_V3_BLOCKS) : c.u8();
    c.f32s(ofs.fOffsetBlocksMM, ofs.ucBlockOffsetLen);
    if (!c.ok()) return OFS_FAIL_INVALID_INCALIPARA;
    ofs.usCaliModFreqMHZ = h.usCaliModFreqMHZ[k];
    ofs.pstCaliSensorStatus = &s;
    return 0;
}

// The part of the FPPN record shared by every slot: type, image source, zoom, image type
// and the error image, which goes into the module's storage.
struct FppnShared {
    uint8_t ucCaliFileType = 0;
    uint8_t ucErrImgSource = 0;
    float fErrPrecisionMM = 0;  // V3: from the record
    uint8_t ucIntZoomMultiple = 0;
    FPPN_CALI_ERR_IMG_TYPE eImgType = FPPN_CALI_ERR_IMG_TYPE_CHAR;
    size_t entriesOffset = 0;
};

uint32_t parseFppnShared(const LoadContext& ctx, CaliByteView rec, FppnShared& shared) {
    FPPN_GLB_BUFFERS& module = *ctx.glb.pGlbBuffer_FPPN;
    const int freqs = ctx.hdr.ucCaliModFreqsNum;
    const bool bV3 = ctx.v3();
    CaliCursor c(rec);
    shared.ucCaliFileType = c.u8();
    if (bV3) {
        shared.fErrPrecisionMM = c.f32();
    } else {
        shared.ucErrImgSource = c.u8();
        shared.fErrPrecisionMM = ctx.hdr.fErrPrecisionMM;
    }
    shared.entriesOffset = c.pos();
    c.seek(shared.entriesOffset + 41 * static_cast<size_t>(freqs));
    if (!c.require(0)) return FPPN_FAIL_INVALID_INCALIPARA;
    if (shared.ucCaliFileType < 1 || shared.ucCaliFileType > 3 || !isUsablePrecision(shared.fErrPrecisionMM)) {
        return FPPN_FAIL_INVALID_CALIPARA;
    }
    const bool bHasImage = shared.ucCaliFileType == 1 || shared.ucCaliFileType == 3;
    if (!bHasImage) return 0;
    if (shared.ucErrImgSource != FPPN_CALI_ERR_IMG_IN_RECORD) {
        DBG_WriteLog(ctx.ucLog, kLog, "\nCalibration file load abnormal of FPPN:\n");
        if (shared.ucErrImgSource == FPPN_CALI_ERR_IMG_IN_FPPN_BLOB) {
            DBG_WriteLog(ctx.ucLog, kLog, "%s",
                         ctx.fixParas.pcInCaliParasFPPN != nullptr
                             ? "------ pcInCaliParasFPPN != NULL, but have not load ErrImage!\n"
                             : "------ FPPN_ucFPPNErrImgType = 1, but pcInCaliParasFPPN = NULL\n");
        } else {
            DBG_WriteLog(ctx.ucLog, kLog, "------ error image source = %d is unknown, no ErrImage loaded!\n",
                         shared.ucErrImgSource);
        }
        return 0;  // the correction runs without an error image
    }
    shared.ucIntZoomMultiple = c.u8();
    const uint8_t imgType = bV3 ? static_cast<uint8_t>(FPPN_CALI_ERR_IMG_TYPE_CHAR) : c.u8();
    if (imgType > FPPN_CALI_ERR_IMG_TYPE_FLOAT) return FPPN_FAIL_INVALID_CALIPARA;
    shared.eImgType = static_cast<FPPN_CALI_ERR_IMG_TYPE>(imgType);
    const size_t bytes = static_cast<size_t>(ctx.fix.stCaliSensorStatus.usCaliWidth) *
                         ctx.fix.stCaliSensorStatus.usCaliHeight * FPPN_ErrImgElementBytes(shared.eImgType);
    if (!c.require(bytes)) return FPPN_FAIL_INVALID_INCALIPARA;
    try {
        module.pCaliErrImageMM.resize(bytes);
        c.bytes(module.pCaliErrImageMM.data(), bytes);
        module.pCaliErrImageMMFilter = module.pCaliErrImageMM;
    } catch (const std::bad_alloc&) {
        module.pCaliErrImageMM.clear();
        module.pCaliErrImageMMFilter.clear();
        return FPPN_FAIL_INVALID_CALI_BUFFER;
    }
    module.bHasLoadCaliErrImageMM = 1;
    const uint32_t imageBytes = 2 * static_cast<uint32_t>(bytes);
    module.uiFixBufferBytes += imageBytes;
    ctx.glb.uiFixBufferBytes += imageBytes;
    return 0;
}

uint32_t fillFppnSlot(const LoadContext& ctx, CaliByteView rec, const FppnShared& shared, int k,
                      FPPN_CALI_PARAS& fppn) {
    const FPPN_GLB_BUFFERS& module = *ctx.glb.pGlbBuffer_FPPN;
    CaliCursor c(rec, shared.entriesOffset + 41 * static_cast<size_t>(k));
    fppn.ucFitMode = c.u8();
    c.f32s(fppn.fFPPNFitParas, 10);
    if (!c.ok()) return FPPN_FAIL_INVALID_INCALIPARA;
    fppn.usCaliModFreqMHZ = ctx.hdr.usCaliModFreqMHZ[k];
    fppn.pstCaliSensorStatus = &ctx.fix.stCaliSensorStatus;
    fppn.ucCaliFileType = shared.ucCaliFileType;
    fppn.ucErrImgSource = shared.ucErrImgSource;
    fppn.fErrPrecisionMM = shared.fErrPrecisionMM;
    fppn.ucIntZoomMultiple = shared.ucIntZoomMultiple;
    fppn.eFPPNErrImgType = shared.eImgType;
    if (module.bHasLoadCaliErrImageMM == 1) {
        fppn.pFPPNErrImgMM = module.pCaliErrImageMM.data();
        fppn.pFPPNErrImgMMFilter = module.pCaliErrImageMMFilter.data();
    }
    return 0;
}

uint32_t parseWig(CaliByteView rec, const CaliParas_CommonParas& h, int k, WIG_CALI_PARAS& wig) {
    const bool bV3 = h.eVersion == CALI_PARAS_V3;
    CaliCursor c(rec);
    wig.ucCaliFileType = c.u8();
    if (bV3) {
        wig.fErrPrecisionMM = c.f32();
    } else {
        wig.fErrPrecisionMM = h.fErrPrecisionMM;
    }
    if (wig.ucCaliFileType == 1) {
        wig.usLUTLen = c.u16();
        wig.ucDistIntZoomMultiple = c.u8();
        wig.ucErrIntZoomMultiple = c.u8();
        wig.usLUT_StartDistMM = c.u16();
        wig.ucLUT_StepDistMM = c.u8();
        if (!c.ok()) return WIG_FAIL_INVALID_INCALIPARA;
        if (wig.usLUTLen == 0 || wig.ucDistIntZoomMultiple == 0 || wig.ucLUT_StepDistMM == 0) {
            return WIG_FAIL_INVALID_CALIPARA;
        }
        c.values(wig.psLUT_ErrMM, wig.usLUTLen, 2, [](CaliCursor& r) { return r.i16(); });
    } else if (wig.ucCaliFileType == 2) {
        wig.ucFitMode = c.u8();
        wig.ucFitParasLen = c.u8();
        if (!c.ok()) return WIG_FAIL_INVALID_INCALIPARA;
        if (wig.ucFitMode < 1 || wig.ucFitMode > 2 || wig.ucFitParasLen < 1 || wig.ucFitParasLen > WIG_MAX_FIT_PARAS) {
            return WIG_FAIL_INVALID_CALIPARA;
        }
        c.f32s(wig.fWigFitParas, wig.ucFitParasLen);
    } else {
        return WIG_FAIL_INVALID_CALIPARA;
    }
    if (!c.ok()) return WIG_FAIL_INVALID_INCALIPARA;
    if (!isUsablePrecision(wig.fErrPrecisionMM)) return WIG_FAIL_INVALID_CALIPARA;
    wig.usCaliModFreqMHZ = h.usCaliModFreqMHZ[k];
    return 0;
}

uint32_t parseReg(CaliByteView rec, REG_CALI_PARAS& reg) {
    CaliCursor c(rec);
    c.f32s(reg.fTofIntrinsicMatrix, 9);
    c.f32s(reg.fRgbIntrinsicMatrix, 9);
    c.f32s(reg.fRotationMatrix, 9);
    c.f32s(reg.fTranslationMatrix, 3);
    reg.bIsRgbCameraLeft = c.u8();
    return c.ok() ? 0u : static_cast<uint32_t>(REG_FAIL_INVALID_INCALIPARA);
}

uint32_t parseLuma(CaliByteView rec, const GLB_CALI_SENSOR_STATUS& s, LUMA_CALI_PARAS& luma) {
    CaliCursor c(rec);
    luma.ucCaliFileType = c.u8();
    luma.ucBlockXpixel = c.u8();
    luma.ucBlockYpixel = c.u8();
    if (!c.ok()) return LUMA_FAIL_INVALID_INCALIPARA;
    if (luma.ucCaliFileType >= 4) return LUMA_FAIL_INVALID_CALI_FILETYPE;
    // A zero block size would leave the block grid undefined.
    if (luma.ucBlockXpixel == 0) return LUMA_FAIL_INVALID_CALI_BLOCK_X;
    if (luma.ucBlockYpixel == 0) return LUMA_FAIL_INVALID_CALI_BLOCK_Y;
    const size_t blocks = static_cast<size_t>(s.usCaliWidth / luma.ucBlockXpixel) * (s.usCaliHeight / luma.ucBlockYpixel);
    c.values(luma.fLumaFitParas, blocks, 4, [](CaliCursor& r) { return r.f32(); });
    if (!c.ok()) return LUMA_FAIL_INVALID_INCALIPARA;
    luma.pstCaliSensorStatus = &s;
    return 0;
}

uint32_t parsePhaseFPPN(CaliByteView rec, const CaliParas_CommonParas& h, const GLB_CALI_SENSOR_STATUS& s,
                        PHASE_FPPN_CALI_PARAS& ph) {
    CaliCursor c(rec);
    const size_t pixels = static_cast<size_t>(s.usCaliWidth) * s.usCaliHeight;
    c.values(ph.usPhaseFPPNParas, pixels, 2, [](CaliCursor& r) { return r.u16(); });
    if (!c.ok()) return PHASE_FPPN_FAIL_INVALID_INCALIPARA;
    ph.ucIs2PhaseMode = h.ucIs2PhaseMode;
    ph.pstCaliSensorStatus = &s;
    return 0;
}

// ---------------------------------------------------------------------------------------
// Module loaders, in load order
// ---------------------------------------------------------------------------------------

// Loads one single-record module: locate, parse, store, set its load state.
template <class Block, class Parse>
void loadSingle(const LoadContext& ctx, Block* block, CALI_MODULE eModule, const CaliLoadBits& bits, Parse parse) {
    if (block == nullptr) return;
    CaliByteView rec;
    uint32_t uiFlag = ctx.locate(eModule, 0, bits, rec);
    if (uiFlag == 0) {
        uiFlag = loadRecord(block->pstCaliParas, block->uiFixBufferBytes, ctx.glb.uiFixBufferBytes, bits,
                            [&](auto& record) { return parse(rec, record); });
    }
    setLoadState(block->pstGlbVars->stCaliLoad, uiFlag);
}

// Loads a per-frequency module into each working slot from the record of its calibration
// frequency.
template <class Block, class Parse>
void loadPerFreq(const LoadContext& ctx, Block* block, CALI_MODULE eModule, const CaliLoadBits& bits, Parse parse) {
    if (block == nullptr) return;
    for (int i = 0; i < ctx.fix.ucModFreqsNum; ++i) {
        const int k = ctx.fix.cWorkFreq2CaliFreqID[i];
        CaliByteView rec;
        uint32_t uiFlag = k < 0 ? bits.uiNoFreq : ctx.locate(eModule, k, bits, rec);
        if (uiFlag == 0) {
            uiFlag = loadRecord(block->pstCaliParas[i], block->uiFixBufferBytes, ctx.glb.uiFixBufferBytes, bits,
                                [&](auto& record) { return parse(rec, k, record); });
        }
        setLoadState(block->pstGlbVars->stCaliLoad[i], uiFlag);
    }
}

void loadFPPN(const LoadContext& ctx) {
    FPPN_GLB_BUFFERS* block = ctx.glb.pGlbBuffer_FPPN.get();
    if (block == nullptr) return;
    CaliByteView rec;
    FppnShared shared;
    uint32_t uiShared = ctx.locate(CALI_MODULE_FPPN, 0, kBitsFPPN, rec);
    if (uiShared == 0) uiShared = parseFppnShared(ctx, rec, shared);
    for (int i = 0; i < ctx.fix.ucModFreqsNum; ++i) {
        const int k = ctx.fix.cWorkFreq2CaliFreqID[i];
        uint32_t uiFlag = k < 0 ? kBitsFPPN.uiNoFreq : uiShared;
        if (uiFlag == 0) {
            uiFlag = loadRecord(block->pstCaliParas[i], block->uiFixBufferBytes, ctx.glb.uiFixBufferBytes, kBitsFPPN,
                                [&](FPPN_CALI_PARAS& record) { return fillFppnSlot(ctx, rec, shared, k, record); });
        }
        setLoadState(block->pstGlbVars->stCaliLoad[i], uiFlag);
    }
}

void loadModules(const LoadContext& ctx) {
    GLB_BUFFERS& g = ctx.glb;
    const GLB_CALI_SENSOR_STATUS& s = ctx.fix.stCaliSensorStatus;
    const bool bV3 = ctx.v3();
    // Adds the variable-length storage of a record that loaded to the byte totals.
    const auto countBytes = [&](uint32_t uiFlag, uint32_t& moduleBytes, uint32_t bytes) {
        if (uiFlag != 0) return;
        moduleBytes += bytes;
        g.uiFixBufferBytes += bytes;
    };

    loadSingle(ctx, g.pGlbBuffer_BP.get(), CALI_MODULE_BP, kBitsBP, [&](CaliByteView rec, BP_CALI_PARAS& bp) {
        const uint32_t f = parseBP(rec, s, bp);
        bp.pstCaliSensorStatus = &s;
        countBytes(f, g.pGlbBuffer_BP->uiFixBufferBytes,
                   vectorBytes(bp.pcoor2sBPList) + vectorBytes(bp.psBPRowsList) + vectorBytes(bp.psBPColsList));
        return f;
    });
    loadSingle(ctx, g.pGlbBuffer_MASK.get(), CALI_MODULE_MASK, kBitsMASK, [&](CaliByteView rec, MASK_CALI_PARAS& m) {
        const uint32_t f = parseMask(rec, s, m);
        m.pstCaliSensorStatus = &s;
        countBytes(f, g.pGlbBuffer_MASK->uiFixBufferBytes, vectorBytes(m.pusMaskValidCoorXMinList) +
                                                             vectorBytes(m.pusMaskValidCoorXMaxList) +
                                                             vectorBytes(m.pucCaliMaskImg));
        return f;
    });
    loadSingle(ctx, g.pGlbBuffer_LEN.get(), CALI_MODULE_LEN, kBitsLEN, [&](CaliByteView rec, LEN_CALI_PARAS& len) {
        len.pstCaliSensorStatus = &s;
        return parseLen(rec, bV3, ctx.extentOf(CALI_MODULE_LEN), len);
    });
    loadPerFreq(ctx, g.pGlbBuffer_T.get(), CALI_MODULE_T, kBitsT,
                [&](CaliByteView rec, int k, T_CALI_PARAS& t) { return parseT(rec, ctx.hdr, k, t); });
    // The first working frequency's temperature record names the driver thermometer.
    ctx.fix.eTDriverType = g.pGlbBuffer_T->pstCaliParas[0] ? g.pGlbBuffer_T->pstCaliParas[0]->eTDriverType
                                                           : T_DRIVER_UNKNOWN;
    loadPerFreq(ctx, g.pGlbBuffer_OFS.get(), CALI_MODULE_OFS, kBitsOFS,
                [&](CaliByteView rec, int k, OFS_CALI_PARAS& ofs) { return parseOFS(rec, ctx.hdr, k, s, ofs); });
    loadFPPN(ctx);
    loadPerFreq(ctx, g.pGlbBuffer_WIG.get(), CALI_MODULE_WIG, kBitsWIG, [&](CaliByteView rec, int k, WIG_CALI_PARAS& w) {
        const uint32_t f = parseWig(rec, ctx.hdr, k, w);
        countBytes(f, g.pGlbBuffer_WIG->uiFixBufferBytes, vectorBytes(w.psLUT_ErrMM));
        return f;
    });
    // The separate FPN blob has no settled layout; the main blob's record is used.
    loadSingle(ctx, g.pGlbBuffer_FPN.get(), CALI_MODULE_FPN, kBitsFPN, [&](CaliByteView rec, FPN_CALI_PARAS& fpn) {
        const uint32_t f = parseFPN(rec, bV3, s, fpn);
        fpn.pstCaliSensorStatus = &s;
        countBytes(f, g.pGlbBuffer_FPN->uiFixBufferBytes, vectorBytes(fpn.psCaliFPNErr));
        return f;
    });
    loadSingle(ctx, g.pGlbBuffer_LUMA.get(), CALI_MODULE_LUMA, kBitsLUMA, [&](CaliByteView rec, LUMA_CALI_PARAS& l) {
        const uint32_t f = parseLuma(rec, s, l);
        countBytes(f, g.pGlbBuffer_LUMA->uiFixBufferBytes, vectorBytes(l.fLumaFitParas));
        return f;
    });
    loadSingle(ctx, g.pGlbBuffer_PhaseFPPN.get(), CALI_MODULE_PHASE_FPPN, kBitsPHASE_FPPN,
               [&](CaliByteView rec, PHASE_FPPN_CALI_PARAS& ph) {
                   const uint32_t f = parsePhaseFPPN(rec, ctx.hdr, s, ph);
                   countBytes(f, g.pGlbBuffer_PhaseFPPN->uiFixBufferBytes, vectorBytes(ph.usPhaseFPPNParas));
                   return f;
               });
    loadSingle(ctx, g.pGlbBuffer_REG.get(), CALI_MODULE_REG, kBitsREG,
               [&](CaliByteView rec, REG_CALI_PARAS& reg) { return parseReg(rec, reg); });
}

// Without usable calibration every module reads as lacking it.
void markAllLacking(GLB_BUFFERS& g, bool bBlobGiven) {
    const auto single = [&](auto* block, const CaliLoadBits& bits) {
        if (block == nullptr) return;
        block->pstCaliParas.reset();
        setLoadState(block->pstGlbVars->stCaliLoad, bBlobGiven ? bits.uiInvalidBlob : bits.uiNoCali);
    };
    const auto perFreq = [&](auto* block, const CaliLoadBits& bits) {
        if (block == nullptr) return;
        for (int i = 0; i < CORR_FREQ_SLOTS; ++i) {
            block->pstCaliParas[i].reset();
            setLoadState(block->pstGlbVars->stCaliLoad[i], bBlobGiven ? bits.uiInvalidBlob : bits.uiNoCali);
        }
    };
    single(g.pGlbBuffer_BP.get(), kBitsBP);
    single(g.pGlbBuffer_MASK.get(), kBitsMASK);
    single(g.pGlbBuffer_LEN.get(), kBitsLEN);
    perFreq(g.pGlbBuffer_T.get(), kBitsT);
    perFreq(g.pGlbBuffer_OFS.get(), kBitsOFS);
    perFreq(g.pGlbBuffer_FPPN.get(), kBitsFPPN);
    perFreq(g.pGlbBuffer_WIG.get(), kBitsWIG);
    single(g.pGlbBuffer_FPN.get(), kBitsFPN);
    single(g.pGlbBuffer_LUMA.get(), kBitsLUMA);
    single(g.pGlbBuffer_PhaseFPPN.get(), kBitsPHASE_FPPN);
    single(g.pGlbBuffer_REG.get(), kBitsREG);
}

// ---------------------------------------------------------------------------------------
// Header checks
// ---------------------------------------------------------------------------------------

// Replaces a stored binning type that contradicts the geometry.
void correctBinningType(CaliParas_CommonParas& h, uint8_t ucLog) {
    const CORR_PIXEL_BINNING_MODE eComputed =
        CALI_CalcBinningType(h.usPixelRawResoWidth, h.usPixelRawResoHeight, h.usCaliWidth, h.usCaliHeight);
    if (h.ucCaliBinningType == eComputed) return;
    DBG_WriteLog(ucLog, kLog,
                 "\nAbnormal in calibration file:\n------ eCaliBinningMode = %d\n"
                 "       but usCaliHeight = %d, usCaliWidth = %d\n"
                 "------ Notice: eCaliBinningMode has been corrected as %d\n",
                 h.ucCaliBinningType, h.usCaliHeight, h.usCaliWidth, eComputed);
    h.ucCaliBinningType = static_cast<uint8_t>(eComputed);
}

uint32_t fillSensorStatus(const CaliParas_CommonParas& h, GLB_FIX_VARS& fix, uint8_t ucLog) {
    GLB_CALI_SENSOR_STATUS& s = fix.stCaliSensorStatus;
    s.usCaliWidth = h.usCaliWidth;
    s.usCaliHeight = h.usCaliHeight;
    s.usCaliMaxFreq = static_cast<uint16_t>(fix.bMaxFreqLoadFromCaliParas == 1 ? fix.iMaxFreqFromCali : 0);
    s.usCaliPixelRawResoWidth = h.usPixelRawResoWidth;
    s.usCaliPixelRawResoHeight = h.usPixelRawResoHeight;
    s.usCaliPixelRoiStartX = h.usPixelOutStartRawX;
    s.usCaliPixelRoiStartY = h.usPixelOutStartRawY;
    s.ucCaliFlipMode = h.ucCaliFlipMode;
    s.eCaliBinningMode = h.ucCaliBinningType;
    s.ucCaliPixelLowResoStepX = 1;
    s.ucCaliPixelLowResoStepY = 1;
    s.eCaliPhaseMode = h.ucPixelPhaseMode;

    if (s.usCaliWidth < 1 || s.usCaliWidth > CORR_MAX_WIDTH || s.usCaliHeight < 1 || s.usCaliHeight > CORR_MAX_HEIGHT) {
        return fail(CPD3P1_FAIL_INVALID_INCALIPARA, ucLog,
                    "\nCalibration file load failed: usCaliWidth or usCaliHeight invalid\n");
    }
    if (s.usCaliPixelRawResoWidth < 1 || s.usCaliPixelRawResoWidth > CORR_MAX_WIDTH ||
        s.usCaliPixelRawResoHeight < 1 || s.usCaliPixelRawResoHeight > CORR_MAX_HEIGHT) {
        return fail(CPD3P1_FAIL_INVALID_INCALIPARA, ucLog,
                    "\nCalibration file load failed: usCaliPixelRawResoWidth or usCaliPixelRawResoHeight invalid\n");
    }
    if (s.usCaliPixelRoiStartX >= s.usCaliPixelRawResoWidth || s.usCaliPixelRoiStartY >= s.usCaliPixelRawResoHeight) {
        return fail(CPD3P1_FAIL_INVALID_INCALIPARA, ucLog,
                    "\nCalibration file load failed: usCaliPixelRoiStartX or usCaliPixelRoiStartY invalid\n");
    }
    return 0;
}

const char* loadText(const CaliLoadState& state) { return state.bCaliParaLoadSucc == 1 ? "loaded" : "not loaded"; }

void logCaliParas(const GLB_BUFFERS& g, const CaliParas_CommonParas& h, uint8_t ucLog) {
    if (ucLog != 1) return;
    const GLB_FIX_VARS& fix = *g.pstGlbFixVars;
    const GLB_CALI_SENSOR_STATUS& s = fix.stCaliSensorStatus;
    DBG_WriteLog(ucLog, kLog, "\nInput cali parameters:\n------ bLoadCaliParasSuccFlag:    %d\n",
                 fix.bLoadCaliParasSuccFlag);
    switch (fix.eCaliParasVersion) {
        case CALI_PARAS_V3_1: DBG_WriteLog(ucLog, kLog, "------ eCaliParasVersion:         V3.1\n"); break;
        case CALI_PARAS_V3: DBG_WriteLog(ucLog, kLog, "------ eCaliParasVersion:         V3.0\n"); break;
        default: DBG_WriteLog(ucLog, kLog, "------ eCaliParasVersion:         Unknown(%d)\n", fix.eCaliParasVersion);
    }
    DBG_WriteLog(ucLog, kLog,
                 "------ uiLoadCaliParasFlag:       0x%x\n"
                 "------ cCaliArithVersion:         %.16s\n"
                 "------ cSensorID:                 %.24s\n"
                 "------ ucCaliModFreqsNum:         %d\n"
                 "------ usCaliModFreqMHZ:          %d, %d, %d, %d\n"
                 "------ usCaliWidth/Height:        %d, %d\n"
                 "------ usCaliPixelRawReso:        %d, %d\n"
                 "------ usCaliPixelRoiStartX/Y:    %d, %d\n"
                 "------ ucCaliFlipMode:            %d\n"
                 "------ eCaliBinningMode:          %d\n"
                 "------ eCaliPhaseMode:            %d\n"
                 "------ fErrPrecisionMM:           %.6f\n"
                 "------ iMaxFreqFromCali:          %d (loaded %d)\n"
                 "------ cWorkFreq2CaliFreqID:      %d, %d, %d, %d\n",
                 fix.uiLoadCaliParasFlag, fix.cCaliArithVersion, h.cSensorID, h.ucCaliModFreqsNum,
                 h.usCaliModFreqMHZ[0], h.usCaliModFreqMHZ[1], h.usCaliModFreqMHZ[2], h.usCaliModFreqMHZ[3],
                 s.usCaliWidth, s.usCaliHeight, s.usCaliPixelRawResoWidth, s.usCaliPixelRawResoHeight,
                 s.usCaliPixelRoiStartX, s.usCaliPixelRoiStartY, s.ucCaliFlipMode, s.eCaliBinningMode, s.eCaliPhaseMode,
                 static_cast<double>(h.fErrPrecisionMM), fix.iMaxFreqFromCali, fix.bMaxFreqLoadFromCaliParas,
                 fix.cWorkFreq2CaliFreqID[0], fix.cWorkFreq2CaliFreqID[1], fix.cWorkFreq2CaliFreqID[2],
                 fix.cWorkFreq2CaliFreqID[3]);
    const auto single = [&](const char* pcName, const auto* block) {
        if (block == nullptr) return;
        const CaliLoadState& st = block->pstGlbVars->stCaliLoad;
        DBG_WriteLog(ucLog, kLog, "------ %-10s %s (flag 0x%x)\n", pcName, loadText(st), st.uiCaliParaLoadSuccFlag);
    };
    const auto perFreq = [&](const char* pcName, const auto* block) {
        for (int i = 0; i < fix.ucModFreqsNum; ++i) {
            const CaliLoadState& st = block->pstGlbVars->stCaliLoad[i];
            DBG_WriteLog(ucLog, kLog, "------ %s F%d%*s %s (flag 0x%x)\n", pcName, i + 1,
                         static_cast<int>(7 - std::strlen(pcName)), "", loadText(st), st.uiCaliParaLoadSuccFlag);
        }
    };
    single("BP:", g.pGlbBuffer_BP.get());
    single("MASK:", g.pGlbBuffer_MASK.get());
    single("LEN:", g.pGlbBuffer_LEN.get());
    perFreq("T", g.pGlbBuffer_T.get());
    perFreq("OFS", g.pGlbBuffer_OFS.get());
    perFreq("FPPN", g.pGlbBuffer_FPPN.get());
    perFreq("WIG", g.pGlbBuffer_WIG.get());
    single("FPN:", g.pGlbBuffer_FPN.get());
    single("LUMA:", g.pGlbBuffer_LUMA.get());
    single("PHASEFPPN:", g.pGlbBuffer_PhaseFPPN.get());
    single("REG:", g.pGlbBuffer_REG.get());
}

}  // namespace

CALI_PARAS_VERSION CALI_GetCaliParasVersion(const CaliByteView& stBlob) {
    if (stBlob.equals(4, CALI_VERSION_TEXT_V3P1_LONG, 10)) return CALI_PARAS_V3_1;
    if (stBlob.equals(4, CALI_VERSION_TEXT_V3P1, 8)) return CALI_PARAS_V3_1;
    if (stBlob.equals(4, CALI_VERSION_TEXT_V3, 8)) return CALI_PARAS_V3;
    return CALI_PARAS_UNKNOWN;
}

CORR_PIXEL_BINNING_MODE CALI_CalcBinningType(uint16_t usRawWidth, uint16_t usRawHeight, uint16_t usCaliWidth,
                                             uint16_t usCaliHeight) {
    if (usCaliWidth == 0 || usCaliHeight == 0) return CORR_PIXEL_BINNING_OFF;
    const int stepX = usRawWidth / usCaliWidth;
    const int stepY = usRawHeight / usCaliHeight;
    if (stepX == 2 && stepY == 1) return CORR_PIXEL_BINNING_1x2;
    if (stepX == 1 && stepY == 2) return CORR_PIXEL_BINNING_2x1;
    if (stepX == 2 && stepY == 2) return CORR_PIXEL_BINNING_2x2;
    if (stepX == 4 && stepY == 4) return CORR_PIXEL_BINNING_4x4;
    return CORR_PIXEL_BINNING_OFF;
}

uint16_t CALI_RoundUpFreqMHz(float fFreqMHz) {
    if (!(fFreqMHz > 0.0f) || !(fFreqMHz <= 65535.0f)) return 0;
    return static_cast<uint16_t>(std::ceil(fFreqMHz));
}

int CALI_MatchCaliFreqId(float fFreqMHz, const uint16_t* pusCaliFreqsMHZ, int iFreqs) {
    const uint16_t usRounded = CALI_RoundUpFreqMHz(fFreqMHz);
    if (usRounded == 0) return -1;
    for (int k = 0; k < iFreqs; ++k) {
        if (pusCaliFreqsMHZ[k] == usRounded) return k;
    }
    return -1;
}

bool CALI_LoadCaliParas(GLB_BUFFERS& g, const CORR_FIXPARA& p, uint8_t ucLog) {
    GLB_FIX_VARS& fix = *g.pstGlbFixVars;
    CaliParas_CommonParas h;
    uint32_t uiFlag = 0;
    // Everything a load yields starts afresh, so nothing of an earlier load survives.
    fix.eCaliParasVersion = CALI_PARAS_UNKNOWN;
    std::memset(fix.cCaliArithVersion, 0, sizeof(fix.cCaliArithVersion));
    fix.stCaliSensorStatus = GLB_CALI_SENSOR_STATUS{};
    fix.bMaxFreqLoadFromCaliParas = 0;
    fix.iMaxFreqFromCali = 0;
    fix.eTDriverType = T_DRIVER_UNKNOWN;
    if (g.pGlbBuffer_FPPN) {
        g.pGlbBuffer_FPPN->pCaliErrImageMM.clear();
        g.pGlbBuffer_FPPN->pCaliErrImageMMFilter.clear();
        g.pGlbBuffer_FPPN->bHasLoadCaliErrImageMM = 0;
    }
    for (int i = 0; i < 4; ++i) {
        fix.usCaliModFreqsMHZ[i] = CALI_RoundUpFreqMHz(fix.fModFreqsMHZ[i]);
        fix.cWorkFreq2CaliFreqID[i] = -1;
    }

    CaliByteView blob(p.pcInCaliParas, p.uiInCaliParasBytes);
    if (p.pcInCaliParas == nullptr) {
        uiFlag = fail(CPD3P1_FAIL_INVALID_CALIPARA_POINTER, ucLog,
                      "\nCalibration file load failed: pcInCaliParas = NULL\n");
    } else if (p.uiInCaliParasBytes == 0) {
        uiFlag = fail(CPD3P1_FAIL_INVALID_CALI_FILELEN, ucLog,
                      "\nCalibration file load failed: uiInCaliParasBytes = 0 (blob length not given)\n");
    } else {
        fix.eCaliParasVersion = CALI_GetCaliParasVersion(blob);
        if (fix.eCaliParasVersion == CALI_PARAS_UNKNOWN) {
            uiFlag = fail(CPD3P1_FAIL_INVALID_INCALIPARA, ucLog, "\nCalibration file load failed: unknown version\n");
        } else {
            uiFlag = parseCommonParas(blob, fix.eCaliParasVersion, h, ucLog);
        }
    }

    if (uiFlag == 0) {
        correctBinningType(h, ucLog);
        std::memcpy(fix.cCaliArithVersion, h.cCaliArithVersion, sizeof(fix.cCaliArithVersion));
        // Only a finite maximum frequency within 16 bits is taken from the calibration.
        if (h.eVersion == CALI_PARAS_V3_1 && h.fMaxFreqMHz > 1e-6f && h.fMaxFreqMHz < 65536.0f) {
            fix.bMaxFreqLoadFromCaliParas = 1;
            fix.iMaxFreqFromCali = static_cast<int32_t>(h.fMaxFreqMHz);
        }
        for (int i = 0; i < 4; ++i) {
            fix.cWorkFreq2CaliFreqID[i] =
                static_cast<int8_t>(CALI_MatchCaliFreqId(fix.fModFreqsMHZ[i], h.usCaliModFreqMHZ, h.ucCaliModFreqsNum));
        }
        uiFlag = fillSensorStatus(h, fix, ucLog);
    }

    fix.uiLoadCaliParasFlag = uiFlag;
    fix.bLoadCaliParasSuccFlag = uiFlag == 0 ? 1 : 0;
    if (uiFlag == 0) {
        loadModules(LoadContext{g, fix, blob, h, p, ucLog});
    } else {
        markAllLacking(g, p.pcInCaliParas != nullptr);
    }
    logCaliParas(g, h, ucLog);
    fix.stCaliCommonParas = std::move(h);
    return uiFlag == 0;
}

}  // namespace NAMESPACE_CORR
