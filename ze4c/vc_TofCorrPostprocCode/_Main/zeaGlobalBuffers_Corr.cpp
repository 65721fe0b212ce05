#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"

#include <cstring>
#include <new>

#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"

namespace NAMESPACE_CORR {
namespace {

// Sizes vec to n zeroed elements and returns the bytes it holds.
template <class T>
uint32_t allocZeroed(std::vector<T>& vec, size_t n) {
    vec.assign(n, T{});
    return static_cast<uint32_t>(n * sizeof(T));
}

template <class Block>
uint32_t makeBlock(std::unique_ptr<Block>& block) {
    block = std::make_unique<Block>();
    block->pstGlbVars = std::make_unique<typename decltype(block->pstGlbVars)::element_type>();
    block->uiFixBufferBytes = static_cast<uint32_t>(sizeof(Block) + sizeof(*block->pstGlbVars));
    return block->uiFixBufferBytes;
}

}  // namespace

bool GLB_HasOwnAddress(const void* pGlbBuffer) {
    // Read the stored address as bytes: only memory that passes this test is treated as a handle.
    void* pStoredAddress = nullptr;
    std::memcpy(&pStoredAddress, pGlbBuffer, sizeof(pStoredAddress));
    return pStoredAddress == pGlbBuffer;
}

GLB_BUFFERS* GLB_CheckHandle(void* pGlbBuffer, bool bCheckRunBuffers, uint32_t* puiSuccFlag,
                             uint8_t ucEnableLogFile, const char* pcLogFile) {
    if (pGlbBuffer == nullptr) {
        *puiSuccFlag |= CORR_ARITH_FAIL_INVALID_OUTER_BUFFER;
        DBG_WriteLog(ucEnableLogFile, pcLogFile, "    ------ Error: the input pGlbBuffer == NULL\n");
        return nullptr;
    }
    if (!GLB_HasOwnAddress(pGlbBuffer)) {
        *puiSuccFlag |= CORR_ARITH_FAIL_INVALID_OUTER_BUFFER | CORR_ARITH_FAIL_OUTER_BUFFER_CHANGED;
        DBG_WriteLog(ucEnableLogFile, pcLogFile, "    ------ Error: the input pGlbBuffer has been changed\n");
        return nullptr;
    }
    auto* pstGlb = static_cast<GLB_BUFFERS*>(pGlbBuffer);
    if (!pstGlb->pstGlbFixVars) {
        *puiSuccFlag |= CORR_ARITH_FAIL_INVALID_OUTER_BUFFER;
        DBG_WriteLog(ucEnableLogFile, pcLogFile,
                     "    ------ Error: the input pstGlbBuffers->pstGlbFixVars == NULL\n");
        return nullptr;
    }
    if (bCheckRunBuffers && (!pstGlb->pstGlbOutDatas || !pstGlb->pstGlbDynBuffers)) {
        *puiSuccFlag |= CORR_ARITH_FAIL_INVALID_OUTER_BUFFER;
        DBG_WriteLog(ucEnableLogFile, pcLogFile,
                     "    ------ Error: the output or dynamic buffers of pGlbBuffer == NULL\n");
        return nullptr;
    }
    if (pstGlb->pstGlbFixVars->bInitSuccFlag != 1) {
        *puiSuccFlag |= CORR_ARITH_FAIL_NOT_INITIALIZED;
        DBG_WriteLog(ucEnableLogFile, pcLogFile,
                     "    ------ has not been call zetcorrInit()\n"
                     "           or zetcorrInit() run failed\n");
        return nullptr;
    }
    return pstGlb;
}

bool GLB_AllocateModuleBlocks(GLB_BUFFERS& stGlb) {
    try {
        uint32_t bytes = 0;
        stGlb.pstGlbOutDatas = std::make_unique<GLB_OUT_DATAS>();
        bytes += sizeof(GLB_OUT_DATAS);
        bytes += makeBlock(stGlb.pGlbBuffer_BP);
        bytes += makeBlock(stGlb.pGlbBuffer_MASK);
        bytes += makeBlock(stGlb.pGlbBuffer_LEN);
        bytes += makeBlock(stGlb.pGlbBuffer_T);
        bytes += makeBlock(stGlb.pGlbBuffer_FPPN);
        bytes += makeBlock(stGlb.pGlbBuffer_WIG);
        bytes += makeBlock(stGlb.pGlbBuffer_FPN);
        bytes += makeBlock(stGlb.pGlbBuffer_LUMA);
        if (stGlb.pstGlbFixVars->ucDepthPhaseNum == 2) bytes += makeBlock(stGlb.pGlbBuffer_PhaseFPPN);
        bytes += makeBlock(stGlb.pGlbBuffer_OFS);
        bytes += makeBlock(stGlb.pGlbBuffer_REG);
        stGlb.uiFixBufferBytes += bytes;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

uint32_t GLB_OutImageBytesPerPixel(OUT_IMAGE_DATA_TYPE eType) {
    switch (eType) {
        case OIMG_DTYPE_UINT8:
        case OIMG_DTYPE_FLAG: return 1;
        case OIMG_DTYPE_UINT16:
        case OIMG_DTYPE_DEPTH16: return 2;
        case OIMG_DTYPE_FLOAT32: return 4;
        case OIMG_DTYPE_PC32F: return 12;
        case OIMG_DTYPE_DEPTH_POINT_CLOUD: return 16;
        case OIMG_DTYPE_RGB: return 3;
        default: return 0;
    }
}

bool GLB_AllocateImageBuffers(GLB_BUFFERS& stGlb) {
    const GLB_FIX_VARS& fix = *stGlb.pstGlbFixVars;
    const size_t pixels = static_cast<size_t>(fix.usOutImgWidth) * fix.usOutImgHeight;
    const int freqs = fix.ucModFreqsNum;
    const uint32_t pcBytesPerPixel = fix.eOutPointCloudType == PC_TYPE_PC32F ? 12 : 16;
    const auto isInner = [&](OUT_IMAGE_NAME name) { return fix.eOutBufferType[name] == OIMG_BUFFER_INNER; };
    try {
        uint32_t fixBytes = 0;
        uint32_t dynBytes = 0;

        // The library's output images.
        const uint32_t innerBytesPerPixel[CORR_OUT_IMAGES] = {pcBytesPerPixel, 2, 2, 2, 2, 1, 1, 3};
        for (int name = 0; name < CORR_OUT_IMAGES; ++name) {
            if (isInner(static_cast<OUT_IMAGE_NAME>(name))) {
                fixBytes += allocZeroed(stGlb.pstGlbOutDatas->pcOutImg[name], pixels * innerBytesPerPixel[name]);
            }
        }
        fixBytes += sizeof(stGlb.pstGlbOutDatas->pcOutParasLn);

        // Phase-difference images, always sensor-sized, and the coordinate map.
        for (int i = 0; i < 2 * freqs; ++i) {
            dynBytes += allocZeroed(stGlb.psPhaseDiff[i], static_cast<size_t>(CORR_MAX_WIDTH) * CORR_MAX_HEIGHT);
        }
        stGlb.pstThis2CalicCoorMap = std::make_unique<COOR_MAP_OUT2CALI>();
        dynBytes += sizeof(COOR_MAP_OUT2CALI);

        // Per-frame working images.
        stGlb.pstGlbDynBuffers = std::make_unique<GLB_DYN_BUFFERS>();
        GLB_DYN_BUFFERS& dyn = *stGlb.pstGlbDynBuffers;
        dynBytes += sizeof(GLB_DYN_BUFFERS);
        for (int i = 0; i < freqs; ++i) {
            dynBytes += allocZeroed(dyn.piDepths[i], pixels);
            dynBytes += allocZeroed(dyn.pusAmps[i], pixels);
            dynBytes += allocZeroed(dyn.pucFlags[i], pixels);
        }
        if (freqs >= 1) dynBytes += allocZeroed(dyn.piDepthFusion, pixels);
        if (!isInner(OIMG_NAME_AMP)) dynBytes += allocZeroed(dyn.pusTempAmp, pixels);
        if (!isInner(OIMG_NAME_FLAG)) dynBytes += allocZeroed(dyn.pucTempFlag, pixels);
        if (!isInner(OIMG_NAME_CONFIDENCE)) dynBytes += allocZeroed(dyn.pucTempConfidence, pixels);
        if (!isInner(OIMG_NAME_POINTCLOUD) && fix.ucEnableCalcPointCloud == 1) {
            dynBytes += allocZeroed(dyn.pfTempPointCloud, pixels * (pcBytesPerPixel / sizeof(float)));
        }
        dynBytes += allocZeroed(dyn.piOut2PhaseCoorMap, pixels);
        dynBytes += allocZeroed(dyn.piZeroImg, pixels);

        stGlb.uiFixBufferBytes += fixBytes;
        stGlb.uiDynBufferBytes += dynBytes;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace NAMESPACE_CORR
