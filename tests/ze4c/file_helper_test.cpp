// The configuration-text reader: syntax, comments, error codes, lookups and limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileHelper.h"
#include "scratch_dir.h"

namespace {

using namespace ZeSdk;

class FileHelperTest : public ::testing::Test {
protected:
    ze4c_test::ScratchDir dir;
    fileHelper reader;

    int load(const std::string& text) { return reader.Load(dir.write("config.json", text)); }

    // Every section and item with its comments, for comparing two loads.
    static std::string describe(const fileHelper& r) {
        std::vector<std::string> names;
        r.GetSections(&names);
        std::string out;
        for (const std::string& name : names) {
            const fileSection* s = r.getSection(name);
            out += "[" + s->name + "] c=<" + s->comment + "> rc=<" + s->rightComment + ">\n";
            for (const fileItem& i : s->items) {
                out += i.key + "=" + i.value + " c=<" + i.comment + "> rc=<" + i.rightComment + ">\n";
            }
        }
        return out;
    }
};

TEST_F(FileHelperTest, CapturesCommentsAndRightComments) {
    ASSERT_EQ(load("// file head\n"
                   "\n"
                   "[Sec]   // dropped with the section line\n"
                   "   // indented comment\n"
                   "a = 1 // right one \n"
                   "b=x=y=z   //  tail // more\n"
                   "\n"
                   "c =  spaced value  \n"),
              RET_OK);
    const fileSection* s = reader.getSection("Sec");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->comment, "// file head\n\n");
    EXPECT_EQ(s->rightComment, "");
    ASSERT_EQ(s->items.size(), 3u);
    EXPECT_EQ(s->items[0].key, "a");
    EXPECT_EQ(s->items[0].value, "1");
    EXPECT_EQ(s->items[0].comment, "// indented comment\n");
    EXPECT_EQ(s->items[0].rightComment, "right one");
    // Only the first "=" separates; only the first "//" starts the right comment.
    EXPECT_EQ(s->items[1].value, "x=y=z");
    EXPECT_EQ(s->items[1].rightComment, "tail // more");
    EXPECT_EQ(s->items[1].comment, "");
    EXPECT_EQ(s->items[2].value, "spaced value");
    EXPECT_EQ(s->items[2].comment, "\n");
    EXPECT_EQ(s->items[2].rightComment, "");

    std::string value, comment;
    EXPECT_EQ(reader.getValue("Sec", "a", &value, &comment), RET_OK);
    EXPECT_EQ(value, "1");
    EXPECT_EQ(comment, "// indented comment\n");
}

TEST_F(FileHelperTest, BlankSectionNameMakesAnEmptyName) {
    ASSERT_EQ(load("[  ]\nk=v\n[x] trailing text\nk=w\n"), RET_OK);
    std::vector<std::string> names;
    EXPECT_EQ(reader.GetSections(&names), 2u);
    EXPECT_EQ(names, (std::vector<std::string>{"", "x"}));
    std::string value;
    EXPECT_EQ(reader.GetStringValue("", "k", &value), RET_OK);
    EXPECT_EQ(value, "v");
}

// Each bad line ends the load with its code; what was read before it stays.
TEST_F(FileHelperTest, BadLinesStopTheLoadWithTheirCode) {
    const struct {
        const char* text;
        int code;
        size_t errorLine;
        size_t sectionsKept;
    } cases[] = {
        {"[a]\nk=1\n[b\nk=2\n", ERR_UNMATCHED_BRACKETS, 3, 1},
        {"[a]\n[b // c]\n", ERR_UNMATCHED_BRACKETS, 2, 1},
        {"[]\n", ERR_SECTION_EMPTY, 1, 0},
        {"[a]\nk=1\n\n[a]\nk=2\n", ERR_SECTION_ALREADY_EXISTS, 4, 1},
        {"[a]\nk=1\nno pair here\nk=3\n", ERR_PARSE_KEY_VALUE_FAILED, 3, 1},
        {"[a]\n// comment only = fine\nk=1\n", RET_OK, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(load(c.text), c.code);
        EXPECT_EQ(reader.GetErrorLine(), c.errorLine);
        EXPECT_EQ(reader.GetSectionNum(), c.sectionsKept);
    }
    // The duplicate section did not replace the first one's items.
    load("[a]\nk=1\n[a]\nk=2\n");
    int32_t k = 0;
    EXPECT_EQ(reader.GetIntValue("a", "k", &k), RET_OK);
    EXPECT_EQ(k, 1);
}

TEST_F(FileHelperTest, UnreadableFilesAndLookupsGiveTheirCodes) {
    EXPECT_EQ(reader.Load((dir.path() / "missing.json").string()), ERR_OPEN_FILE_FAILED);
    EXPECT_EQ(reader.Load(dir.str()), ERR_OPEN_FILE_FAILED) << "a directory opens but cannot be read";

    ASSERT_EQ(load("[a]\nk=1\n"), RET_OK);
    std::string value = "untouched";
    EXPECT_EQ(reader.getValue("a", "K", &value), ERR_NOT_FOUND_KEY) << "keys compare case-sensitively";
    EXPECT_EQ(reader.getValue("A", "k", &value), ERR_NOT_FOUND_SECTION);
    EXPECT_EQ(reader.getValue("a ", "k", &value), ERR_NOT_FOUND_SECTION);
    EXPECT_EQ(value, "untouched");
    EXPECT_EQ(reader.getSection("b"), nullptr);
}

// A device node or a runaway file must not be read without bound.
TEST_F(FileHelperTest, FilesBeyondTheSizeLimitAreRefused) {
    std::string text = "[s]\nk=v\n";
    text += "//" + std::string(fileHelper::kMaxFileBytes - text.size() - 3, 'x') + "\n";
    ASSERT_EQ(text.size(), fileHelper::kMaxFileBytes);
    EXPECT_EQ(load(text), RET_OK);
    EXPECT_EQ(reader.GetSectionNum(), 1u);

    text.insert(0, "\n");
    EXPECT_EQ(load(text), ERR_NO_ENOUGH_MEMORY);
    EXPECT_EQ(reader.GetSectionNum(), 0u);

    EXPECT_EQ(reader.Load("/dev/zero"), ERR_NO_ENOUGH_MEMORY);
}

TEST_F(FileHelperTest, CrLfLinesReadLikeLfLines) {
    const std::string lf = "// c1\n\n[s1] // r\nk = v // rc\n// c2\nn=1\n\n[s2]\nx=y";
    std::string crlf;
    for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    ASSERT_EQ(load(lf), RET_OK);
    const std::string expected = describe(reader);
    ASSERT_EQ(load(crlf), RET_OK);
    EXPECT_EQ(describe(reader), expected);
    EXPECT_EQ(expected.find('\r'), std::string::npos);
}

TEST_F(FileHelperTest, FirstItemOfARepeatedKeyWins) {
    ASSERT_EQ(load("[s]\nk=first\nk=second\n"), RET_OK);
    std::string value;
    EXPECT_EQ(reader.GetStringValue("s", "k", &value), RET_OK);
    EXPECT_EQ(value, "first");
    EXPECT_EQ(reader.getSection("s")->items.size(), 2u) << "duplicates stay side by side";
}

// Nothing before the first section line takes part in lookups or the section list.
TEST_F(FileHelperTest, LinesBeforeTheFirstSectionAreSkipped) {
    ASSERT_EQ(load("stray=1\nno pair either\n// kept for the section\n[s]\nk=v\n"), RET_OK);
    std::vector<std::string> names;
    reader.GetSections(&names);
    EXPECT_EQ(names, std::vector<std::string>{"s"});
    std::string value;
    EXPECT_EQ(reader.GetStringValue("", "stray", &value), ERR_NOT_FOUND_SECTION);
    EXPECT_EQ(reader.getSection("s")->comment, "// kept for the section\n");
}

TEST_F(FileHelperTest, LastLineWithoutBreakAndNulBytesAreKept) {
    const char text[] = "[s]\nk=a\0b\nlast=end";
    ASSERT_EQ(load(std::string(text, sizeof text - 1)), RET_OK);
    std::string value;
    EXPECT_EQ(reader.GetStringValue("s", "k", &value), RET_OK);
    EXPECT_EQ(value, std::string("a\0b", 3));
    EXPECT_EQ(reader.GetStringValue("s", "last", &value), RET_OK);
    EXPECT_EQ(value, "end");
}

TEST_F(FileHelperTest, LoadReplacesThePreviousContent) {
    ASSERT_EQ(load("[old]\nk=1\n"), RET_OK);
    ASSERT_EQ(load("[new]\nk=2\n"), RET_OK);
    EXPECT_EQ(reader.getSection("old"), nullptr);
    EXPECT_EQ(reader.Load((dir.path() / "missing.json").string()), ERR_OPEN_FILE_FAILED);
    EXPECT_EQ(reader.GetSectionNum(), 0u);
}

TEST_F(FileHelperTest, IntegerLookups) {
    ASSERT_EQ(load("[s]\nneg =  -12abc\ntext=abc\nhuge=4294967297\nplus=+7\n"), RET_OK);
    const struct {
        const char* key;
        int code;
        int32_t value;
    } cases[] = {
        {"neg", RET_OK, -12},             // longest decimal prefix
        {"text", RET_OK, 0},              // no digits
        {"huge", RET_OK, 1},              // low 32 bits
        {"plus", RET_OK, 7},
        {"missing", ERR_NOT_FOUND_KEY, 0},  // written as 0 on a failed lookup
    };
    for (const auto& c : cases) {
        int32_t value = 99;
        EXPECT_EQ(reader.GetIntValue("s", c.key, &value), c.code) << c.key;
        EXPECT_EQ(value, c.value) << c.key;
    }
    int32_t value = 99;
    EXPECT_EQ(reader.GetIntValue("nosection", "neg", &value), ERR_NOT_FOUND_SECTION);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(reader.GetIntValueOrDefault("s", "missing", &value, 55), ERR_NOT_FOUND_KEY);
    EXPECT_EQ(value, 55);
    EXPECT_EQ(reader.GetIntValueOrDefault("nosection", "neg", &value, 56), ERR_NOT_FOUND_SECTION);
    EXPECT_EQ(value, 56);
    EXPECT_EQ(reader.GetIntValueOrDefault("s", "text", &value, 57), RET_OK);
    EXPECT_EQ(value, 0) << "a present key is not replaced by the default";
}

TEST_F(FileHelperTest, BooleanLookups) {
    ASSERT_EQ(load("[s]\nt1=TRUE\nt2=1\nf1=False\nf2=0\nother=yes\nnum=2\n"), RET_OK);
    const struct {
        const char* key;
        bool start;
        bool expected;
    } cases[] = {
        {"t1", false, true},   {"t2", false, true},   {"f1", true, false},     {"f2", true, false},
        {"other", true, true}, {"other", false, false}, {"num", true, true},
    };
    for (const auto& c : cases) {
        bool value = c.start;
        EXPECT_EQ(reader.GetBoolValue("s", c.key, &value), RET_OK) << c.key;
        EXPECT_EQ(value, c.expected) << c.key;
    }
    bool value = true;
    EXPECT_EQ(reader.GetBoolValue("s", "missing", &value), ERR_NOT_FOUND_KEY);
    EXPECT_TRUE(value) << "a failed lookup leaves the output unchanged";
    EXPECT_EQ(reader.GetBoolValueOrDefault("s", "missing", &value, false), ERR_NOT_FOUND_KEY);
    EXPECT_FALSE(value);
    value = true;
    EXPECT_EQ(reader.GetBoolValueOrDefault("s", "other", &value, false), RET_OK);
    EXPECT_TRUE(value) << "unrecognised text is a successful lookup: no default";
}

TEST_F(FileHelperTest, StringAndDoubleLookups) {
    ASSERT_EQ(load("[s]\nd=2.5e3\nbad=x1\ns=some text\n"), RET_OK);
    double d = -1;
    EXPECT_EQ(reader.GetDoubleValue("s", "d", &d), RET_OK);
    EXPECT_DOUBLE_EQ(d, 2500.0);
    EXPECT_EQ(reader.GetDoubleValue("s", "bad", &d), RET_OK);
    EXPECT_DOUBLE_EQ(d, 0.0);
    d = -1;
    EXPECT_EQ(reader.GetDoubleValue("s", "missing", &d), ERR_NOT_FOUND_KEY);
    EXPECT_DOUBLE_EQ(d, 0.0);
    EXPECT_EQ(reader.GetDoubleValueOrDefault("s", "missing", &d, 1.5), ERR_NOT_FOUND_KEY);
    EXPECT_DOUBLE_EQ(d, 1.5);

    std::string s;
    EXPECT_EQ(reader.GetStringValueOrDefault("s", "s", &s, "dflt"), RET_OK);
    EXPECT_EQ(s, "some text");
    EXPECT_EQ(reader.GetStringValueOrDefault("t", "s", &s, "dflt"), ERR_NOT_FOUND_SECTION);
    EXPECT_EQ(s, "dflt");
}

TEST_F(FileHelperTest, PrintWritesTheContent) {
    const std::string path = dir.write("p.json", "// c\n[s]\nk=v // r\n");
    ASSERT_EQ(reader.Load(path), RET_OK);
    testing::internal::CaptureStdout();
    reader.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "############ print start ############\n"
              "filePath:[" + path + "]\n"
              "commentDelimiter:[//]\n"
              "comment :[\n// c\n]\n"
              "section :\n[s]\n"
              "    comment :[\n]\n"
              "    parm    :k=v\n"
              "    rcomment:[\nr]\n"
              "############ print end ############\n");
}

}  // namespace
