// The configuration files the VGA device model writes: exact sizes, and every section,
// key, value and comment read back through the configuration reader; the two work modes
// the C interface asks for are found and fill the sensor record as tabulated.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "algo_config.h"
#include "embedded_config_texts.h"
#include "fileHelper.h"
#include "log_capture.h"
#include "scratch_dir.h"

namespace {

using namespace ZeSdk;
using KeyValues = std::vector<std::pair<std::string, std::string>>;

// One work-mode section of ConfigCamera.json: the values that differ between sections
// and the six comment lines, as tabulated for the device.
struct WorkModeSection {
    const char* name;
    int workMode, subWorkMode;
    int subFrameModes[3];      // SubFrameModes0-2 (3 is 0)
    int specialFrameModes[3];  // SpecialFrameModes0-2 (3 is 0)
    int frame0IntTime, frame0Special, frame1IntTime, frame1Special, frame2Special, frame3IntTime;
    int phaseDiv[3];  // Frame0, Frame1, Frame3 1To4PhaseDiv (Frame2 is 2)
    int numSubFrames[3];  // NumSubFramePerFrame1-3 (0 is 1)
    int mipiFsFePos;
    const char* comments[6];  // values of the six comment lines
};

const WorkModeSection kWorkModeSections[] = {
    {"Signle-4PHASE", 0, 1, {0, 0, 0}, {0, 0, 0}, 1000000, 0, 0, 0, 0, 0, {4, 2, 2}, {0, 0, 0}, 0,
     {"{0,0,0,0}", "{0,0,0,0}", "{0,1,2,3}", "{{1000000,0,0},{0,0,0},{0,0,0},{0,0,0}}",
      "{{4,2,24},{2,2,24},{2,2,24},{2,2,24}}", "{1,0,0,0}"}},
    {"Signle-4PHASE_GRAY", 0, 2, {5, 0, 0}, {1, 0, 0}, 1000000, 1000000, 0, 0, 0, 0, {4, 2, 2}, {0, 0, 0}, 0,
     {"{5,0,0,0}", "{1,0,0,0}", "{0,1,2,3}", "{{1000000,0,1000000},{0,0,0},{0,0,0},{0,0,0}}",
      "{{4,2,24},{2,2,24},{2,2,24},{2,2,24}}", "{1,0,0,0}"}},
    {"Double-4PHASE_4PHASE", 1, 10, {0, 0, 0}, {0, 0, 0}, 1000000, 0, 1000000, 0, 0, 0, {4, 24, 2}, {1, 0, 0}, 0,
     {"{0,0,0,0}", "{0,0,0,0}", "{0,1,2,3}", "{{1000000,0,0},{1000000,0,0},{0,0,0},{0,0,0}}",
      "{{5,2,24},{2,2,24},{2,2,24},{2,2,24}}", "{1,1,0,0}"}},
    {"Double-4PHASE_GRAY_4PHASE_BG", 1, 11, {5, 5, 0}, {1, 2, 0}, 1000000, 1000000, 1000000, 1000000, 0, 0,
     {4, 24, 2}, {1, 0, 0}, 0,
     {"{5,5,0,0}", "{1,2,0,0}", "{0,1,2,3}", "{{1000000,0,1000000},{1000000,0,1000000},{0,0,0},{0,0,0}}",
      "{{4,2,24},{24,2,24},{2,2,24},{2,2,24}}", "{1,1,0,0}"}},
    {"Gray-Only", 8, 19, {4, 0, 0}, {1, 0, 0}, 0, 1000000, 0, 0, 0, 0, {2, 2, 2}, {0, 0, 0}, 0,
     {"{4,0,0,0}", "{0,0,0,0}", "{0,1,2,3}", "{{0,0,1000000},{0,0,0},{0,0,0},{0,0,0}}",
      "{{2,2,24},{2,2,24},{2,2,24},{2,2,24}}", "{1,0,0,0}"}},
    {"BGOUTDOOR", 7, 18, {4, 0, 0}, {2, 0, 0}, 0, 1000000, 0, 0, 0, 0, {2, 2, 2}, {0, 0, 0}, 0,
     {"{4,0,0,0}", "{0,0,0,0}", "{0,1,2,3}", "{{0,0,1000000},{0,0,0},{0,0,0},{0,0,0}}",
      "{{2,2,24},{2,2,24},{2,2,24},{2,2,24}}", "{1,0,0,0}"}},
    {"Signal-BG-GRAY-BG-4PHASE", 0, 8, {4, 4, 4}, {2, 1, 2}, 0, 1000000, 0, 1000000, 1000000, 1000000, {2, 2, 4},
     {1, 1, 1}, 3,
     {"{4,4,4,0}", "{0,0,0,0}", "{0,1,2,3}", "{{0,0,1000000},{0,0,1000000},{0,0,1000000},{1000000,0,0}}",
      "{{2,2,24},{2,2,24},{2,2,24},{2,2,24}}", "{1,0,0,0}"}},
};

// The 53 keys of a work-mode section in file order, with their values.
KeyValues expectedItems(const WorkModeSection& s) {
    KeyValues items;
    auto add = [&items](const std::string& key, int value) { items.emplace_back(key, std::to_string(value)); };
    add("WorkMode", s.workMode);
    add("SubWorkMode", s.subWorkMode);
    for (int i = 0; i < 4; ++i) add("SubFrameModes" + std::to_string(i), i < 3 ? s.subFrameModes[i] : 0);
    for (int i = 0; i < 4; ++i) add("SpecialFrameModes" + std::to_string(i), i < 3 ? s.specialFrameModes[i] : 0);
    add("SpecBgMode", 0);
    for (int i = 0; i < 4; ++i) add("FrameSeqSchedule" + std::to_string(i), i);
    const int intTime1To4[4] = {s.frame0IntTime, s.frame1IntTime, 0, s.frame3IntTime};
    const int intTimeSpecial[4] = {s.frame0Special, s.frame1Special, s.frame2Special, 0};
    for (int i = 0; i < 4; ++i) {
        const std::string f = "Frame" + std::to_string(i);
        add(f + "_1To4IntTime", intTime1To4[i]);
        add(f + "_5To8IntTime", 0);
        add(f + "_SpecialIntTime", intTimeSpecial[i]);
    }
    const int phaseDiv[4] = {s.phaseDiv[0], s.phaseDiv[1], 2, s.phaseDiv[2]};
    for (int i = 0; i < 4; ++i) {
        const std::string f = "Frame" + std::to_string(i);
        add(f + "_1To4PhaseDiv", phaseDiv[i]);
        add(f + "_5To8PhaseDiv", 2);
        add(f + "_SpecialPhaseDiv", 24);
    }
    add("NumSubFramePerFrame0", 1);
    for (int i = 1; i < 4; ++i) add("NumSubFramePerFrame" + std::to_string(i), s.numSubFrames[i - 1]);
    add("MirrorMode", 0);
    add("PhaseMode", 0);
    add("EnableLedMod", 1);
    add("SeqNumPerDepthMap", 1);
    add("MIPI_FS_FE_Pos", s.mipiFsFePos);
    add("SeqRepeatMode", 1);
    add("TriggerMode", 1);
    add("SlaveTrigOnPosLevel", 0);
    add("TSensorMode", 1);
    add("performClkChanges", 0);
    return items;
}

// The item each comment line precedes, and the comment's name.
const std::pair<const char*, const char*> kCommentPlaces[6] = {
    {"SubFrameModes0", "SubFrameModes0"},        {"SpecialFrameModes0", "SpecialFrameModes"},
    {"FrameSeqSchedule0", "FrameSeqSchedule"},   {"Frame0_1To4IntTime", "IntegrationTimes"},
    {"Frame0_1To4PhaseDiv", "PLLDLLDivs"},       {"NumSubFramePerFrame0", "NumSubFramePerFrame"},
};

const KeyValues kSensorRegisters = {
    {"0x0C28", "0x00000000"}, {"0x0C02", "0x00011410"}, {"0x0224", "0x00000001"}, {"0x0C07", "0x0800108A"},
    {"0x0C20", "0x14000000"}, {"0x0432", "0x0d6649A6"}, {"0x0721", "0x0000000F"}, {"0x072B", "0x13271313"},
    {"0x0C01", "0x00000053"}, {"0x0C04", "0x00000002"}, {"0x0437", "0x04285602"}, {"0x0408", "0x80000255"},
    {"0x0AB4", "0x00000303"}, {"0x0435", "0x0000007f"}, {"0x0C06", "0x00641203"}, {"0x0482", "0x08384100"},
    {"0x0487", "0x08384100"}, {"0x048C", "0x08384100"}, {"0x0491", "0x08384100"}, {"0x0402", "0x01600A00"},
    {"0x0475", "0x00000064"}, {"0x0476", "0x000003E8"}, {"0x0434", "0x11190720"}, {"0x0429", "0x00989680"},
    {"0x0722", "0x00072020"}, {"0x0725", "0x00202003"}, {"0x0708", "0x10130002"}, {"0x0709", "0x01940201"},
    {"0x070a", "0x01019201"}, {"0x070b", "0x9a0101a4"}, {"0x070c", "0x019b0101"}, {"0x070D", "0x00009c01"},
};

const KeyValues kDriverRegisters = {
    {"0x00", "0x10"}, {"0x01", "0x7a"}, {"0x02", "0xca"}, {"0x03", "0x22"}, {"0x04", "0x14"}, {"0x05", "0x42"},
    {"0x06", "0x9a"}, {"0x07", "0x42"}, {"0x08", "0xca"}, {"0x09", "0x07"}, {"0x0a", "0x06"}, {"0x0b", "0xd5"},
    {"0x0c", "0x28"}, {"0x0d", "0x90"}, {"0x0e", "0xd0"}, {"0x0F", "0xd3"}, {"0x10", "0x0c"}, {"0x11", "0x00"},
    {"0x12", "0x01"}, {"0x13", "0x11"}, {"0x23", "0x04"}, {"0x24", "0xE0"}, {"0x25", "0x00"}, {"0x26", "0x0a"},
    {"0x27", "0x01"}, {"0x28", "0x00"}, {"0x29", "0x05"}, {"0x2b", "0xf1"}, {"0x2c", "0xc8"}, {"0x2d", "0x03"},
    {"0x2e", "0x01"}, {"0x2f", "0xe0"}, {"0x30", "0xff"}, {"0x31", "0x00"}, {"0x32", "0x00"},
};

KeyValues itemsOf(const fileSection& section) {
    KeyValues items;
    for (const fileItem& item : section.items) items.emplace_back(item.key, item.value);
    return items;
}

std::vector<std::string> sectionNames(const fileHelper& reader) {
    std::vector<std::string> names;
    reader.GetSections(&names);
    return names;
}

// Writes the three files into a scratch directory as the device model does.
class EmbeddedTextsTest : public ::testing::Test {
protected:
    ze4c_test::ScratchDir dir;
    fileHelper reader;

    void SetUp() override {
        for (const auto& file : Korvane::embeddedConfigFiles()) dir.write(file.fileName, file.text);
    }
    void load(const char* name) { ASSERT_EQ(reader.Load((dir.path() / name).string()), RET_OK) << name; }
};

TEST_F(EmbeddedTextsTest, FilesHaveTheirNamesOrderAndExactSizes) {
    const auto& files = Korvane::embeddedConfigFiles();
    const struct {
        const char* name;
        size_t bytes;
        bool endsWithLineBreak;
    } expected[] = {{"ConfigAlgorithm.json", 273, true}, {"ConfigCamera.json", 9476, false}, {"register.json", 946, false}};
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(files[i].fileName, expected[i].name);
        EXPECT_EQ(files[i].text.size(), expected[i].bytes);
        EXPECT_EQ(files[i].text.back() == '\n', expected[i].endsWithLineBreak);
        EXPECT_EQ(files[i].text.find('\r'), std::string_view::npos);
        EXPECT_EQ(files[i].text.find('\0'), std::string_view::npos);
        EXPECT_EQ(files[i].text.find("\n\n\n"), std::string_view::npos) << "single empty lines between sections";
    }
}

TEST_F(EmbeddedTextsTest, AlgorithmFileReadsBackAsTabulated) {
    load("ConfigAlgorithm.json");
    EXPECT_EQ(sectionNames(reader), (std::vector<std::string>{"DenoisingParams", "RepairParams", "ConfidenceParams"}));
    EXPECT_EQ(itemsOf(*reader.getSection("DenoisingParams")),
              (KeyValues{{"TDenoiseLevel_Depth", "3"}, {"SDenoiseLevel_Depth", "3"}, {"TDenoiseMethod_Depth", "1"},
                         {"SDenoiseMethod_Depth", "1"}, {"TDenoiseLevel_Gray", "1"}, {"SDenoiseLevel_Gray", "1"},
                         {"TDenoiseMethod_Gray", "1"}, {"SDenoiseMethod_Gray", "1"}}));
    EXPECT_EQ(itemsOf(*reader.getSection("RepairParams")), (KeyValues{{"ERDOLvl", "3"}}));
    EXPECT_EQ(itemsOf(*reader.getSection("ConfidenceParams")),
              (KeyValues{{"ValidDistMin", "0"}, {"ValidDistMax", "7000"}}));
    EXPECT_EQ(reader.getSection("DenoisingParams")->comment, "");
    EXPECT_EQ(reader.getSection("RepairParams")->comment, "\n");
    EXPECT_EQ(reader.getSection("ConfidenceParams")->comment, "\n");
}

TEST_F(EmbeddedTextsTest, CameraFileReadsBackAsTabulated) {
    load("ConfigCamera.json");
    std::vector<std::string> expectedNames = {"VideoInfo"};
    for (const auto& s : kWorkModeSections) expectedNames.push_back(s.name);
    ASSERT_EQ(sectionNames(reader), expectedNames);

    const fileSection* video = reader.getSection("VideoInfo");
    EXPECT_EQ(itemsOf(*video), (KeyValues{{"sensorType", "TOF"},
                                          {"sensorPath", "/dev/v4l-subdev2"},
                                          {"ispPath", "/dev/video11"},
                                          {"subIspPath", "/dev/v4l-subdev3"}}));
    EXPECT_EQ(video->comment, "");

    for (const WorkModeSection& expected : kWorkModeSections) {
        SCOPED_TRACE(expected.name);
        const fileSection* section = reader.getSection(expected.name);
        EXPECT_EQ(section->comment, "\n") << "an empty line before every work-mode section";
        EXPECT_EQ(itemsOf(*section), expectedItems(expected));
        // Comment lines sit right before the item they describe; no other item has one.
        for (const fileItem& item : section->items) {
            std::string comment;
            for (int c = 0; c < 6; ++c) {
                if (item.key == kCommentPlaces[c].first) {
                    comment = std::string("//") + kCommentPlaces[c].second + "=" + expected.comments[c] + "\n";
                }
            }
            EXPECT_EQ(item.comment, comment) << item.key;
            EXPECT_EQ(item.rightComment, "") << item.key;
        }
    }
}

TEST_F(EmbeddedTextsTest, RegisterFileReadsBackAsTabulated) {
    load("register.json");
    ASSERT_EQ(sectionNames(reader), (std::vector<std::string>{"SENSOR", "VDRIVER"}));
    const fileSection* sensor = reader.getSection("SENSOR");
    EXPECT_EQ(itemsOf(*sensor), kSensorRegisters);
    for (size_t i = 0; i < sensor->items.size(); ++i) {
        EXPECT_EQ(sensor->items[i].comment, i == 24 ? "\n" : "") << "empty line after the 24th entry only";
    }
    EXPECT_EQ(itemsOf(*reader.getSection("VDRIVER")), kDriverRegisters);
    EXPECT_EQ(reader.getSection("VDRIVER")->comment, "\n");
}

// The two modes the C interface uses (single frequency: frame mode 2; dual: 11) are found
// and fill the sensor record with the section's values; the user settings of the C
// interface give the effective algorithm settings.
class EmbeddedTextsConfigTest : public EmbeddedTextsTest {
protected:
    ze4c_test::LogCapture log{"info"};
    char cfgPath[kConfigPathBytes] = {};
    TofConfig config{};
    AlgoParamsCfgByUser user{};
    const std::string directory = dir.str();

    void SetUp() override {
        EmbeddedTextsTest::SetUp();
        config.cfgFilePath = cfgPath;
        user = {0, DENOISE_LEVEL_3, DENOISE_LEVEL_3, DENOISE_LEVEL_0, DENOISE_LEVEL_0, DENOISE_LEVEL_5, 1, 0, 0, 4500,
                directory.c_str()};
    }

    void expectSection(const WorkModeSection& s) {
        SCOPED_TRACE(s.name);
        EXPECT_TRUE(log.logged("info", std::string("choose section ") + s.name)) << log.text();
        EXPECT_EQ(config.workMode, static_cast<uint32_t>(s.workMode));
        EXPECT_EQ(config.frameMode, static_cast<uint32_t>(s.subWorkMode));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(config.subFramePhaseMode[i], static_cast<uint32_t>(s.subFrameModes[i]));
            EXPECT_EQ(config.specFrameMode[i], static_cast<uint32_t>(s.specialFrameModes[i]));
            EXPECT_EQ(config.subFrameNumPerFrame[i + 1], static_cast<uint32_t>(s.numSubFrames[i]));
        }
        EXPECT_EQ(config.intTime[0].phase1To4Time, static_cast<uint32_t>(s.frame0IntTime));
        EXPECT_EQ(config.intTime[0].specialPhaseTime, static_cast<uint32_t>(s.frame0Special));
        EXPECT_EQ(config.intTime[1].phase1To4Time, static_cast<uint32_t>(s.frame1IntTime));
        EXPECT_EQ(config.intTime[1].specialPhaseTime, static_cast<uint32_t>(s.frame1Special));
        EXPECT_EQ(config.intTime[2].specialPhaseTime, static_cast<uint32_t>(s.frame2Special));
        EXPECT_EQ(config.intTime[3].phase1To4Time, static_cast<uint32_t>(s.frame3IntTime));
        EXPECT_EQ(config.fm[0].phase1To4PllDllDiv, static_cast<uint32_t>(s.phaseDiv[0]));
        EXPECT_EQ(config.fm[1].phase1To4PllDllDiv, static_cast<uint32_t>(s.phaseDiv[1]));
        EXPECT_EQ(config.fm[3].phase1To4PllDllDiv, static_cast<uint32_t>(s.phaseDiv[2]));
        EXPECT_EQ(config.subFrameNumPerFrame[0], 1u);
        EXPECT_EQ(config.mipiFsFePos, static_cast<uint32_t>(s.mipiFsFePos));
        EXPECT_EQ(config.seqSchedule.slot3SeqNum, 3);
        EXPECT_EQ(config.ledMode, 1u);
        EXPECT_EQ(config.tSensorMode, 1u);
    }
};

TEST_F(EmbeddedTextsConfigTest, SingleAndDualFrequencyModesAreFound) {
    const FrameProfile profile{60, {640, 480, 0, 0, 1, 1}, BINNING_MODE_NONE};
    ASSERT_EQ(FillCameraParas(user, {WORK_MODE_SINGLE_FREQ, SUB_MODE_SINGLE_FREQ_4PHASE_GRAY}, profile, &config),
              STATUS_OK);
    expectSection(kWorkModeSections[1]);
    ASSERT_EQ(FillCameraParas(user, {WORK_MODE_DOUBLE_FREQ, SUB_MODE_DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG}, profile,
                              &config),
              STATUS_OK);
    expectSection(kWorkModeSections[3]);
    EXPECT_TRUE(log.logged("info", "load " + directory + "/ConfigCamera.json success"));
}

TEST_F(EmbeddedTextsConfigTest, AlgorithmFileWithTheUserSettingsGivesTheEffectiveValues) {
    struct NoStage : ConfigurableStage {
        Status ConfigParams(const TofConfig&, const AlgoCfgParams&) override { return STATUS_OK; }
    } corr, pp;
    AlgoCfgParams params{};
    ASSERT_EQ(FillAlgoParas(user, {&corr, &pp}, &config, &params), STATUS_OK);
    const AlgoPostParams& p = params.ppParams;
    EXPECT_EQ(params.corrParams.bAE, 0u);
    EXPECT_EQ(p.eTDenoiseLvl_Depth, 3u);
    EXPECT_EQ(p.eSDenoiseLvl_Depth, 3u);
    EXPECT_EQ(p.eTDenoiseLvl_Gray, 0u) << "the file's 1 is overridden";
    EXPECT_EQ(p.eSDenoiseLvl_Gray, 0u);
    EXPECT_EQ(p.eRDOLvl, 5u) << "the file's 3 is overridden";
    EXPECT_EQ(p.bDeFlyPixelStyle, 1u);
    EXPECT_EQ(p.bDeHoles, 0u);
    EXPECT_EQ(p.usValidDistMinMM, 0u);
    EXPECT_EQ(p.usValidDistMaxMM, 4500u) << "the file's 7000 has no effect";
    EXPECT_EQ(p.eTDenoiseMethod_Depth, 1u);
    EXPECT_EQ(p.eSDenoiseMethod_Gray, 1u);
    EXPECT_STREQ(cfgPath, directory.c_str());
}

}  // namespace
