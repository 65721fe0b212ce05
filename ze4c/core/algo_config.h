// Camera and algorithm configuration: locating and loading "ConfigCamera.json" and
// "ConfigAlgorithm.json", choosing the work-mode section, filling TofConfig and
// AlgoCfgParams (with the user's overrides) and handing them to the stages.
#pragma once

#include <cstdint>
#include <string>

#include "config_types.h"
#include "configurable_stage.h"
#include "fileHelper.h"
#include "status.h"

namespace ZeSdk {

constexpr const char* kCameraConfigFile = "ConfigCamera.json";
constexpr const char* kAlgoConfigFile = "ConfigAlgorithm.json";

// Loads directory + "/" + fileName into reader, else fileName relative to the working
// directory. STATUS_UNAVAILABLE when neither loads.
Status LoadConfigFile(fileHelper* reader, const std::string& directory, const char* fileName);

// Loads the camera file from userCfg.cfgFilePath, picks the section of modeCfg and fills
// every sensor field of *config from it; roi, fps and binning come from frameProfile.
// The path buffers of *config are left alone. STATUS_UNAVAILABLE when the file cannot be
// loaded or has no section for the mode.
Status FillCameraParas(const AlgoParamsCfgByUser& userCfg, const WorkModeConfig& modeCfg,
                       const FrameProfile& frameProfile, TofConfig* config);

// The first section (in file order) whose "WorkMode" and "SubWorkMode" equal the mode; a
// missing key reads as 0. STATUS_GENERIC_ERROR when none matches.
Status CheckWorkMode(const fileHelper& reader, const WorkModeConfig& modeCfg, std::string* sectionName);

// Loads the algorithm file, fills *algCfg, applies the user's overrides, copies the
// configuration directory into config->cfgFilePath (when that buffer exists) and
// configures the correction stage, then the post-processing stage. A stage's own result
// does not change the outcome; a missing stage does: it is logged and the result is
// STATUS_UNAVAILABLE (the records are filled all the same).
Status FillAlgoParas(const AlgoParamsCfgByUser& userCfg, const ProcessingStages& stages, TofConfig* config,
                     AlgoCfgParams* algCfg);

// Sensor transfers (MIPI frames) per depth frame; 0 for an unsupported mode.
uint32_t CalcFrameNumPerDepth(TofWorkMode workMode, TofFrameWorkMode frameMode);

// Logs the sensor configuration at debug level.
void printSensorCfg(const TofConfig& config);

}  // namespace ZeSdk
