// Camera and algorithm configuration: where the files are found, which work-mode section
// is chosen, every key with its default, the user overrides, the stages and the table of
// sensor transfers per depth frame.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "algo_config.h"
#include "log_capture.h"
#include "scratch_dir.h"

namespace {

using namespace ZeSdk;
using ze4c_test::LogCapture;

// The user settings the C interface hands to the core.
AlgoParamsCfgByUser wrapperUserSettings(const char* directory) {
    AlgoParamsCfgByUser user{};
    user.benableAE = 0;
    user.eTDenoiseLvl_Depth = DENOISE_LEVEL_3;
    user.eSDenoiseLvl_Depth = DENOISE_LEVEL_3;
    user.eTDenoiseLvl_Gray = DENOISE_LEVEL_0;
    user.eSDenoiseLvl_Gray = DENOISE_LEVEL_0;
    user.eRDOLvl = DENOISE_LEVEL_5;
    user.bDeFlyPixelStyle = 1;
    user.ucEnableDeHoles = 0;
    user.usValidDistMinMM = 0;
    user.usValidDistMaxMM = 4500;
    user.cfgFilePath = directory;
    return user;
}

constexpr FrameProfile kProfile{60, {640, 480, 0, 0, 1, 1}, BINNING_MODE_NONE};

// Records the configuration it receives and the order of the calls.
class RecordingStage : public ConfigurableStage {
public:
    RecordingStage(const char* name, std::vector<std::string>* calls, Status result)
        : name_(name), calls_(calls), result_(result) {}
    Status ConfigParams(const TofConfig& config, const AlgoCfgParams& params) override {
        calls_->push_back(name_);
        config_ = config;
        params_ = params;
        return result_;
    }
    TofConfig config_{};
    AlgoCfgParams params_{};

private:
    const char* name_;
    std::vector<std::string>* calls_;
    Status result_;
};

class ConfigTest : public ::testing::Test {
protected:
    ze4c_test::ScratchDir configDir;
    ze4c_test::ScratchDir workDir;
    ze4c_test::WorkingDirectory cwd{workDir.path()};
    LogCapture log{"debug"};
    char cfgPathBuffer[kConfigPathBytes] = {};
    char eepromBuffer[kConfigPathBytes] = {};
    TofConfig config{};

    void SetUp() override {
        config.cfgFilePath = cfgPathBuffer;
        config.eepromPath = eepromBuffer;
    }

    Status fillCamera(TofWorkMode workMode, TofFrameWorkMode frameMode, const std::string& directory) {
        const AlgoParamsCfgByUser user = wrapperUserSettings(directory.c_str());
        return FillCameraParas(user, WorkModeConfig{workMode, frameMode}, kProfile, &config);
    }
};

// --- Locating the files -----------------------------------------------------------------

TEST_F(ConfigTest, ConfigurationDirectoryComesFirst) {
    configDir.write("ConfigCamera.json", "[m]\nWorkMode=1\nSubWorkMode=11\nMirrorMode=2\n");
    workDir.write("ConfigCamera.json", "[m]\nWorkMode=1\nSubWorkMode=11\nMirrorMode=3\n");
    ASSERT_EQ(fillCamera(WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG, configDir.str()), STATUS_OK);
    EXPECT_EQ(config.mirrorMode, 2u);
    EXPECT_TRUE(log.logged("info", "load " + configDir.str() + "/ConfigCamera.json success")) << log.text();
}

TEST_F(ConfigTest, FallsBackToTheWorkingDirectory) {
    workDir.write("ConfigCamera.json", "[m]\nWorkMode=1\nSubWorkMode=11\nMirrorMode=3\n");
    const std::string missing = configDir.str() + "/absent";
    ASSERT_EQ(fillCamera(WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG, missing), STATUS_OK);
    EXPECT_EQ(config.mirrorMode, 3u);
    const std::string cwdText = std::filesystem::current_path().string();
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{
                  "can not find file in " + missing + "/ConfigCamera.json, try again current path " + cwdText,
                  "load ConfigCamera.json success", "choose section m"}));
}

// An empty directory gives a path at the file-system root before the working directory.
TEST_F(ConfigTest, EmptyDirectoryTriesTheRootThenTheWorkingDirectory) {
    workDir.write("ConfigAlgorithm.json", "");
    fileHelper reader;
    EXPECT_EQ(LoadConfigFile(&reader, "", kAlgoConfigFile), STATUS_OK);
    ASSERT_FALSE(log.records().empty());
    EXPECT_EQ(log.records()[0].message.rfind("can not find file in /ConfigAlgorithm.json, try again", 0), 0u)
        << log.text();
    EXPECT_TRUE(log.logged("info", "load ConfigAlgorithm.json success"));
}

TEST_F(ConfigTest, MissingFilesAreUnavailable) {
    ASSERT_EQ(fillCamera(WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG, configDir.str()),
              STATUS_UNAVAILABLE);
    EXPECT_TRUE(log.logged("error", "can't load ConfigCamera.json")) << log.text();

    std::vector<std::string> calls;
    RecordingStage corr("correction", &calls, STATUS_OK), pp("post-processing", &calls, STATUS_OK);
    AlgoCfgParams params{};
    EXPECT_EQ(FillAlgoParas(wrapperUserSettings(configDir.str().c_str()), {&corr, &pp}, &config, &params),
              STATUS_UNAVAILABLE);
    EXPECT_TRUE(log.logged("error", "can't load ConfigAlgorithm.json"));
    EXPECT_TRUE(calls.empty()) << "no stage is configured without a file";
}

// A malformed file in the configuration directory is reported, then the fallback applies.
TEST_F(ConfigTest, MalformedFileIsReportedBeforeTheFallback) {
    configDir.write("ConfigCamera.json", "[m]\nWorkMode=1\nbroken line\n");
    fileHelper reader;
    EXPECT_EQ(LoadConfigFile(&reader, configDir.str(), kCameraConfigFile), STATUS_UNAVAILABLE);
    EXPECT_TRUE(log.logged("warning", configDir.str() + "/ConfigCamera.json is not a valid configuration file "
                                                        "(error 5, line 3)"))
        << log.text();
}

// --- Work-mode search -------------------------------------------------------------------

TEST_F(ConfigTest, WorkModeSearchTakesTheFirstMatch) {
    workDir.write("ConfigCamera.json",
                  "[Devices]\nsensorPath=/dev/x\n\n"
                  "[NoSub]\nWorkMode=1\n\n"
                  "[First]\nWorkMode=1\nSubWorkMode=11\n\n"
                  "[Second]\nWorkMode=1\nSubWorkMode=11\n\n"
                  "[Gray]\nWorkMode=8\nSubWorkMode=19\n");
    fileHelper reader;
    ASSERT_EQ(reader.Load("ConfigCamera.json"), RET_OK);
    const struct {
        TofWorkMode workMode;
        TofFrameWorkMode frameMode;
        Status status;
        const char* section;
    } cases[] = {
        {WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG, STATUS_OK, "First"},
        {WORK_MODE_DOUBLE_FREQ, SUB_MODE_SINGLE_FREQ_2PHASE, STATUS_OK, "NoSub"},  // missing SubWorkMode reads 0
        {WORK_MODE_SINGLE_FREQ, SUB_MODE_SINGLE_FREQ_2PHASE, STATUS_OK, "Devices"},  // no keys at all: (0, 0)
        {WORK_MODE_GRAY_ONLY, SUB_MODE_GRAY_ONLY, STATUS_OK, "Gray"},
        {WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE, STATUS_GENERIC_ERROR, ""},
    };
    for (const auto& c : cases) {
        std::string section;
        EXPECT_EQ(CheckWorkMode(reader, WorkModeConfig{c.workMode, c.frameMode}, &section), c.status) << c.section;
        EXPECT_EQ(section, c.section);
    }
    EXPECT_TRUE(log.logged("info", "choose section First"));
    EXPECT_TRUE(log.logged("error", "Unable to find corresponding working mode in ConfigCamera.json file"));
}

TEST_F(ConfigTest, NoSectionForTheModeIsUnavailable) {
    workDir.write("ConfigCamera.json", "// no sections at all\n");
    ASSERT_EQ(fillCamera(WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG, ""), STATUS_UNAVAILABLE);
    EXPECT_TRUE(log.logged("error", "Unable to find corresponding working mode in ConfigCamera.json file"));
    EXPECT_TRUE(log.logged("error", "Not existed workMode 1 and frameMode 11 case, please check!")) << log.text();
}

// --- Camera keys ------------------------------------------------------------------------

TEST_F(ConfigTest, CameraKeysMissingFromTheSectionTakeTheirDefaults) {
    std::strcpy(cfgPathBuffer, "kept");
    workDir.write("ConfigCamera.json", "[m]\nWorkMode=1\nSubWorkMode=11\n");
    ASSERT_EQ(fillCamera(WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG, ""), STATUS_OK);
    EXPECT_EQ(config.workMode, WORK_MODE_DOUBLE_FREQ);
    EXPECT_EQ(config.frameMode, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(config.subFramePhaseMode[i], 0u);
        EXPECT_EQ(config.specFrameMode[i], 0u);
        EXPECT_EQ(config.intTime[i].phase1To4Time, i == 0 ? 1000000u : 0u);
        EXPECT_EQ(config.intTime[i].phase5To8Time, 0u);
        EXPECT_EQ(config.intTime[i].specialPhaseTime, 0u);
        EXPECT_EQ(config.fm[i].phase1To4PllDllDiv, i == 0 ? 4u : 2u);
        EXPECT_EQ(config.fm[i].phase5To8PllDllDiv, 2u);
        EXPECT_EQ(config.fm[i].specPhasePllDllDiv, 24u);
        EXPECT_EQ(config.subFrameNumPerFrame[i], i == 0 ? 1u : 0u);
    }
    EXPECT_EQ(config.specBgMode, 0u);
    EXPECT_EQ(config.seqSchedule.slot0SeqNum, 0);
    EXPECT_EQ(config.seqSchedule.slot1SeqNum, 1);
    EXPECT_EQ(config.seqSchedule.slot2SeqNum, 2);
    EXPECT_EQ(config.seqSchedule.slot3SeqNum, 3);
    EXPECT_EQ(config.mirrorMode, 0u);
    EXPECT_EQ(config.phaseMode, 0u);
    EXPECT_EQ(config.ledMode, 1u);
    EXPECT_EQ(config.seqNumPerDepthMap, 1u);
    EXPECT_EQ(config.mipiFsFePos, 0u);
    EXPECT_EQ(config.seqRepeatMode, 1u);
    EXPECT_EQ(config.triggerMode, 1u);
    EXPECT_EQ(config.slaveTrigOnPosLevel, 0u);
    EXPECT_EQ(config.tSensorMode, 1u);
    EXPECT_EQ(config.performClkChanges, 0u);
    // The frame profile, not the file, gives the window, rate and binning.
    EXPECT_EQ(config.roi.xSize, 640);
    EXPECT_EQ(config.roi.ySize, 480);
    EXPECT_EQ(config.roi.xStep, 1);
    EXPECT_EQ(config.fps, 60u);
    EXPECT_EQ(config.binningMode, BINNING_MODE_NONE);
    EXPECT_EQ(config.cfgFilePath, cfgPathBuffer);
    EXPECT_STREQ(config.cfgFilePath, "kept") << "the camera file does not touch the path buffers";
    EXPECT_EQ(config.eepromPath, eepromBuffer);
}

// Each key gets its own value, so a misspelt key or two swapped fields show up.
TEST_F(ConfigTest, EveryCameraKeyReachesItsField) {
    std::string text = "[m]\nWorkMode=1\nSubWorkMode=11\n";
    auto add = [&text](const std::string& key, long value) { text += key + "=" + std::to_string(value) + "\n"; };
    for (int i = 0; i < 4; ++i) add("SubFrameModes" + std::to_string(i), 10 + i);
    for (int i = 0; i < 4; ++i) add("SpecialFrameModes" + std::to_string(i), 20 + i);
    add("SpecBgMode", 30);
    add("FrameSeqSchedule0", 40);
    add("FrameSeqSchedule1", 257);  // only the low 8 bits are kept
    add("FrameSeqSchedule2", 42);
    add("FrameSeqSchedule3", 0x1FF);
    for (int i = 0; i < 4; ++i) {
        const std::string f = "Frame" + std::to_string(i);
        add(f + "_1To4IntTime", 1000 + 10 * i);
        add(f + "_5To8IntTime", 1001 + 10 * i);
        add(f + "_SpecialIntTime", 1002 + 10 * i);
        add(f + "_1To4PhaseDiv", 2000 + 10 * i);
        add(f + "_5To8PhaseDiv", 2001 + 10 * i);
        add(f + "_SpecialPhaseDiv", 2002 + 10 * i);
        add("NumSubFramePerFrame" + std::to_string(i), 50 + i);
    }
    add("MirrorMode", 60);
    add("PhaseMode", 61);
    add("EnableLedMod", 62);
    add("SeqNumPerDepthMap", 63);
    add("MIPI_FS_FE_Pos", 64);
    add("SeqRepeatMode", 65);
    add("TriggerMode", 66);
    add("SlaveTrigOnPosLevel", 67);
    add("TSensorMode", 68);
    add("performClkChanges", 69);
    add("ispPath", 70);  // keys the camera record does not know are ignored
    workDir.write("ConfigCamera.json", text);

    ASSERT_EQ(fillCamera(WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG, ""), STATUS_OK);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const uint32_t u = static_cast<uint32_t>(i);
        EXPECT_EQ(config.subFramePhaseMode[i], 10 + u);
        EXPECT_EQ(config.specFrameMode[i], 20 + u);
        EXPECT_EQ(config.intTime[i].phase1To4Time, 1000 + 10 * u);
        EXPECT_EQ(config.intTime[i].phase5To8Time, 1001 + 10 * u);
        EXPECT_EQ(config.intTime[i].specialPhaseTime, 1002 + 10 * u);
        EXPECT_EQ(config.fm[i].phase1To4PllDllDiv, 2000 + 10 * u);
        EXPECT_EQ(config.fm[i].phase5To8PllDllDiv, 2001 + 10 * u);
        EXPECT_EQ(config.fm[i].specPhasePllDllDiv, 2002 + 10 * u);
        EXPECT_EQ(config.subFrameNumPerFrame[i], 50 + u);
    }
    EXPECT_EQ(config.specBgMode, 30u);
    EXPECT_EQ(config.seqSchedule.slot0SeqNum, 40);
    EXPECT_EQ(config.seqSchedule.slot1SeqNum, 1);
    EXPECT_EQ(config.seqSchedule.slot2SeqNum, 42);
    EXPECT_EQ(config.seqSchedule.slot3SeqNum, 0xFF);
    EXPECT_EQ(config.mirrorMode, 60u);
    EXPECT_EQ(config.phaseMode, 61u);
    EXPECT_EQ(config.ledMode, 62u);
    EXPECT_EQ(config.seqNumPerDepthMap, 63u);
    EXPECT_EQ(config.mipiFsFePos, 64u);
    EXPECT_EQ(config.seqRepeatMode, 65u);
    EXPECT_EQ(config.triggerMode, 66u);
    EXPECT_EQ(config.slaveTrigOnPosLevel, 67u);
    EXPECT_EQ(config.tSensorMode, 68u);
    EXPECT_EQ(config.performClkChanges, 69u);
}

// --- Algorithm keys ---------------------------------------------------------------------

// One row per algorithm key: where it is, whether it is a boolean, its default, and the
// field it fills.
struct AlgoKey {
    const char* section;
    const char* key;
    bool isBool;
    uint32_t defaultValue;
    uint32_t AlgoCfgParams::*top;      // set for the two top-level fields
    uint32_t AlgoCorrParams::*corr;    // or a correction field
    uint32_t AlgoPostParams::*post;    // or a post-processing field
    bool overriddenByUser;

    uint32_t get(const AlgoCfgParams& p) const {
        if (top) return p.*top;
        if (corr) return p.corrParams.*corr;
        return p.ppParams.*post;
    }
};

#define CORR(f) nullptr, &AlgoCorrParams::f, nullptr
#define POST(f) nullptr, nullptr, &AlgoPostParams::f
#define TOP(f) &AlgoCfgParams::f, nullptr, nullptr

const AlgoKey kAlgoKeys[] = {
    {"OutPutParams", "OutPointCloud", true, 0, CORR(bOutPC_Corr), false},
    {"OutPutParams", "OutConfidence", true, 1, CORR(bOutConfid_Corr), false},
    {"OutPutParams", "OutPointCloudType", false, 0, CORR(ucOutPCType_Corr), false},
    {"OutPutParams", "OutDepthValueType", false, 1, CORR(ucOutDepthValueType_Corr), false},
    {"OutPutParams", "OutDepthDataType", false, 0, CORR(ucOutDepthDataType_Corr), false},
    {"CorrParams", "CorrBP", true, 1, CORR(bCorrBP), false},
    {"CorrParams", "CorrLens", true, 1, CORR(bCorrLen), false},
    {"CorrParams", "CorrTemp", true, 1, CORR(bCorrT), false},
    {"CorrParams", "CorrOffsetAuto", true, 0, CORR(bCorrOFS), false},
    {"CorrParams", "CorrFPPN", true, 1, CORR(bCorrFPPN), false},
    {"CorrParams", "CorrWig", true, 1, CORR(bCorrWig), false},
    {"CorrParams", "CorrFPN", true, 0, CORR(bCorrFPN), false},
    {"CorrParams", "CorrLUMA", true, 0, CORR(bCorrLUMA), false},
    {"CorrParams", "CorrMask", true, 0, CORR(bCorrMask), false},
    {"CorrParams", "DeMotionBlur", true, 0, CORR(bDeMotionBlur), false},
    {"CorrParams", "FillInvalidPixels", true, 1, CORR(bLenFillInvalidPixels), false},
    {"CorrParams", "CutInvalidPixels", true, 1, CORR(bLenCutInvalidPixels), false},
    {"CorrParams", "CorrOffsetManual", true, 0, CORR(bCorrOffset), false},
    {"CorrParams", "F1CorrOffset", false, 0, CORR(sOffsetCorrMM_F1), false},
    {"CorrParams", "F2CorrOffset", false, 0, CORR(sOffsetCorrMM_F2), false},
    {"CorrParams", "F3CorrOffset", false, 0, CORR(sOffsetCorrMM_F3), false},
    {"CorrParams", "F4CorrOffset", false, 0, CORR(sOffsetCorrMM_F4), false},
    {"FusionParams", "SFDeAliasing", true, 0, CORR(bSFDeAliasing), false},
    {"FusionParams", "PresetMaxDist", false, 4000, CORR(ucPresetMaxDistMM), false},
    {"FusionParams", "DetectWB", true, 0, CORR(ucEnableWBAbnormalPnts), false},
    {"FusionParams", "FusErrExpMinTsh", false, 30, CORR(FusErrExpMinTsh), false},
    {"OthersParams", "AE", true, 0, CORR(bAE), true},
    {"OthersParams", "AntiAliCorr", true, 1, CORR(bAntiALI_Corr), false},
    {"OthersParams", "Registration", true, 1, CORR(bEnableRegistration), false},
    {"OutPutParamsPP", "OutPointCloud", true, 0, POST(bOutPC_PP), false},
    {"OutPutParamsPP", "OutConfidence", true, 1, POST(bOutConfid_PP), false},
    {"OutPutParamsPP", "OutFlag", true, 1, POST(bOutFlag_PP), false},
    {"OutPutParamsPP", "OutPointCloudType", false, 0, POST(ucOutPCType_PP), false},
    {"OutPutParamsPP", "OutDepthValueType", false, 1, POST(ucOutDepthValueType_PP), false},
    {"OutPutParamsPP", "OutDepthDataType", false, 0, POST(ucOutDepthDataType_PP), false},
    {"OutPutParamsPP", "OutGrayDataType", false, 1, POST(ucOutGrayDataType_PP), false},
    {"DenoisingParams", "TDenoiseLevel_Depth", false, 3, POST(eTDenoiseLvl_Depth), true},
    {"DenoisingParams", "SDenoiseLevel_Depth", false, 3, POST(eSDenoiseLvl_Depth), true},
    {"DenoisingParams", "TDenoiseMethod_Depth", false, 1, POST(eTDenoiseMethod_Depth), false},
    {"DenoisingParams", "SDenoiseMethod_Depth", false, 1, POST(eSDenoiseMethod_Depth), false},
    {"DenoisingParams", "TDenoiseLevel_Gray", false, 1, POST(eTDenoiseLvl_Gray), true},
    {"DenoisingParams", "SDenoiseLevel_Gray", false, 1, POST(eSDenoiseLvl_Gray), true},
    {"DenoisingParams", "TDenoiseMethod_Gray", false, 1, POST(eTDenoiseMethod_Gray), false},
    {"DenoisingParams", "SDenoiseMethod_Gray", false, 1, POST(eSDenoiseMethod_Gray), false},
    {"RepairParams", "ERDOLvl", false, 3, POST(eRDOLvl), true},
    {"RepairParams", "DeFlyPixelStyle", true, 0, POST(bDeFlyPixelStyle), true},
    {"RepairParams", "DeHoles", true, 1, POST(bDeHoles), true},
    {"RepairParams", "ThRepairLowConfidence", false, 120, POST(bThRepairLowConfidence), false},
    {"AntiInterferenceParams", "AntiALI", true, 0, POST(bAntiALI_PP), false},
    {"AntiInterferenceParams", "AntiMCI", true, 0, POST(bAntiMCI), false},
    {"ConfidenceParams", "ValidDistMin", false, 0, POST(usValidDistMinMM), true},
    {"ConfidenceParams", "ValidDistMax", false, 7000, POST(usValidDistMaxMM), true},
    {"AlgoOnoff", "useCorrParams", false, 1, TOP(useCorrParams), false},
    {"AlgoOnoff", "usePostProcParams", false, 1, TOP(usePostProcParams), false},
};

#undef CORR
#undef POST
#undef TOP

// A user setting distinct from every default, to tell overrides from file values.
AlgoParamsCfgByUser distinctUserSettings() {
    AlgoParamsCfgByUser user{};
    user.benableAE = 1;
    user.eTDenoiseLvl_Depth = DENOISE_LEVEL_4;
    user.eSDenoiseLvl_Depth = DENOISE_LEVEL_2;
    user.eTDenoiseLvl_Gray = DENOISE_LEVEL_5;
    user.eSDenoiseLvl_Gray = DENOISE_LEVEL_4;
    user.eRDOLvl = DENOISE_LEVEL_1;
    user.bDeFlyPixelStyle = 1;
    user.ucEnableDeHoles = 0;
    user.usValidDistMinMM = 150;
    user.usValidDistMaxMM = 3500;
    user.cfgFilePath = "";
    return user;
}

uint32_t userValue(const AlgoParamsCfgByUser& u, const std::string& key) {
    if (key == "AE") return u.benableAE;
    if (key == "TDenoiseLevel_Depth") return u.eTDenoiseLvl_Depth;
    if (key == "SDenoiseLevel_Depth") return u.eSDenoiseLvl_Depth;
    if (key == "TDenoiseLevel_Gray") return u.eTDenoiseLvl_Gray;
    if (key == "SDenoiseLevel_Gray") return u.eSDenoiseLvl_Gray;
    if (key == "ERDOLvl") return u.eRDOLvl;
    if (key == "DeFlyPixelStyle") return u.bDeFlyPixelStyle;
    if (key == "DeHoles") return u.ucEnableDeHoles;
    if (key == "ValidDistMin") return u.usValidDistMinMM;
    if (key == "ValidDistMax") return u.usValidDistMaxMM;
    ADD_FAILURE() << "no user setting for " << key;
    return 0;
}

class AlgoConfigTest : public ConfigTest {
protected:
    std::vector<std::string> calls;
    RecordingStage corr{"correction", &calls, STATUS_OK};
    RecordingStage pp{"post-processing", &calls, STATUS_OK};
    AlgoCfgParams params{};

    Status fill(const AlgoParamsCfgByUser& user) { return FillAlgoParas(user, {&corr, &pp}, &config, &params); }
};

TEST_F(AlgoConfigTest, AbsentKeysTakeTheirDefaultsAndTheUserWins) {
    workDir.write("ConfigAlgorithm.json", "");
    const AlgoParamsCfgByUser user = distinctUserSettings();
    ASSERT_EQ(fill(user), STATUS_OK);
    for (const AlgoKey& k : kAlgoKeys) {
        EXPECT_EQ(k.get(params), k.overriddenByUser ? userValue(user, k.key) : k.defaultValue)
            << k.section << "/" << k.key;
    }
}

// Every key is set away from its default (booleans flipped, numbers made distinct):
// a misspelt key, a wrong section or a swapped field shows up, and the overridden
// settings keep the user's values whatever the file says.
TEST_F(AlgoConfigTest, EveryAlgorithmKeyReachesItsFieldUnlessTheUserOverridesIt) {
    std::string text;
    std::string section;
    std::vector<uint32_t> fileValues;
    for (size_t i = 0; i < std::size(kAlgoKeys); ++i) {
        const AlgoKey& k = kAlgoKeys[i];
        if (section != k.section) {
            section = k.section;
            text += "[" + section + "]\n";
        }
        // Overridden booleans keep their default in the file, which differs from the user's.
        const uint32_t value = !k.isBool             ? 500 + static_cast<uint32_t>(i)
                               : k.overriddenByUser ? k.defaultValue
                                                    : 1 - k.defaultValue;
        fileValues.push_back(value);
        // Booleans in the file's other spellings: true/false in any case.
        const std::string written = k.isBool ? (value ? "True" : "FALSE") : std::to_string(value);
        text += std::string(k.key) + " = " + written + "\n";
    }
    workDir.write("ConfigAlgorithm.json", text);
    const AlgoParamsCfgByUser user = distinctUserSettings();
    ASSERT_EQ(fill(user), STATUS_OK);
    for (size_t i = 0; i < std::size(kAlgoKeys); ++i) {
        const AlgoKey& k = kAlgoKeys[i];
        EXPECT_EQ(k.get(params), k.overriddenByUser ? userValue(user, k.key) : fileValues[i])
            << k.section << "/" << k.key;
    }
}

TEST_F(AlgoConfigTest, UnrecognisedBooleanTextKeepsTheDefault) {
    workDir.write("ConfigAlgorithm.json", "[CorrParams]\nCorrBP=yes\nCorrFPN=on\n");
    ASSERT_EQ(fill(distinctUserSettings()), STATUS_OK);
    EXPECT_EQ(params.corrParams.bCorrBP, 1u);
    EXPECT_EQ(params.corrParams.bCorrFPN, 0u);
}

TEST_F(AlgoConfigTest, DirectoryIsCopiedIntoTheSensorRecordAndLogged) {
    // The file is found in the working directory; the record keeps the directory given.
    workDir.write("ConfigAlgorithm.json", "");
    const std::string longDirectory = "/nonexistent/" + std::string(240, 'd');
    AlgoParamsCfgByUser user = wrapperUserSettings(longDirectory.c_str());
    std::memset(cfgPathBuffer, 'x', sizeof cfgPathBuffer);
    ASSERT_EQ(fill(user), STATUS_OK);
    EXPECT_EQ(std::string(cfgPathBuffer), longDirectory.substr(0, kConfigPathBytes - 1));
    EXPECT_EQ(cfgPathBuffer[kConfigPathBytes - 1], '\0');

    EXPECT_TRUE(log.logged("info", "algoUserCfg->usValidDistMaxMM:4500"));
    EXPECT_TRUE(log.logged("info", "algoUserCfg->eTDenoiseLvl_Depth 3"));
    EXPECT_TRUE(log.logged("info", "algoUserCfg->eRDOLvl:5"));
    EXPECT_TRUE(log.logged("info", "read local config *.json File Path :" + longDirectory));

    config.cfgFilePath = nullptr;  // no buffer: nothing is copied, nothing breaks
    EXPECT_EQ(fill(user), STATUS_OK);
}

// --- Stages -----------------------------------------------------------------------------

TEST_F(AlgoConfigTest, BothStagesReceiveTheFinishedRecordsInOrder) {
    workDir.write("ConfigAlgorithm.json", "[RepairParams]\nThRepairLowConfidence=77\n");
    RecordingStage failingCorr{"correction", &calls, STATUS_GENERIC_ERROR};
    ASSERT_EQ(FillAlgoParas(distinctUserSettings(), {&failingCorr, &pp}, &config, &params), STATUS_OK)
        << "a stage's own failure does not change the result";
    EXPECT_EQ(calls, (std::vector<std::string>{"correction", "post-processing"}));
    for (const RecordingStage* stage : {&failingCorr, &pp}) {
        EXPECT_EQ(stage->params_.ppParams.bThRepairLowConfidence, 77u);
        EXPECT_EQ(stage->params_.ppParams.usValidDistMaxMM, 3500u) << "stages see the user's overrides";
        EXPECT_EQ(stage->config_.cfgFilePath, cfgPathBuffer);
    }
}

// Without a stage nothing may look configured: the gap is logged and the result says so.
TEST_F(AlgoConfigTest, MissingStagesAreReportedNotConfigured) {
    workDir.write("ConfigAlgorithm.json", "");
    EXPECT_EQ(FillAlgoParas(distinctUserSettings(), {&corr, nullptr}, &config, &params), STATUS_UNAVAILABLE);
    EXPECT_EQ(calls, std::vector<std::string>{"correction"});
    EXPECT_TRUE(log.logged("error", "no post-processing stage: its configuration was not applied")) << log.text();

    calls.clear();
    EXPECT_EQ(FillAlgoParas(distinctUserSettings(), {}, &config, &params), STATUS_UNAVAILABLE);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(log.logged("error", "no correction stage: its configuration was not applied"));
    EXPECT_EQ(params.ppParams.usValidDistMaxMM, 3500u) << "the records are filled all the same";
}

// --- Transfers per depth frame and the sensor log ---------------------------------------

TEST(CalcFrameNumPerDepth, FrameModesOfTheFrequencyModes) {
    const uint32_t expected[] = {1, 1, 1, 1, 2, 2, 8, 1, 1, 1, 2, 2, 4, 4, 3, 3, 4, 4, 0, 0, 0, 0};
    for (TofWorkMode workMode : {WORK_MODE_SINGLE_FREQ, WORK_MODE_DOUBLE_FREQ, WORK_MODE_TRIPLE_FREQ,
                                 WORK_MODE_QUAD_FREQ}) {
        for (uint32_t frameMode = 0; frameMode < std::size(expected); ++frameMode) {
            EXPECT_EQ(CalcFrameNumPerDepth(workMode, static_cast<TofFrameWorkMode>(frameMode)), expected[frameMode])
                << "work mode " << workMode << ", frame mode " << frameMode;
        }
    }
    EXPECT_EQ(CalcFrameNumPerDepth(WORK_MODE_DOUBLE_FREQ, static_cast<TofFrameWorkMode>(0xFFFFFFFFu)), 0u);
}

TEST(CalcFrameNumPerDepth, OtherWorkModes) {
    LogCapture log("info");
    for (uint32_t frameMode : {0u, 2u, 6u, 11u, 19u, 25u}) {
        const auto fm = static_cast<TofFrameWorkMode>(frameMode);
        EXPECT_EQ(CalcFrameNumPerDepth(WORK_MODE_BG_OUTDOOR, fm), 1u) << frameMode;
        EXPECT_EQ(CalcFrameNumPerDepth(WORK_MODE_GRAY_ONLY, fm), 1u) << frameMode;
        for (TofWorkMode unsupported : {WORK_MODE_DISTANCE, WORK_MODE_HDR, WORK_MODE_AE, WORK_MODE_CUSTOM1,
                                        WORK_MODE_CUSTOM3, WORK_MODE_TOTAL_NUM}) {
            EXPECT_EQ(CalcFrameNumPerDepth(unsupported, fm), 0u) << unsupported << "/" << frameMode;
        }
    }
    EXPECT_TRUE(log.logged("error", "unsupported work mode"));
}

TEST(PrintSensorCfg, LogsTheRecordAtDebugLevel) {
    TofConfig config{};
    config.workMode = WORK_MODE_DOUBLE_FREQ;
    config.frameMode = SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG;
    config.seqSchedule = {0, 1, 2, 3};
    config.intTime[1].specialPhaseTime = 1000000;
    config.roi = kProfile.roi;
    config.fps = 60;
    {
        LogCapture quiet("info");
        printSensorCfg(config);
        EXPECT_EQ(quiet.text(), "") << "nothing above debug level";
    }
    LogCapture log("debug");
    printSensorCfg(config);
    const auto messages = log.messages();
    ASSERT_EQ(messages.size(), 2u + 4u * 9u + 10u) << log.text();
    EXPECT_EQ(messages[0], "/************ZEF4471 config parameters*/");
    EXPECT_EQ(messages[1], "workMode:1, subWorkMode:11");
    EXPECT_EQ(messages[11], "//////Frame 1:");
    EXPECT_EQ(messages[16], "specialPhaseTime 1000000");
    EXPECT_EQ(messages[38], "seqSchedule:0, 1, 2, 3");
    EXPECT_EQ(messages[39], "mirrorMode:0, phaseMode:0, ledMode:0, seqNumPerDepthMap:0");
    EXPECT_EQ(messages[45], "//////ROI");
    EXPECT_EQ(messages[46], "xSize:640, ySize:480, xStart:0,yStart:0, xStep:1, yStep:1");
    EXPECT_EQ(messages[47], "fps:60, binning mode:0");
    for (const auto& record : log.records()) EXPECT_EQ(record.level, "debug");
}

}  // namespace
