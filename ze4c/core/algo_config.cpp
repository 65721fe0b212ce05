#include "algo_config.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "log_wrapper.h"

namespace ZeSdk {

namespace {

constexpr size_t kWorkingDirectoryBytes = 256;

// Loads path, reporting a file that exists but is malformed (the plain "not found" case
// is reported by the caller's fallback messages).
bool tryLoad(fileHelper* reader, const std::string& path) {
    const int code = reader->Load(path);
    if (code == RET_OK) return true;
    if (code != ERR_OPEN_FILE_FAILED) {
        ZE_LOG_WARN("{} is not a valid configuration file (error {}, line {})", path, code, reader->GetErrorLine());
    }
    return false;
}

std::string directoryOf(const AlgoParamsCfgByUser& userCfg) {
    return userCfg.cfgFilePath != nullptr ? userCfg.cfgFilePath : "";
}

void configureStage(ConfigurableStage* stage, const char* name, const TofConfig& config,
                    const AlgoCfgParams& params, bool* allPresent) {
    if (stage == nullptr) {
        ZE_LOG_ERROR("no {} stage: its configuration was not applied", name);
        *allPresent = false;
        return;
    }
    stage->ConfigParams(config, params);
}

}  // namespace

Status LoadConfigFile(fileHelper* reader, const std::string& directory, const char* fileName) {
    const std::string path = directory + "/" + fileName;
    if (tryLoad(reader, path)) {
        ZE_LOG_INFO("load {} success", path);
        return STATUS_OK;
    }
    char workingDirectory[kWorkingDirectoryBytes] = {};
    if (getcwd(workingDirectory, sizeof workingDirectory) == nullptr) workingDirectory[0] = '\0';
    ZE_LOG_INFO("can not find file in {}, try again current path {}", path, workingDirectory);
    if (tryLoad(reader, fileName)) {
        ZE_LOG_INFO("load {} success", fileName);
        return STATUS_OK;
    }
    ZE_LOG_ERROR("can't load {}", fileName);
    return STATUS_UNAVAILABLE;
}

Status CheckWorkMode(const fileHelper& reader, const WorkModeConfig& modeCfg, std::string* sectionName) {
    std::vector<std::string> sections;
    reader.GetSections(&sections);
    for (const std::string& section : sections) {
        int32_t workMode = 0;
        int32_t frameMode = 0;
        reader.GetIntValue(section, "WorkMode", &workMode);
        reader.GetIntValue(section, "SubWorkMode", &frameMode);
        if (static_cast<uint32_t>(workMode) == modeCfg.workMode &&
            static_cast<uint32_t>(frameMode) == modeCfg.frameMode) {
            *sectionName = section;
            ZE_LOG_INFO("choose section {}", section);
            return STATUS_OK;
        }
    }
    ZE_LOG_ERROR("Unable to find corresponding working mode in ConfigCamera.json file");
    return STATUS_GENERIC_ERROR;
}

Status FillCameraParas(const AlgoParamsCfgByUser& userCfg, const WorkModeConfig& modeCfg,
                       const FrameProfile& frameProfile, TofConfig* config) {
    fileHelper reader;
    if (LoadConfigFile(&reader, directoryOf(userCfg), kCameraConfigFile) != STATUS_OK) return STATUS_UNAVAILABLE;

    std::string section;
    if (CheckWorkMode(reader, modeCfg, &section) != STATUS_OK) {
        ZE_LOG_ERROR("Not existed workMode {} and frameMode {} case, please check!",
                     static_cast<uint32_t>(modeCfg.workMode), static_cast<uint32_t>(modeCfg.frameMode));
        return STATUS_UNAVAILABLE;
    }

    // Every number is read as a 32-bit integer and stored in its field as is (the
    // schedule slots keep the low 8 bits).
    const auto read = [&](const std::string& key, int32_t defaultValue) -> uint32_t {
        int32_t value = 0;
        reader.GetIntValueOrDefault(section, key, &value, defaultValue);
        return static_cast<uint32_t>(value);
    };
    TofConfig& c = *config;
    c.workMode = static_cast<TofWorkMode>(read("WorkMode", 0));
    c.frameMode = static_cast<TofFrameWorkMode>(read("SubWorkMode", 0));
    for (int i = 0; i < kTofConfigFrames; ++i) {
        c.subFramePhaseMode[i] = static_cast<SubFramePhaseMode>(read("SubFrameModes" + std::to_string(i), 0));
    }
    for (int i = 0; i < kTofConfigFrames; ++i) {
        c.specFrameMode[i] = static_cast<SpecialFrameMode>(read("SpecialFrameModes" + std::to_string(i), 0));
    }
    c.specBgMode = static_cast<SpecialFrameBgMode>(read("SpecBgMode", 0));
    c.seqSchedule.slot0SeqNum = static_cast<uint8_t>(read("FrameSeqSchedule0", 0));
    c.seqSchedule.slot1SeqNum = static_cast<uint8_t>(read("FrameSeqSchedule1", 1));
    c.seqSchedule.slot2SeqNum = static_cast<uint8_t>(read("FrameSeqSchedule2", 2));
    c.seqSchedule.slot3SeqNum = static_cast<uint8_t>(read("FrameSeqSchedule3", 3));
    for (int i = 0; i < kTofConfigFrames; ++i) {
        const std::string frame = "Frame" + std::to_string(i);
        c.intTime[i].phase1To4Time = read(frame + "_1To4IntTime", i == 0 ? 1000000 : 0);
        c.intTime[i].phase5To8Time = read(frame + "_5To8IntTime", 0);
        c.intTime[i].specialPhaseTime = read(frame + "_SpecialIntTime", 0);
    }
    for (int i = 0; i < kTofConfigFrames; ++i) {
        const std::string frame = "Frame" + std::to_string(i);
        c.fm[i].phase1To4PllDllDiv = read(frame + "_1To4PhaseDiv", i == 0 ? 4 : 2);
        c.fm[i].phase5To8PllDllDiv = read(frame + "_5To8PhaseDiv", 2);
        c.fm[i].specPhasePllDllDiv = read(frame + "_SpecialPhaseDiv", 24);
    }
    for (int i = 0; i < kTofConfigFrames; ++i) {
        c.subFrameNumPerFrame[i] = read("NumSubFramePerFrame" + std::to_string(i), i == 0 ? 1 : 0);
    }
    c.mirrorMode = static_cast<MirrorMode>(read("MirrorMode", 0));
    c.phaseMode = static_cast<PhaseMode>(read("PhaseMode", 0));
    c.ledMode = read("EnableLedMod", 1);
    c.seqNumPerDepthMap = read("SeqNumPerDepthMap", 1);
    c.mipiFsFePos = static_cast<MipiFsFePosition>(read("MIPI_FS_FE_Pos", 0));
    c.seqRepeatMode = static_cast<SequenceRepeatMode>(read("SeqRepeatMode", 1));
    c.triggerMode = static_cast<SequenceTriggerMode>(read("TriggerMode", 1));
    c.slaveTrigOnPosLevel = read("SlaveTrigOnPosLevel", 0);
    c.tSensorMode = static_cast<TSensorMode>(read("TSensorMode", 1));
    c.performClkChanges = read("performClkChanges", 0);

    c.roi = frameProfile.roi;
    c.fps = frameProfile.fps;
    c.binningMode = frameProfile.binningMode;
    return STATUS_OK;
}

Status FillAlgoParas(const AlgoParamsCfgByUser& userCfg, const ProcessingStages& stages, TofConfig* config,
                     AlgoCfgParams* algCfg) {
    const std::string directory = directoryOf(userCfg);
    fileHelper reader;
    if (LoadConfigFile(&reader, directory, kAlgoConfigFile) != STATUS_OK) return STATUS_UNAVAILABLE;

    const auto readInt = [&](const char* section, const char* key, int32_t defaultValue) -> uint32_t {
        int32_t value = 0;
        reader.GetIntValueOrDefault(section, key, &value, defaultValue);
        return static_cast<uint32_t>(value);
    };
    // Text that is neither true/1 nor false/0 also yields the default.
    const auto readBool = [&](const char* section, const char* key, bool defaultValue) -> uint32_t {
        bool value = defaultValue;
        reader.GetBoolValueOrDefault(section, key, &value, defaultValue);
        return value ? 1 : 0;
    };

    AlgoCorrParams& corr = algCfg->corrParams;
    corr.bOutPC_Corr = readBool("OutPutParams", "OutPointCloud", false);
    corr.bOutConfid_Corr = readBool("OutPutParams", "OutConfidence", true);
    corr.ucOutPCType_Corr = readInt("OutPutParams", "OutPointCloudType", 0);
    corr.ucOutDepthValueType_Corr = readInt("OutPutParams", "OutDepthValueType", 1);
    corr.ucOutDepthDataType_Corr = readInt("OutPutParams", "OutDepthDataType", 0);
    corr.bCorrBP = readBool("CorrParams", "CorrBP", true);
    corr.bCorrLen = readBool("CorrParams", "CorrLens", true);
    corr.bCorrT = readBool("CorrParams", "CorrTemp", true);
    corr.bCorrOFS = readBool("CorrParams", "CorrOffsetAuto", false);
    corr.bCorrFPPN = readBool("CorrParams", "CorrFPPN", true);
    corr.bCorrWig = readBool("CorrParams", "CorrWig", true);
    corr.bCorrFPN = readBool("CorrParams", "CorrFPN", false);
    corr.bCorrLUMA = readBool("CorrParams", "CorrLUMA", false);
    corr.bCorrMask = readBool("CorrParams", "CorrMask", false);
    corr.bDeMotionBlur = readBool("CorrParams", "DeMotionBlur", false);
    corr.bLenFillInvalidPixels = readBool("CorrParams", "FillInvalidPixels", true);
    corr.bLenCutInvalidPixels = readBool("CorrParams", "CutInvalidPixels", true);
    corr.bCorrOffset = readBool("CorrParams", "CorrOffsetManual", false);
    corr.sOffsetCorrMM_F1 = readInt("CorrParams", "F1CorrOffset", 0);
    corr.sOffsetCorrMM_F2 = readInt("CorrParams", "F2CorrOffset", 0);
    corr.sOffsetCorrMM_F3 = readInt("CorrParams", "F3CorrOffset", 0);
    corr.sOffsetCorrMM_F4 = readInt("CorrParams", "F4CorrOffset", 0);
    corr.bSFDeAliasing = readBool("FusionParams", "SFDeAliasing", false);
    corr.ucPresetMaxDistMM = readInt("FusionParams", "PresetMaxDist", 4000);
    corr.ucEnableWBAbnormalPnts = readBool("FusionParams", "DetectWB", false);
    corr.FusErrExpMinTsh = readInt("FusionParams", "FusErrExpMinTsh", 30);
    corr.bAE = readBool("OthersParams", "AE", false);
    corr.bAntiALI_Corr = readBool("OthersParams", "AntiAliCorr", true);
    corr.bEnableRegistration = readBool("OthersParams", "Registration", true);

    AlgoPostParams& pp = algCfg->ppParams;
    pp.bOutPC_PP = readBool("OutPutParamsPP", "OutPointCloud", false);
    pp.bOutConfid_PP = readBool("OutPutParamsPP", "OutConfidence", true);
    pp.bOutFlag_PP = readBool("OutPutParamsPP", "OutFlag", true);
    pp.ucOutPCType_PP = readInt("OutPutParamsPP", "OutPointCloudType", 0);
    pp.ucOutDepthValueType_PP = readInt("OutPutParamsPP", "OutDepthValueType", 1);
    pp.ucOutDepthDataType_PP = readInt("OutPutParamsPP", "OutDepthDataType", 0);
    pp.ucOutGrayDataType_PP = readInt("OutPutParamsPP", "OutGrayDataType", 1);
    pp.eTDenoiseLvl_Depth = readInt("DenoisingParams", "TDenoiseLevel_Depth", 3);
    pp.eSDenoiseLvl_Depth = readInt("DenoisingParams", "SDenoiseLevel_Depth", 3);
    pp.eTDenoiseMethod_Depth = readInt("DenoisingParams", "TDenoiseMethod_Depth", 1);
    pp.eSDenoiseMethod_Depth = readInt("DenoisingParams", "SDenoiseMethod_Depth", 1);
    pp.eTDenoiseLvl_Gray = readInt("DenoisingParams", "TDenoiseLevel_Gray", 1);
    pp.eSDenoiseLvl_Gray = readInt("DenoisingParams", "SDenoiseLevel_Gray", 1);
    pp.eTDenoiseMethod_Gray = readInt("DenoisingParams", "TDenoiseMethod_Gray", 1);
    pp.eSDenoiseMethod_Gray = readInt("DenoisingParams", "SDenoiseMethod_Gray", 1);
    pp.eRDOLvl = readInt("RepairParams", "ERDOLvl", 3);
    pp.bDeFlyPixelStyle = readBool("RepairParams", "DeFlyPixelStyle", false);
    pp.bDeHoles = readBool("RepairParams", "DeHoles", true);
    pp.bThRepairLowConfidence = readInt("RepairParams", "ThRepairLowConfidence", 120);
    pp.bAntiALI_PP = readBool("AntiInterferenceParams", "AntiALI", false);
    pp.bAntiMCI = readBool("AntiInterferenceParams", "AntiMCI", false);
    pp.usValidDistMinMM = readInt("ConfidenceParams", "ValidDistMin", 0);
    pp.usValidDistMaxMM = readInt("ConfidenceParams", "ValidDistMax", 7000);

    algCfg->useCorrParams = readInt("AlgoOnoff", "useCorrParams", 1);
    algCfg->usePostProcParams = readInt("AlgoOnoff", "usePostProcParams", 1);

    // The user's settings always win over the file.
    corr.bAE = userCfg.benableAE;
    pp.eTDenoiseLvl_Depth = userCfg.eTDenoiseLvl_Depth;
    pp.eSDenoiseLvl_Depth = userCfg.eSDenoiseLvl_Depth;
    pp.eTDenoiseLvl_Gray = userCfg.eTDenoiseLvl_Gray;
    pp.eSDenoiseLvl_Gray = userCfg.eSDenoiseLvl_Gray;
    pp.eRDOLvl = userCfg.eRDOLvl;
    pp.bDeFlyPixelStyle = userCfg.bDeFlyPixelStyle;
    pp.bDeHoles = userCfg.ucEnableDeHoles;
    pp.usValidDistMinMM = userCfg.usValidDistMinMM;
    pp.usValidDistMaxMM = userCfg.usValidDistMaxMM;

    if (config->cfgFilePath != nullptr) {
        const size_t length = std::min(directory.size(), static_cast<size_t>(kConfigPathBytes - 1));
        std::memcpy(config->cfgFilePath, directory.data(), length);
        config->cfgFilePath[length] = '\0';
    }

    ZE_LOG_INFO("algoUserCfg->usValidDistMaxMM:{}", userCfg.usValidDistMaxMM);
    ZE_LOG_INFO("algoUserCfg->eTDenoiseLvl_Depth {}", static_cast<uint32_t>(userCfg.eTDenoiseLvl_Depth));
    ZE_LOG_INFO("algoUserCfg->eRDOLvl:{}", static_cast<uint32_t>(userCfg.eRDOLvl));
    ZE_LOG_INFO("read local config *.json File Path :{}", directory);

    bool allPresent = true;
    configureStage(stages.correction, "correction", *config, *algCfg, &allPresent);
    configureStage(stages.postProcessing, "post-processing", *config, *algCfg, &allPresent);
    return allPresent ? STATUS_OK : STATUS_UNAVAILABLE;
}

uint32_t CalcFrameNumPerDepth(TofWorkMode workMode, TofFrameWorkMode frameMode) {
    if (workMode == WORK_MODE_BG_OUTDOOR || workMode == WORK_MODE_GRAY_ONLY) return 1;
    if (workMode > WORK_MODE_QUAD_FREQ) {
        ZE_LOG_ERROR("unsupported work mode");
        return 0;
    }
    switch (static_cast<uint32_t>(frameMode)) {
        case 4: case 5: case 10: case 11: return 2;
        case 6: return 8;
        case 12: case 13: case 16: case 17: return 4;
        case 14: case 15: return 3;
        case 0: case 1: case 2: case 3: case 7: case 8: case 9: return 1;
        default: return 0;  // above 17
    }
}

void printSensorCfg(const TofConfig& config) {
    ZE_LOG_DEBUG("/************ZEF4471 config parameters*/");
    ZE_LOG_DEBUG("workMode:{}, subWorkMode:{}", static_cast<uint32_t>(config.workMode),
                 static_cast<uint32_t>(config.frameMode));
    for (int i = 0; i < kTofConfigFrames; ++i) {
        ZE_LOG_DEBUG("//////Frame {}:", i);
        ZE_LOG_DEBUG("subFramePhaseMode {}", static_cast<uint32_t>(config.subFramePhaseMode[i]));
        ZE_LOG_DEBUG("specFrameMode {}", static_cast<uint32_t>(config.specFrameMode[i]));
        ZE_LOG_DEBUG("phase1To4Time {}", config.intTime[i].phase1To4Time);
        ZE_LOG_DEBUG("phase5To8Time {}", config.intTime[i].phase5To8Time);
        ZE_LOG_DEBUG("specialPhaseTime {}", config.intTime[i].specialPhaseTime);
        ZE_LOG_DEBUG("phase1To4PllDllDiv {}", config.fm[i].phase1To4PllDllDiv);
        ZE_LOG_DEBUG("phase5To8PllDllDiv {}", config.fm[i].phase5To8PllDllDiv);
        ZE_LOG_DEBUG("specPhasePllDllDiv {}", config.fm[i].specPhasePllDllDiv);
    }
    const SequenceSchedule& s = config.seqSchedule;
    ZE_LOG_DEBUG("seqSchedule:{}, {}, {}, {}", unsigned{s.slot0SeqNum}, unsigned{s.slot1SeqNum},
                 unsigned{s.slot2SeqNum}, unsigned{s.slot3SeqNum});
    ZE_LOG_DEBUG("mirrorMode:{}, phaseMode:{}, ledMode:{}, seqNumPerDepthMap:{}",
                 static_cast<uint32_t>(config.mirrorMode), static_cast<uint32_t>(config.phaseMode), config.ledMode,
                 config.seqNumPerDepthMap);
    ZE_LOG_DEBUG("mipiFsFePos {}", static_cast<uint32_t>(config.mipiFsFePos));
    ZE_LOG_DEBUG("seqRepeatMode {}", static_cast<uint32_t>(config.seqRepeatMode));
    ZE_LOG_DEBUG("triggerMode {}", static_cast<uint32_t>(config.triggerMode));
    ZE_LOG_DEBUG("slaveTrigOnPosLevel {}", config.slaveTrigOnPosLevel);
    ZE_LOG_DEBUG("tSensorMode {}", static_cast<uint32_t>(config.tSensorMode));
    ZE_LOG_DEBUG("//////ROI");
    const ROI& roi = config.roi;
    ZE_LOG_DEBUG("xSize:{}, ySize:{}, xStart:{},yStart:{}, xStep:{}, yStep:{}", roi.xSize, roi.ySize, roi.xStart,
                 roi.yStart, roi.xStep, roi.yStep);
    ZE_LOG_DEBUG("fps:{}, binning mode:{}", config.fps, static_cast<uint32_t>(config.binningMode));
}

}  // namespace ZeSdk
