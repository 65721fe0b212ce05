#include "correction_fixture.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace correction_test {

std::string readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> smallBlob() {
    cal::CalibrationBlob blob = cal::writeCalibrationBlob(fullDescription(cal::BlobVersion::V3_1, {100}));
    EXPECT_TRUE(blob.ok()) << blob.error;
    return blob.bytes;
}

namespace {

template <class T, size_t N>
std::vector<T> asVector(const T (&a)[N], size_t n = N) {
    return std::vector<T>(a, a + n);
}

void expectLoaded(const CaliLoadState& st, const char* what) {
    EXPECT_EQ(st.bCaliParaLoadSucc, 1) << what << " flag 0x" << std::hex << st.uiCaliParaLoadSuccFlag;
    EXPECT_EQ(st.uiCaliParaLoadSuccFlag, 0u) << what;
}

void expectHeader(const cal::CalibrationDescription& d, const GLB_FIX_VARS& fix) {
    const bool v3 = d.version == cal::BlobVersion::V3;
    EXPECT_EQ(fix.bLoadCaliParasSuccFlag, 1);
    EXPECT_EQ(fix.eCaliParasVersion, v3 ? CALI_PARAS_V3 : CALI_PARAS_V3_1);
    const CaliParas_CommonParas& h = fix.stCaliCommonParas;
    ASSERT_EQ(h.ucCaliModFreqsNum, d.freqsMHz.size());
    for (size_t k = 0; k < d.freqsMHz.size(); ++k) {
        EXPECT_EQ(h.usCaliModFreqMHZ[k], d.freqsMHz[k]);
        EXPECT_EQ(h.usCaliExpoTimeUS[k], d.expoTimesUs[k]);
    }
    EXPECT_EQ(std::string(h.cSensorID, strnlen(h.cSensorID, sizeof(h.cSensorID))), d.sensorId);
    const GLB_CALI_SENSOR_STATUS& s = fix.stCaliSensorStatus;
    EXPECT_EQ(s.usCaliWidth, d.width);
    EXPECT_EQ(s.usCaliHeight, d.height);
    EXPECT_EQ(s.usCaliPixelRawResoWidth, d.rawWidth);
    EXPECT_EQ(s.usCaliPixelRawResoHeight, d.rawHeight);
    EXPECT_EQ(s.usCaliPixelRoiStartX, d.startX);
    EXPECT_EQ(s.usCaliPixelRoiStartY, d.startY);
    EXPECT_EQ(s.ucCaliFlipMode, d.flipMode);
    EXPECT_EQ(s.eCaliBinningMode, d.binningType);
    EXPECT_EQ(s.ucCaliPixelLowResoStepX, 1);
    EXPECT_EQ(s.ucCaliPixelLowResoStepY, 1);
    if (v3) {
        EXPECT_EQ(h.ucIsLenCaliFirst, d.isLenCaliFirst);
        EXPECT_EQ(h.ucIsTCaliFirst, d.isTCaliFirst);
        EXPECT_EQ(h.ucOrderOfsWigFppn, d.orderOfsWigFppn);
        EXPECT_EQ(fix.bMaxFreqLoadFromCaliParas, 0);
    } else {
        EXPECT_EQ(std::string(fix.cCaliArithVersion, strnlen(fix.cCaliArithVersion, 16)), d.caliArithVersion);
        EXPECT_EQ(s.eCaliPhaseMode, d.phaseMode);
        EXPECT_EQ(h.fErrPrecisionMM, d.errPrecisionMM);
        EXPECT_EQ(fix.bMaxFreqLoadFromCaliParas, 1);
        EXPECT_EQ(fix.iMaxFreqFromCali, static_cast<int>(d.maxFreqMHz));
        EXPECT_EQ(s.usCaliMaxFreq, static_cast<int>(d.maxFreqMHz));
        EXPECT_EQ(h.ucCaliWigType, d.wigType);
        EXPECT_EQ(h.ucIsPluseMode, d.pulseMode);
        EXPECT_EQ(h.ucIs2PhaseMode, d.twoPhaseMode);
    }
}

void expectSingles(const cal::CalibrationDescription& d, const GLB_BUFFERS& g) {
    const bool v3 = d.version == cal::BlobVersion::V3;
    const GLB_CALI_SENSOR_STATUS* status = &g.pstGlbFixVars->stCaliSensorStatus;

    expectLoaded(g.pGlbBuffer_BP->pstGlbVars->stCaliLoad, "BP");
    ASSERT_TRUE(g.pGlbBuffer_BP->pstCaliParas);
    const BP_CALI_PARAS& bp = *g.pGlbBuffer_BP->pstCaliParas;
    std::vector<std::pair<int, int>> points;
    std::vector<int16_t> rows;
    std::vector<int16_t> cols;
    for (const cal::BadPixelEntry& e : *d.badPixels) {
        if (e.a >= 0) points.emplace_back(e.a, e.b);
        if (e.a == -2) rows.push_back(e.b);
        if (e.a == -3) cols.push_back(e.b);
    }
    std::vector<std::pair<int, int>> gotPoints;
    for (const COOR2D16S& c : bp.pcoor2sBPList) gotPoints.emplace_back(c.sX, c.sY);
    EXPECT_EQ(gotPoints, points);
    EXPECT_EQ(bp.psBPRowsList, rows);
    EXPECT_EQ(bp.psBPColsList, cols);
    EXPECT_EQ(bp.uiValidBPCnt, points.size());
    EXPECT_EQ(bp.uiValidBPRowsCnt, rows.size());
    EXPECT_EQ(bp.uiValidBPColsCnt, cols.size());
    EXPECT_EQ(bp.pstCaliSensorStatus, status);

    expectLoaded(g.pGlbBuffer_LEN->pstGlbVars->stCaliLoad, "LEN");
    const LEN_CALI_PARAS& len = *g.pGlbBuffer_LEN->pstCaliParas;
    EXPECT_EQ(asVector(len.fLenParasOut), asVector(d.lens->params));
    std::vector<float> zeroBased = asVector(d.lens->params);
    zeroBased[2] -= 1.0f;
    zeroBased[3] -= 1.0f;
    EXPECT_EQ(asVector(len.fLenParas), zeroBased);
    EXPECT_EQ(len.fZoomCoef, d.lens->zoom);
    EXPECT_EQ(len.fZoomCoefOut, d.lens->zoom);
    EXPECT_EQ(len.fSkew, d.lens->skew);

    expectLoaded(g.pGlbBuffer_FPN->pstGlbVars->stCaliLoad, "FPN");
    const FPN_CALI_PARAS& fpn = *g.pGlbBuffer_FPN->pstCaliParas;
    EXPECT_EQ(fpn.ucCaliFileType, d.grayFpn->type);
    EXPECT_EQ(fpn.psCaliFPNErr, d.grayFpn->errors);

    expectLoaded(g.pGlbBuffer_REG->pstGlbVars->stCaliLoad, "REG");
    const REG_CALI_PARAS& reg = *g.pGlbBuffer_REG->pstCaliParas;
    EXPECT_EQ(asVector(reg.fTofIntrinsicMatrix), asVector(d.registration->tofIntrinsic));
    EXPECT_EQ(asVector(reg.fRgbIntrinsicMatrix), asVector(d.registration->rgbIntrinsic));
    EXPECT_EQ(asVector(reg.fRotationMatrix), asVector(d.registration->rotation));
    EXPECT_EQ(asVector(reg.fTranslationMatrix), asVector(d.registration->translation));
    EXPECT_EQ(reg.bIsRgbCameraLeft, d.registration->rgbCameraLeft);

    if (v3) {
        // V3 carries no mask, luma or phase FPPN record.
        EXPECT_EQ(g.pGlbBuffer_MASK->pstGlbVars->stCaliLoad.uiCaliParaLoadSuccFlag, MASK_FAIL_INVALID_CALI_MODID);
        EXPECT_FALSE(g.pGlbBuffer_LUMA->pstCaliParas);
        return;
    }
    expectLoaded(g.pGlbBuffer_MASK->pstGlbVars->stCaliLoad, "MASK");
    const MASK_CALI_PARAS& mask = *g.pGlbBuffer_MASK->pstCaliParas;
    EXPECT_EQ(mask.eMaskCaliFileType, d.mask->type);
    EXPECT_EQ(mask.pusMaskValidCoorXMinList, d.mask->xMin);
    EXPECT_EQ(mask.pusMaskValidCoorXMaxList, d.mask->xMax);
    EXPECT_EQ(mask.pucCaliMaskImg, d.mask->image);

    expectLoaded(g.pGlbBuffer_LUMA->pstGlbVars->stCaliLoad, "LUMA");
    const LUMA_CALI_PARAS& luma = *g.pGlbBuffer_LUMA->pstCaliParas;
    EXPECT_EQ(luma.ucCaliFileType, d.luma->type);
    EXPECT_EQ(luma.ucBlockXpixel, d.luma->blockX);
    EXPECT_EQ(luma.ucBlockYpixel, d.luma->blockY);
    EXPECT_EQ(luma.fLumaFitParas, d.luma->gains);

    ASSERT_TRUE(g.pGlbBuffer_PhaseFPPN) << "phase FPPN exists with two phases per frequency";
    expectLoaded(g.pGlbBuffer_PhaseFPPN->pstGlbVars->stCaliLoad, "PHASE_FPPN");
    const PHASE_FPPN_CALI_PARAS& ph = *g.pGlbBuffer_PhaseFPPN->pstCaliParas;
    EXPECT_EQ(ph.usPhaseFPPNParas, *d.phaseFppn);
    EXPECT_EQ(ph.ucIs2PhaseMode, d.twoPhaseMode);
}

void expectPerFrequency(const cal::CalibrationDescription& d, const GLB_BUFFERS& g, const std::vector<int>& iCaliIdx) {
    const bool v3 = d.version == cal::BlobVersion::V3;
    for (size_t i = 0; i < iCaliIdx.size(); ++i) {
        SCOPED_TRACE("working slot " + std::to_string(i));
        const int k = iCaliIdx[i];
        EXPECT_EQ(g.pstGlbFixVars->cWorkFreq2CaliFreqID[i], k);

        expectLoaded(g.pGlbBuffer_T->pstGlbVars->stCaliLoad[i], "T");
        const T_CALI_PARAS& t = *g.pGlbBuffer_T->pstCaliParas[i];
        const cal::TemperatureCalibration& et = *d.temperature[k];
        EXPECT_EQ(t.usCaliModFreqMHZ, d.freqsMHz[k]);
        EXPECT_EQ(t.eTSensorType, et.sensorType);
        EXPECT_EQ(t.eTDriverType, et.driverType);
        EXPECT_EQ(t.fTSensor, et.tSensorDeg);
        EXPECT_EQ(t.fTDriver, et.tDriverDeg);
        EXPECT_EQ(t.fErrPrecisionMM, v3 ? et.errPrecisionMM : d.errPrecisionMM);
        EXPECT_EQ(t.ucFitMode, et.fitMode);
        EXPECT_EQ(asVector(t.fTempFitParas), asVector(et.fitParas));

        expectLoaded(g.pGlbBuffer_OFS->pstGlbVars->stCaliLoad[i], "OFS");
        const OFS_CALI_PARAS& o = *g.pGlbBuffer_OFS->pstCaliParas[i];
        const cal::OffsetCalibration& eo = *d.offsets[k];
        EXPECT_EQ(o.usCaliModFreqMHZ, d.freqsMHz[k]);
        EXPECT_EQ(o.fOffsetGlobalMM, eo.globalMM);
        EXPECT_EQ(asVector(o.fOffsetBlocksMM, o.ucBlockOffsetLen), eo.blocksMM);

        expectLoaded(g.pGlbBuffer_FPPN->pstGlbVars->stCaliLoad[i], "FPPN");
        const FPPN_CALI_PARAS& f = *g.pGlbBuffer_FPPN->pstCaliParas[i];
        const cal::FppnCalibration& ef = *d.fppn;
        EXPECT_EQ(f.usCaliModFreqMHZ, d.freqsMHz[k]);
        EXPECT_EQ(f.ucCaliFileType, ef.fileType);
        EXPECT_EQ(f.fErrPrecisionMM, v3 ? ef.errPrecisionMM : d.errPrecisionMM);
        EXPECT_EQ(f.ucFitMode, ef.entries[k].fitMode);
        EXPECT_EQ(asVector(f.fFPPNFitParas), asVector(ef.entries[k].fitParas));
        EXPECT_EQ(f.ucIntZoomMultiple, ef.zoom);
        EXPECT_EQ(f.eFPPNErrImgType, v3 ? 0 : ef.imageType);
        ASSERT_NE(f.pFPPNErrImgMM, nullptr);
        ASSERT_NE(f.pFPPNErrImgMMFilter, nullptr);
        for (size_t p = 0; p < ef.image.size(); ++p) {
            const float expected = f.eFPPNErrImgType == FPPN_CALI_ERR_IMG_TYPE_FLOAT ? ef.image[p]
                                                                                    : std::round(ef.image[p]);
            ASSERT_EQ(FPPN_ErrImgValue(f.pFPPNErrImgMM, f.eFPPNErrImgType, p), expected) << "pixel " << p;
            ASSERT_EQ(FPPN_ErrImgValue(f.pFPPNErrImgMMFilter, f.eFPPNErrImgType, p), expected) << "pixel " << p;
        }

        expectLoaded(g.pGlbBuffer_WIG->pstGlbVars->stCaliLoad[i], "WIG");
        const WIG_CALI_PARAS& w = *g.pGlbBuffer_WIG->pstCaliParas[i];
        const cal::WigglingCalibration& ew = *d.wiggling[k];
        EXPECT_EQ(w.usCaliModFreqMHZ, d.freqsMHz[k]);
        EXPECT_EQ(w.ucCaliFileType, ew.fileType);
        EXPECT_EQ(w.fErrPrecisionMM, v3 ? ew.errPrecisionMM : d.errPrecisionMM);
        if (ew.fileType == 1) {
            EXPECT_EQ(w.usLUTLen, ew.lut.size());
            EXPECT_EQ(w.ucDistIntZoomMultiple, ew.distZoom);
            EXPECT_EQ(w.ucErrIntZoomMultiple, ew.errZoom);
            EXPECT_EQ(w.usLUT_StartDistMM, ew.startDistMM);
            EXPECT_EQ(w.ucLUT_StepDistMM, ew.stepDistMM);
            EXPECT_EQ(w.psLUT_ErrMM, ew.lut);
        } else {
            EXPECT_EQ(w.ucFitMode, ew.fitMode);
            EXPECT_EQ(asVector(w.fWigFitParas, w.ucFitParasLen), ew.fitParas);
        }
    }
    EXPECT_EQ(g.pstGlbFixVars->eTDriverType, d.temperature[iCaliIdx[0]]->driverType)
        << "the first working frequency's temperature record names the driver";
}

}  // namespace

void expectRecordsMatch(const cal::CalibrationDescription& d, const Handle& h, const std::vector<int>& iCaliIdx) {
    ASSERT_NE(h.h, nullptr);
    expectHeader(d, h.fix());
    expectSingles(d, h.glb());
    expectPerFrequency(d, h.glb(), iCaliIdx);
}

}  // namespace correction_test
