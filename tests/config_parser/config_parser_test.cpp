#include <gtest/gtest.h>

#include <string>

#include "korvane_config_parser.h"
#include "temp_dir.h"

namespace Korvane::testing {
namespace {

// Parses `text` from a file; the record's lists are freed with the fixture.
class ConfigParserTest : public ::testing::Test {
protected:
    void TearDown() override { korvane_free_config(&config); }

    int parse(const std::string& text) { return korvane_parse_config(dir.write("camera.cfg", text).c_str(), &config); }

    TempDir dir;
    CameraConfigRecord config{};
};

TEST_F(ConfigParserTest, FillsCameraRegisterAndControlSections) {
    const int result = parse(
        "; adapter configuration\n"
        "# another comment\n"
        "// and another\n"
        "[camera parameter]\n"
        "CFG_MODE = 2\n"
        "TYPE = ZEF4471 module\n"
        "SIZE = 640, 480\n"
        "BIT_WIDTH = 0x0C\n"
        "FORMAT = 1, 2\n"
        "I2C_MODE = 1\n"
        "I2C_ADDR = 0x0C ; microcontroller\n"
        "TRANS_LVL = 3\n"
        "UNKNOWN_KEY = 7\n"
        "[board parameter]\n"
        "REG = 0x10, 20, -3\n"
        "VRCMD = 0xA1\n"
        "DELAY: 5\n"
        "OTHER = 1\n"
        "[register parameter]\n"
        "REG = 0x216c, 0x10\n"
        "[control parameter]\n"
        "MIN_VALUE = -10\n"
        "MAX_VALUE = 0x7FFFFFFFFF\n"
        "STEP = 2\n"
        "DEF = 4\n"
        "CTRL_NAME = Exposure\n"
        "FUNC_NAME = set_exposure\n"
        "[control parameter]\n"
        "CTRL_NAME = Gain\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(config.cfg_mode, 2);
    EXPECT_STREQ(config.type, "ZEF4471 module");
    EXPECT_EQ(config.width, 640u);
    EXPECT_EQ(config.height, 480u);
    EXPECT_EQ(config.bit_width, 12);
    EXPECT_EQ(config.format, 0x0102);
    EXPECT_EQ(config.i2c_mode, 1);
    EXPECT_EQ(config.i2c_addr, 12) << "the inline ';' comment must be cut off";
    EXPECT_EQ(config.trans_lvl, 3u);

    ASSERT_EQ(config.register_count, 4u);
    EXPECT_EQ(config.registers[0].kind, KORVANE_SECTION_BOARD + KORVANE_KEY_REG);
    ASSERT_EQ(config.registers[0].count, 3);
    EXPECT_EQ(config.registers[0].values[0], 0x10);
    EXPECT_EQ(config.registers[0].values[1], 20);
    EXPECT_EQ(config.registers[0].values[2], -3);
    EXPECT_EQ(config.registers[1].kind, KORVANE_SECTION_BOARD + KORVANE_KEY_VRCMD);
    EXPECT_EQ(config.registers[2].kind, KORVANE_SECTION_BOARD + KORVANE_KEY_DELAY) << "':' separates like '='";
    EXPECT_EQ(config.registers[2].values[0], 5);
    EXPECT_EQ(config.registers[3].kind, KORVANE_SECTION_REGISTER + KORVANE_KEY_REG);

    ASSERT_EQ(config.control_count, 2u);
    const ControlItem& exposure = config.controls[0];
    EXPECT_EQ(exposure.min_value, -10);
    EXPECT_EQ(exposure.max_value, 0x7FFFFFFFFFll) << "64-bit fields keep values above 32 bits";
    EXPECT_EQ(exposure.step, 2);
    EXPECT_EQ(exposure.def, 4);
    EXPECT_STREQ(exposure.ctrl_name, "Exposure");
    EXPECT_STREQ(exposure.func_name, "set_exposure");
    EXPECT_EQ(exposure.code, nullptr);
    const ControlItem& gain = config.controls[1];
    EXPECT_STREQ(gain.ctrl_name, "Gain");
    EXPECT_EQ(gain.min_value, 0) << "a new item starts zeroed";
    EXPECT_STREQ(gain.func_name, "");
}

struct SectionCase {
    const char* header;
    uint32_t kind;  // 0: the section is unknown and its REG line ignored
};

class JoinedSections : public ConfigParserTest, public ::testing::WithParamInterface<SectionCase> {};

TEST_P(JoinedSections, BracketGroupsJoinWithBars) {
    ASSERT_EQ(parse(std::string(GetParam().header) + "\nREG = 1, 2\n"), 0);
    if (GetParam().kind == 0) {
        EXPECT_EQ(config.register_count, 0u);
        return;
    }
    ASSERT_EQ(config.register_count, 1u);
    EXPECT_EQ(config.registers[0].kind, GetParam().kind + KORVANE_KEY_REG);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, JoinedSections,
    ::testing::Values(SectionCase{"[board parameter][dev2]", KORVANE_SECTION_BOARD_DEV2},
                      SectionCase{"[board parameter][dev3][inf3]", KORVANE_SECTION_BOARD_DEV3_INF3},
                      SectionCase{"[board parameter][dev3][inf2]", KORVANE_SECTION_BOARD_DEV3_INF2},
                      SectionCase{"  [register parameter][dev3][inf3]  ; trailing text", KORVANE_SECTION_REGISTER_DEV3_INF3},
                      SectionCase{"[register parameter][dev3][inf2]", KORVANE_SECTION_REGISTER_DEV3_INF2},
                      SectionCase{"[Register Parameter]", 0},   // names compare exactly
                      SectionCase{"[register parameter] [dev3]", KORVANE_SECTION_REGISTER},  // not adjacent
                      SectionCase{"[no such section]", 0}));

TEST_F(ConfigParserTest, ReportsTheFirstBadLineAndAppliesTheRest) {
    const int result = parse(
        "[camera parameter]\n"
        "CFG_MODE = 1\n"
        "TYPE = a\n"
        "\n"
        "this line has no separator\n"
        "[camera parameter\n"
        "SIZE = 320, 240\n");
    EXPECT_EQ(result, 5);
    EXPECT_EQ(config.width, 320u) << "lines after a bad one are still applied";
}

TEST_F(ConfigParserTest, SeparatorAfterAnInlineCommentDoesNotCount) {
    EXPECT_EQ(parse("[camera parameter]\nNO_SEPARATOR ; a = b\nTYPE = a;b // c = d\n"), 2);
    EXPECT_STREQ(config.type, "a;b") << "';' right after text is part of the value";
}

TEST_F(ConfigParserTest, ListRulesForSizeFormatAndRegisters) {
    ASSERT_EQ(parse("[camera parameter]\n"
                    "SIZE = 64, 48\n"
                    "SIZE = 100\n"
                    "SIZE = 1, 2, 3\n"
                    "FORMAT = 3\n"
                    "[register parameter]\n"
                    "REG = 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18\n"
                    "REG =\n"),
              0);
    EXPECT_EQ(config.width, 64u) << "only a list of exactly two values sets the size";
    EXPECT_EQ(config.height, 48u);
    EXPECT_EQ(config.format, 0x0300);
    ASSERT_EQ(config.register_count, 2u);
    EXPECT_EQ(config.registers[0].count, 16) << "values beyond the sixteenth are dropped, not stored past the array";
    EXPECT_EQ(config.registers[0].values[15], 16);
    EXPECT_EQ(config.registers[1].count, 0);
}

TEST_F(ConfigParserTest, RegisterListGrowsPastItsFirstAllocation) {
    std::string text = "[register parameter]\n";
    for (int i = 0; i < 250; ++i) text += "REG = " + std::to_string(i) + ", 1\n";
    ASSERT_EQ(parse(text), 0);
    ASSERT_EQ(config.register_count, 250u);
    EXPECT_EQ(config.registers[249].values[0], 249);
}

TEST_F(ConfigParserTest, CodeBlockIsStoredInTheCurrentControlItem) {
    ASSERT_EQ(parse("[control parameter]\n"
                    "MIN_VALUE = -10\n"
                    "======code_block_start======\n"
                    "  write(0x10, 1)   \n"
                    "\n"
                    "; kept: comments belong to the code\n"
                    "  ======CODE_BLOCK_END======\n"
                    "[camera parameter]\n"
                    "======CODE_BLOCK_START======\n"
                    "ignored outside [control parameter]\n"
                    "======CODE_BLOCK_END======\n"),
              0);
    ASSERT_EQ(config.control_count, 1u);
    EXPECT_EQ(config.controls[0].min_value, -10);
    ASSERT_NE(config.controls[0].code, nullptr);
    EXPECT_STREQ(config.controls[0].code, "  write(0x10, 1)\n\n; kept: comments belong to the code\n");
}

TEST_F(ConfigParserTest, UnterminatedCodeBlockReportsWhereItWasCut) {
    // A header inside the block ends it unapplied; its line number replaces the earlier one.
    EXPECT_EQ(parse("[control parameter]\n"
                    "bad line\n"
                    "======CODE_BLOCK_START======\n"
                    "x = 1\n"
                    "[camera parameter]\n"
                    "TYPE = kept\n"),
              5);
    ASSERT_EQ(config.control_count, 1u);
    EXPECT_EQ(config.controls[0].code, nullptr);
    EXPECT_STREQ(config.type, "") << "the header that ended the block is not applied";
    korvane_free_config(&config);
    config = CameraConfigRecord{};

    EXPECT_EQ(parse("[control parameter]\n======CODE_BLOCK_START======\nx = 1\ny = 2"), 4)
        << "the end of the file inside a block names the last line";
    EXPECT_EQ(config.controls[0].code, nullptr);
}

TEST_F(ConfigParserTest, ByteOrderMarkAndWindowsLineEndings) {
    ASSERT_EQ(parse("\xEF\xBB\xBF[camera parameter]\r\nTYPE = crlf\r\nSIZE = 8, 4\r\n"), 0);
    EXPECT_STREQ(config.type, "crlf");
    EXPECT_EQ(config.height, 4u);
}

TEST_F(ConfigParserTest, OverlongInputIsCutInsideItsFields) {
    const std::string longText(3000, 'x');
    const int result = parse("[" + std::string(80, 's') + "]\n"
                             "REG = 1, 2\n"
                             "[camera parameter]\n"
                             "TYPE = " + longText + "\n"
                             "SIZE = 2, 3\n"
                             "[control parameter]\n"
                             "CTRL_NAME = " + longText + "\n"
                             "FUNC_NAME = short\n");
    // The 3000-character TYPE line is read in pieces of 1023 characters; the
    // continuations have no separator. Line numbers still count physical lines.
    EXPECT_EQ(result, 4);
    EXPECT_EQ(config.register_count, 0u) << "an over-long section name matches no section";
    EXPECT_EQ(std::string(config.type), std::string(KORVANE_CONFIG_TYPE_SIZE - 1, 'x')) << "cut and NUL-terminated";
    EXPECT_EQ(config.width, 2u) << "the line after an over-long one is parsed as its own line";
    ASSERT_EQ(config.control_count, 1u);
    EXPECT_EQ(std::string(config.controls[0].ctrl_name), std::string(KORVANE_CONFIG_NAME_SIZE - 1, 'x'));
    EXPECT_STREQ(config.controls[0].func_name, "short");
}

TEST_F(ConfigParserTest, UnreadableFileLeavesTheRecordUntouched) {
    config.width = 77;
    EXPECT_EQ(korvane_parse_config(dir.path("missing.cfg").c_str(), &config), -1);
    EXPECT_EQ(korvane_parse_config(nullptr, &config), -1);
    EXPECT_EQ(config.width, 77u);
}

TEST_F(ConfigParserTest, WithoutARecordNoLineIsAccepted) {
    const std::string path = dir.write("camera.cfg", "; comment\n[camera parameter]\nSIZE = 1, 2\n");
    EXPECT_EQ(korvane_parse_config(path.c_str(), nullptr), 2);
}

TEST_F(ConfigParserTest, FreeEmptiesTheListsAndToleratesEmptyRecords) {
    ASSERT_EQ(parse("[control parameter]\n======CODE_BLOCK_START======\nx\n======CODE_BLOCK_END======\n"
                    "[board parameter]\nREG = 1\n"),
              0);
    korvane_free_config(&config);
    EXPECT_EQ(config.controls, nullptr);
    EXPECT_EQ(config.control_count, 0u);
    EXPECT_EQ(config.registers, nullptr);
    EXPECT_EQ(config.register_count, 0u);
    korvane_free_config(&config);
    korvane_free_config(nullptr);
}

}  // namespace
}  // namespace Korvane::testing
