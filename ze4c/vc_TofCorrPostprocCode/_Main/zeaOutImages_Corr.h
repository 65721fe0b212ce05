// Per-frame set-up of the output images: reconciles each descriptor's buffer type with the
// type fixed at init, rewrites the descriptor where the rules say so, names and sizes it
// and clears its memory.
#pragma once

#include <cstdint>

#include "vc_TofCorrPostprocCode/_Main/zeaGlobalBuffers_Corr.h"

namespace NAMESPACE_CORR {

// The memory each output image is produced into this frame; null: not produced.
struct OutImageBuffers {
    char* pcPointCloud = nullptr;
    char* pcDepth = nullptr;
    char* pcAmp = nullptr;
    char* pcGray = nullptr;
    char* pcBg[2] = {nullptr, nullptr};
    char* pcConfidence = nullptr;
    char* pcFlag = nullptr;
};

// Sets up the images in the order point cloud, depth, amplitude, gray, backgrounds (as
// many as the use case has), confidence, flag. Problems of an image the work mode needs
// (depth in depth modes, gray and background in their own modes) fail the frame with
// CORR_ARITH_FAIL_INVALID_OUT_IMG_BUFFER; those of other images are abnormal.
OutImageBuffers MAINC_SetOutImages(GLB_BUFFERS& stGlb, CORR_OUTDATAS& stOutDatas, uint32_t* puiSuccFlag,
                                   uint32_t* puiAbnormalFlag, uint8_t ucEnableLogFile);

}  // namespace NAMESPACE_CORR
