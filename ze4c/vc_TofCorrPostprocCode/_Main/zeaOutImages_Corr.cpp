#include "vc_TofCorrPostprocCode/_Main/zeaOutImages_Corr.h"

#include <cstring>

#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"

namespace NAMESPACE_CORR {
namespace {

constexpr const char* kLog = DBG_RUN_LOG_FILE;

bool isDepthMode(ARITH_WORK_MODE eMode) { return eMode >= WORK_MODE_SFREQ && eMode <= WORK_MODE_FFREQ; }

struct ImageRequest {
    OUT_IMAGE_NAME eName;
    OUT_IMAGE_DATA_TYPE eDataType;
    char* pcInner;   // the library's memory for this image, or null
    bool bRequired;  // the work mode cannot run without it
    const char* pcLogName;
};

class OutImageSetup {
public:
    OutImageSetup(const GLB_FIX_VARS& fix, uint32_t* puiSuccFlag, uint32_t* puiAbnormalFlag, uint8_t ucLog)
        : fix_(fix), puiSuccFlag_(puiSuccFlag), puiAbnormalFlag_(puiAbnormalFlag), ucLog_(ucLog) {}

    // Reconciles one descriptor and returns the memory the image goes into.
    char* setUp(CORR_OIMG* pstImg, const ImageRequest& req) {
        if (pstImg == nullptr) return nullptr;
        const uint32_t uiSuccBefore = *puiSuccFlag_;
        char* pcMemory = reconcile(*pstImg, req);
        pstImg->eName = req.eName;
        pstImg->eDataType = req.eDataType;
        pstImg->usWidth = fix_.usOutImgWidth;
        pstImg->usHeight = fix_.usOutImgHeight;
        if (pcMemory != nullptr) {
            std::memset(pcMemory, 0,
                        static_cast<size_t>(fix_.usOutImgWidth) * fix_.usOutImgHeight *
                            GLB_OutImageBytesPerPixel(req.eDataType));
        }
        DBG_WriteLog(ucLog_, kLog, "\nCORR_OUTDATAS: CORR_OIMG* %s initialized %s!\n", req.pcLogName,
                     *puiSuccFlag_ == uiSuccBefore ? "successfully" : "failure");
        return pcMemory;
    }

private:
    // A memory problem: fails the frame for a required image, else the given abnormal bit.
    void problem(const ImageRequest& req, uint32_t uiAbnormalBit) {
        if (req.bRequired) {
            *puiSuccFlag_ |= CORR_ARITH_FAIL_INVALID_OUT_IMG_BUFFER;
        } else {
            *puiAbnormalFlag_ |= uiAbnormalBit;
        }
    }

    char* reconcile(CORR_OIMG& img, const ImageRequest& req) {
        const OUT_IMAGE_BUFFER_TYPE eFixed = fix_.eOutBufferType[req.eName];
        const OUT_IMAGE_BUFFER_TYPE eAsked = img.eBufferType;
        if (eAsked == eFixed) {
            switch (eFixed) {
                case OIMG_BUFFER_USER:
                    if (img.pcBuffer != nullptr) return img.pcBuffer;
                    problem(req, CORR_ARITH_ABNORMAL_BUFFER_TYPE_USER_BUT_NO_ALLOCATE);
                    return nullptr;
                case OIMG_BUFFER_INNER:
                    if (req.pcInner != nullptr) return img.pcBuffer = req.pcInner;
                    img.eBufferType = OIMG_BUFFER_NULL;
                    problem(req, CORR_ARITH_ABNORMAL_BUFFER_TYPE_INNER_BUT_NO_ALLOCATE);
                    return nullptr;
                default:
                    if (img.pcBuffer != nullptr) {
                        DBG_WriteLog(ucLog_, kLog, "    ------ %s -> pcBuffer is given but not used (NULL type)\n",
                                     req.pcLogName);
                    }
                    return nullptr;
            }
        }
        *puiAbnormalFlag_ |= CORR_ARITH_ABNORMAL_DIFFERENT_BUFFER_TYPE_SET;
        switch (eAsked) {
            case OIMG_BUFFER_USER:
                if (img.pcBuffer != nullptr) return img.pcBuffer;
                *puiAbnormalFlag_ |= CORR_ARITH_ABNORMAL_BUFFER_TYPE_USER_BUT_NO_ALLOCATE;
                if (eFixed != OIMG_BUFFER_INNER) return nullptr;
                if (req.pcInner != nullptr) {
                    img.eBufferType = OIMG_BUFFER_INNER;
                    return img.pcBuffer = req.pcInner;
                }
                img.eBufferType = OIMG_BUFFER_NULL;
                problem(req, CORR_ARITH_ABNORMAL_INVALID_INNER_IMG_BUFFER);
                return nullptr;
            case OIMG_BUFFER_INNER:
                problem(req, CORR_ARITH_ABNORMAL_BUFFER_TYPE_INIT_NOT_INNER);
                return nullptr;
            case OIMG_BUFFER_NULL:
                *puiAbnormalFlag_ |= CORR_ARITH_ABNORMAL_BUFFER_TYPE_NULL_BUT_NO_INFIXPARA;
                return nullptr;
            default:
                img.eBufferType = OIMG_BUFFER_NULL;
                *puiAbnormalFlag_ |= CORR_ARITH_ABNORMAL_BUFFER_TYPE_NULL_SET_UNKNOWN;
                return nullptr;
        }
    }

    const GLB_FIX_VARS& fix_;
    uint32_t* puiSuccFlag_;
    uint32_t* puiAbnormalFlag_;
    uint8_t ucLog_;
};

char* innerMemory(GLB_OUT_DATAS& out, OUT_IMAGE_NAME eName) {
    std::vector<char>& buffer = out.pcOutImg[eName];
    return buffer.empty() ? nullptr : buffer.data();
}

}  // namespace

OutImageBuffers MAINC_SetOutImages(GLB_BUFFERS& g, CORR_OUTDATAS& out, uint32_t* puiSuccFlag,
                                   uint32_t* puiAbnormalFlag, uint8_t ucLog) {
    const GLB_FIX_VARS& fix = *g.pstGlbFixVars;
    GLB_OUT_DATAS& inner = *g.pstGlbOutDatas;
    const ARITH_WORK_MODE eMode = fix.eArithWorkMode;
    const bool bGrayMode = eMode == WORK_MODE_GRAY || eMode == WORK_MODE_GRAY_BG;
    const bool bBgMode = eMode == WORK_MODE_BG || eMode == WORK_MODE_GRAY_BG;
    OutImageSetup setup(fix, puiSuccFlag, puiAbnormalFlag, ucLog);
    OutImageBuffers buffers;

    buffers.pcPointCloud = setup.setUp(
        out.pstOutPointCloud,
        {OIMG_NAME_POINTCLOUD,
         fix.eOutPointCloudType == PC_TYPE_PC32F ? OIMG_DTYPE_PC32F : OIMG_DTYPE_DEPTH_POINT_CLOUD,
         innerMemory(inner, OIMG_NAME_POINTCLOUD), false, "pstOutPointCloud"});
    if (buffers.pcPointCloud != nullptr && fix.ucEnableCalcPointCloud != 1) {
        // Point-cloud computation was not switched on at init: nothing can fill it.
        out.pstOutPointCloud->eBufferType = OIMG_BUFFER_NULL;
        *puiAbnormalFlag |= CORR_ARITH_ABNORMAL_CALC_POINTCLOUD;
        buffers.pcPointCloud = nullptr;
    }
    buffers.pcDepth = setup.setUp(out.pstOutDepth,
                                  {OIMG_NAME_DEPTH,
                                   fix.eOutDepthType == DEPTH_TYPE_DEPTH16 ? OIMG_DTYPE_DEPTH16 : OIMG_DTYPE_UINT16,
                                   innerMemory(inner, OIMG_NAME_DEPTH), isDepthMode(eMode), "pstOutDepth"});
    buffers.pcAmp = setup.setUp(out.pstOutAmp,
                                {OIMG_NAME_AMP, OIMG_DTYPE_UINT16, innerMemory(inner, OIMG_NAME_AMP), false, "pstOutAmp"});
    buffers.pcGray = setup.setUp(
        out.pstOutGray, {OIMG_NAME_GRAY, OIMG_DTYPE_UINT16, innerMemory(inner, OIMG_NAME_GRAY), bGrayMode, "pstOutGray"});
    for (int i = 0; i < fix.ucBgNum && i < 2; ++i) {
        // The library keeps memory for the first background only.
        char* pcInner = i == 0 ? innerMemory(inner, OIMG_NAME_BG) : nullptr;
        buffers.pcBg[i] = setup.setUp(out.pstOutBg[i], {OIMG_NAME_BG, OIMG_DTYPE_UINT16, pcInner, bBgMode,
                                                         i == 0 ? "pstOutBg[0]" : "pstOutBg[1]"});
    }
    buffers.pcConfidence = setup.setUp(out.pstOutConfidence, {OIMG_NAME_CONFIDENCE, OIMG_DTYPE_UINT8,
                                                              innerMemory(inner, OIMG_NAME_CONFIDENCE), false,
                                                              "pstOutConfidence"});
    buffers.pcFlag = setup.setUp(
        out.pstOutFlag, {OIMG_NAME_FLAG, OIMG_DTYPE_UINT8, innerMemory(inner, OIMG_NAME_FLAG), false, "pstOutFlag"});
    return buffers;
}

}  // namespace NAMESPACE_CORR
