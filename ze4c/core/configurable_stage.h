// A processing stage that takes its settings from the sensor and algorithm configuration.
// The correction and post-processing stages implement it; the configuration step hands
// both records to whichever stages the pipeline has.
#pragma once

#include "config_types.h"
#include "status.h"

namespace ZeSdk {

class ConfigurableStage {
public:
    virtual ~ConfigurableStage() = default;

    // Applies the configuration. A stage that fails logs why and runs unconfigured.
    virtual Status ConfigParams(const TofConfig& config, const AlgoCfgParams& params) = 0;
};

// The stages configured from the algorithm file, in the order they are configured. A null
// entry is a stage the pipeline does not have: it is reported, never counted as configured.
struct ProcessingStages {
    ConfigurableStage* correction = nullptr;
    ConfigurableStage* postProcessing = nullptr;
};

}  // namespace ZeSdk
