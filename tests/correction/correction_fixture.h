// Shared helpers of the correction-library tests: valid fixed parameters, a handle that
// releases itself, calibration descriptions with every record, and a scratch working
// directory for the log files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "calibration_samples.h"
#include "tof_calibration_writer.h"
#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"
#include "vc_TofCorrPostprocCode/_Main/zealib_TofCorrection.h"

namespace correction_test {

namespace cal = Korvane::Calibration;
using namespace NAMESPACE_CORR;

// Fixed parameters that pass every check: the use case's frequencies fixed at init, every
// output supplied by the caller.
struct FixedParas {
    CORR_FRMPARA_FIX frm{};
    CORR_FIXPARA p{};
    std::vector<uint8_t> blob;

    explicit FixedParas(CORR_USECASE_ID eUsecase = CORR_USECASE_ID_SF, uint8_t ucPhases = 4, uint16_t usWidth = 64,
                        uint16_t usHeight = 48) {
        std::strncpy(p.cSensorID, "ZEF4471001001001", sizeof(p.cSensorID));
        p.eUsecaseID = eUsecase;
        p.usInImgWidth = usWidth;
        p.usInImgHeight = usHeight;
        p.eIsHasEbd = CORR_ADDINFO_AFTER_IMG;
        p.uiEbdBytes = 232;
        p.ucEnableFixFrmPara = 1;
        p.pstFixFrmPara = &frm;
        p.ePixelBinningMode = CORR_PIXEL_BINNING_OFF;
        p.ucDepthPhaseNum = ucPhases;
        p.ePixelGrayBgMode = CORR_PIXEL_GRAYBG_MODE_2048UP;
        p.usPixelGrayBgZeroValue = 2048;
        p.usOutImgWidth = usWidth;
        p.usOutImgHeight = usHeight;
        for (auto* type : {&p.eOutBufferType_PointCloud, &p.eOutBufferType_Depth, &p.eOutBufferType_Amp,
                           &p.eOutBufferType_Gray, &p.eOutBufferType_Bg, &p.eOutBufferType_Confidence,
                           &p.eOutBufferType_Flag, &p.eOutBufferType_RegRgb}) {
            *type = OIMG_BUFFER_USER;
        }
        p.eOutDepthValueType = DEPTH_VALUE_XYR;
        const float freqs[4] = {100.0f, 80.0f, 60.0f, 20.0f};
        std::memcpy(frm.fModFreqMHZ, freqs, sizeof(freqs));
        frm.ucPixelLowResoStepX = 1;
        frm.ucPixelLowResoStepY = 1;
    }

    FixedParas(const FixedParas&) = delete;
    FixedParas& operator=(const FixedParas&) = delete;

    void setBlob(std::vector<uint8_t> bytes) {
        blob = std::move(bytes);
        p.pcInCaliParas = reinterpret_cast<const char*>(blob.data());
        p.uiInCaliParasBytes = static_cast<uint32_t>(blob.size());
    }
};

// A handle from zetcorrInit, released at the end of its scope.
struct Handle {
    void* h = nullptr;
    uint32_t uiSucc = 0xFFFFFFFF;
    uint32_t uiAbnormal = 0xFFFFFFFF;

    explicit Handle(CORR_FIXPARA* p, uint8_t ucLog = 0) { h = zetcorrInit(p, &uiSucc, &uiAbnormal, ucLog, 0); }
    ~Handle() { zetcorrRelease(&h, 0); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    GLB_BUFFERS& glb() const { return *static_cast<GLB_BUFFERS*>(h); }
    GLB_FIX_VARS& fix() const { return *glb().pstGlbFixVars; }
};

// Runs a test inside a fresh temporary working directory, so log files land there.
class ScratchDir {
public:
    ScratchDir() {
        old_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("correction_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~ScratchDir() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

private:
    static inline int counter_ = 0;
    std::filesystem::path old_;
    std::filesystem::path dir_;
};

std::string readFile(const std::string& name);

// A small valid blob (V3.1, one frequency at 100 MHz).
std::vector<uint8_t> smallBlob();

// Expects every record of the handle to equal the description: header and geometry, the
// single records, and per working slot i the per-frequency records of calibration
// frequency iCaliIdx[i].
void expectRecordsMatch(const cal::CalibrationDescription& d, const Handle& h, const std::vector<int>& iCaliIdx);

}  // namespace correction_test
