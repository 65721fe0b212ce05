// Sensor and algorithm configuration records of the processing core, and the work-mode
// enumerations. Every enumeration is 32 bits wide with a fixed underlying type, so any
// number read from a configuration file is a valid value (stages validate what they use).
// Work-mode and frame-work-mode numbers equal those of the extension module.
#pragma once

#include <cstdint>

namespace ZeSdk {

enum TofWorkMode : uint32_t {
    WORK_MODE_SINGLE_FREQ = 0,
    WORK_MODE_DOUBLE_FREQ = 1,
    WORK_MODE_TRIPLE_FREQ = 2,
    WORK_MODE_QUAD_FREQ = 3,
    WORK_MODE_DISTANCE = 4,
    WORK_MODE_HDR = 5,
    WORK_MODE_AE = 6,
    WORK_MODE_BG_OUTDOOR = 7,
    WORK_MODE_GRAY_ONLY = 8,
    WORK_MODE_CUSTOM1 = 9,
    WORK_MODE_CUSTOM2 = 10,
    WORK_MODE_CUSTOM3 = 11,
    WORK_MODE_TOTAL_NUM = 12,
};

// Order of the sub-images within one depth frame: GRAY an actively lit gray image, BG a
// background image without illumination, 4PHASE four phase images of one frequency.
enum TofFrameWorkMode : uint32_t {
    SUB_MODE_SINGLE_FREQ_2PHASE = 0,
    SUB_MODE_SINGLE_FREQ_4PHASE = 1,
    SUB_MODE_SINGLE_FREQ_4PHASE_GRAY = 2,
    SUB_MODE_SINGLE_FREQ_4PHASE_BG = 3,
    SUB_MODE_SINGLE_FREQ_4PHASE_4BG = 4,
    SUB_MODE_SINGLE_FREQ_4PHASE_GRAY_5BG = 5,
    SUB_MODE_SINGLE_FREQ_GRAY_BG_4PHASE_GRAY_BG = 6,
    SUB_MODE_SINGLE_FREQ_GRAY_BG_4PHASE_BG = 7,
    SUB_MODE_SINGLE_FREQ_BG_GRAY_BG_4PHASE = 8,
    SUB_MODE_SINGLE_FREQ_BG_4PHASE_BG_GRAY = 9,
    SUB_MODE_DOUBLE_FREQ_4PHASE = 10,
    SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG = 11,
    SUB_MODE_DOUBLE_FREQ_4PHASE_4BG = 12,
    SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_5BG = 13,
    SUB_MODE_TRIPLE_FREQ_4PHASE = 14,
    SUB_MODE_TRIPLE_FREQ_4PHASE_GRAY_4PHASE_GRAY_4PHASE_BG = 15,
    SUB_MODE_QUAD_FREQ_4PHASE = 16,
    SUB_MODE_QUAD_FREQ_4PHASE_GRAY_4PHASE_BG_4PHASE_GRAY_4PHASE_BG = 17,
    SUB_MODE_BG_OUTDOOR = 18,
    SUB_MODE_GRAY_ONLY = 19,
    SUB_MODE_CUSTOM = 20,
    SUB_MODE_TOTAL_NUM = 21,
};

struct WorkModeConfig {
    TofWorkMode workMode;
    TofFrameWorkMode frameMode;
};

// Read-out window in sensor pixels: size, first column and row, read-out step.
struct ROI {
    uint16_t xSize;
    uint16_t ySize;
    uint16_t xStart;
    uint16_t yStart;
    uint16_t xStep;
    uint16_t yStep;
};

enum BinningMode : uint32_t {
    BINNING_MODE_NONE = 0,
    BINNING_MODE_ANALOG = 1,
    BINNING_MODE_DIGITAL = 2,
    BINNING_MODE_2x2 = 3,
    BINNING_MODE_4x4 = 4,
    BINNING_MODE_TOTAL_NUM = 5,
};

struct FrameProfile {
    uint16_t fps;  // frames per second
    ROI roi;
    BinningMode binningMode;
};

enum DENOISE_LEVEL : uint32_t {
    DENOISE_LEVEL_0 = 0,  // off
    DENOISE_LEVEL_1 = 1,
    DENOISE_LEVEL_2 = 2,
    DENOISE_LEVEL_3 = 3,
    DENOISE_LEVEL_4 = 4,
    DENOISE_LEVEL_5 = 5,
};

// User-level algorithm settings; they override the same settings of the algorithm file.
struct AlgoParamsCfgByUser {
    uint32_t benableAE;
    DENOISE_LEVEL eTDenoiseLvl_Depth;
    DENOISE_LEVEL eSDenoiseLvl_Depth;
    DENOISE_LEVEL eTDenoiseLvl_Gray;
    DENOISE_LEVEL eSDenoiseLvl_Gray;
    DENOISE_LEVEL eRDOLvl;
    uint32_t bDeFlyPixelStyle;
    uint8_t ucEnableDeHoles;
    uint32_t usValidDistMinMM;  // millimetres
    uint32_t usValidDistMaxMM;  // millimetres
    const char* cfgFilePath;    // directory holding the configuration files; null reads as ""
};

enum SubFramePhaseMode : uint32_t {
    SUBFRAME_PHASE_MODE_4 = 0,
    SUBFRAME_PHASE_MODE_2 = 1,
    SUBFRAME_PHASE_MODE_8 = 2,
    SUBFRAME_PHASE_MODE_2_2 = 3,
    SUBFRAME_PHASE_MODE_1SPECIAL = 4,
    SUBFRAME_PHASE_MODE_5 = 5,
    SUBFRAME_PHASE_MODE_9 = 6,
    SUBFRAME_PHASE_MODE_3 = 7,
    SUBFRAME_PHASE_MODE_TOTAL_NUM = 8,
};

enum SpecialFrameMode : uint32_t {
    SPECIAL_FRAME_MODE_NORMAL = 0,
    SPECIAL_FRAME_MODE_GRAY = 1,
    SPECIAL_FRAME_MODE_BG = 2,
    SPECIAL_FRAME_MODE_TOTAL_NUM = 3,
};

enum SpecialFrameBgMode : uint32_t {
    SPECIAL_FRAME_BG_MODE_NORMAL = 0,
    SPECIAL_FRAME_BG_MODE_DIFF = 1,
    SPECIAL_FRAME_BG_MODE_TOTAL = 2,
};

enum SequenceRepeatMode : uint32_t {
    SEQUENCE_MODE_NON_AUTO = 0,
    SEQUENCE_MODE_AUTO_REPEAT = 1,
    SEQUENCE_MODE_TOTAL_NUM = 2,
};

enum SequenceTriggerMode : uint32_t {
    TRIGGER_MODE_SLAVE_MODE = 0,
    TRIGGER_MODE_MASTER_MODE = 1,
    TRIGGER_MODE_TOTAL_NUM = 2,
};

enum TSensorMode : uint32_t {
    TEMP_SENSOR_MODE_EVERYSUBFRAME = 0,
    TEMP_SENSOR_MODE_EVERYPHASE = 1,
    TEMP_SENSOR_MODE_NONE = 2,
    TEMP_SENSOR_MODE_TOTAL_NUM = 3,
};

enum PhaseMode : uint32_t {
    PHASE_MODE_1 = 0,
    PHASE_MODE_2 = 1,
    PHASE_MODE_4 = 2,
    PHASE_MODE_8 = 3,
    PHASE_MODE_16 = 4,
    PHASE_MODE_TOTAL_NUM = 5,
};

enum MirrorMode : uint32_t {
    MIRROR_MODE_NONE = 0,
    MIRROR_MODE_VERTICAL = 1,
    MIRROR_MODE_HORIZONTAL = 2,
    MIRROR_MODE_BOTH = 3,
    MIRROR_MODE_TOTAL_NUM = 4,
};

enum MipiFsFePosition : uint32_t {
    MIPI_FS_FE_SUBFRAME = 0,
    MIPI_FS_FE_PHASE = 1,
    MIPI_FS_FE_FRAME = 2,
    MIPI_FS_FE_DEPTHMAP = 3,
    MIPI_FS_FE_POS_TOTAL_NUM = 4,
};

struct SequenceSchedule {
    uint8_t slot0SeqNum;
    uint8_t slot1SeqNum;
    uint8_t slot2SeqNum;
    uint8_t slot3SeqNum;
};

// Integration times in microseconds.
struct FrameIntegrationTime {
    uint32_t phase1To4Time;
    uint32_t phase5To8Time;
    uint32_t specialPhaseTime;
};

// Dividers of the 480 MHz modulation clock.
struct FrameFrequencyModulation {
    uint32_t phase1To4PllDllDiv;
    uint32_t phase5To8PllDllDiv;
    uint32_t specPhasePllDllDiv;
};

constexpr int kTofConfigFrames = 4;  // sub-frame groups of one depth frame
constexpr int kConfigPathBytes = 200;  // size of the path buffers TofConfig points to

// Sensor configuration. A "frame" below is one of up to four sub-frame groups of a depth frame.
struct TofConfig {
    TofWorkMode workMode;
    TofFrameWorkMode frameMode;
    SubFramePhaseMode subFramePhaseMode[kTofConfigFrames];
    SpecialFrameMode specFrameMode[kTofConfigFrames];
    SpecialFrameBgMode specBgMode;
    SequenceSchedule seqSchedule;
    FrameIntegrationTime intTime[kTofConfigFrames];
    FrameFrequencyModulation fm[kTofConfigFrames];
    uint32_t subFrameNumPerFrame[kTofConfigFrames];
    MirrorMode mirrorMode;
    PhaseMode phaseMode;
    uint32_t ledMode;
    uint32_t seqNumPerDepthMap;
    MipiFsFePosition mipiFsFePos;
    SequenceRepeatMode seqRepeatMode;
    SequenceTriggerMode triggerMode;
    uint32_t slaveTrigOnPosLevel;
    TSensorMode tSensorMode;
    uint32_t performClkChanges;
    ROI roi;
    uint32_t fps;
    BinningMode binningMode;
    char* eepromPath;   // kConfigPathBytes buffer owned by the pipeline object; never filled
    char* cfgFilePath;  // kConfigPathBytes buffer owned by the pipeline object: the configuration directory
};

// Correction switches and outputs, in the order of the algorithm file's keys.
struct AlgoCorrParams {
    uint32_t bOutPC_Corr;
    uint32_t bOutConfid_Corr;
    uint32_t ucOutPCType_Corr;
    uint32_t ucOutDepthValueType_Corr;
    uint32_t ucOutDepthDataType_Corr;
    uint32_t bCorrBP;
    uint32_t bCorrLen;
    uint32_t bCorrT;
    uint32_t bCorrOFS;
    uint32_t bCorrFPPN;
    uint32_t bCorrWig;
    uint32_t bCorrFPN;
    uint32_t bCorrLUMA;
    uint32_t bCorrMask;
    uint32_t bDeMotionBlur;
    uint32_t bLenFillInvalidPixels;
    uint32_t bLenCutInvalidPixels;
    uint32_t bCorrOffset;
    uint32_t sOffsetCorrMM_F1;  // millimetres
    uint32_t sOffsetCorrMM_F2;
    uint32_t sOffsetCorrMM_F3;
    uint32_t sOffsetCorrMM_F4;
    uint32_t bSFDeAliasing;
    uint32_t ucPresetMaxDistMM;  // millimetres
    uint32_t ucEnableWBAbnormalPnts;
    uint32_t FusErrExpMinTsh;
    uint32_t bAE;
    uint32_t bAntiALI_Corr;
    uint32_t bEnableRegistration;
};

// Post-processing switches and levels, in the order of the algorithm file's keys.
struct AlgoPostParams {
    uint32_t bOutPC_PP;
    uint32_t bOutConfid_PP;
    uint32_t bOutFlag_PP;
    uint32_t ucOutPCType_PP;
    uint32_t ucOutDepthValueType_PP;
    uint32_t ucOutDepthDataType_PP;
    uint32_t ucOutGrayDataType_PP;
    uint32_t eTDenoiseLvl_Depth;
    uint32_t eSDenoiseLvl_Depth;
    uint32_t eTDenoiseMethod_Depth;
    uint32_t eSDenoiseMethod_Depth;
    uint32_t eTDenoiseLvl_Gray;
    uint32_t eSDenoiseLvl_Gray;
    uint32_t eTDenoiseMethod_Gray;
    uint32_t eSDenoiseMethod_Gray;
    uint32_t eRDOLvl;
    uint32_t bDeFlyPixelStyle;
    uint32_t bDeHoles;
    uint32_t bThRepairLowConfidence;
    uint32_t bAntiALI_PP;
    uint32_t bAntiMCI;
    uint32_t usValidDistMinMM;  // millimetres
    uint32_t usValidDistMaxMM;  // millimetres
};

struct AlgoCfgParams {
    AlgoCorrParams corrParams;
    AlgoPostParams ppParams;
    uint32_t useCorrParams;      // non-zero: the correction stage applies corrParams
    uint32_t usePostProcParams;  // non-zero: the post-processing stage applies ppParams
};

}  // namespace ZeSdk
