// The facade one C handle works through: per-handle frame profile and work mode in front
// of the process-wide pipeline, which every wrapper shares.
#pragma once

#include "algo_common.h"
#include "config_types.h"
#include "image_buffer.h"
#include "status.h"

namespace ZeSdk {

constexpr const char* kZeSdkVersion = "v2.0.240620";

class algoWrapper {
public:
    // Binds to the process-wide pipeline.
    algoWrapper();
    // Binds to the given pipeline (not owned).
    explicit algoWrapper(algoCommon* impl);
    // Clears the pipeline: stage loops stopped, threads joined.
    virtual ~algoWrapper();
    algoWrapper(const algoWrapper&) = delete;
    algoWrapper& operator=(const algoWrapper&) = delete;

    // Keeps a copy of the profile; STATUS_INVALID_ARGUMENT for none.
    Status SetFrameProfile(const FrameProfile* profile);
    Status setWorkMode(const WorkModeConfig& mode);
    Status setCaliData(const unsigned char* data, int size);
    // Configures the pipeline for the profile and mode set before.
    Status configAlg(const AlgoParamsCfgByUser* userCfg);
    Status startAlg();
    Status processFrame(const char* raw);
    Status GetAlgoData(FrameDataType type, OutputImage** image);
    Status ReadyNextAlgo();

protected:
    algoCommon* impl_;
    WorkModeConfig modeCfg_{};
    FrameProfile frameCfg_{};
};

}  // namespace ZeSdk
