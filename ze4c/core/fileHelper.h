// Reader of the INI-like configuration texts: "[section]" lines, "key = value" lines,
// whole-line comments and trailing comments introduced by "//". The whole text is kept
// in memory as ordered sections of ordered items; lookups take the first section and,
// inside it, the first item whose name matches exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ZeSdk {

enum RET_CODE_NUM : int {
    RET_OK = 0,
    ERR_UNMATCHED_BRACKETS = 2,      // a section line has no "]"
    ERR_SECTION_EMPTY = 3,           // "]" directly follows "["
    ERR_SECTION_ALREADY_EXISTS = 4,  // a section name repeats
    ERR_PARSE_KEY_VALUE_FAILED = 5,  // a content line has no "="
    ERR_OPEN_FILE_FAILED = 6,        // the file cannot be opened or read
    ERR_NO_ENOUGH_MEMORY = 7,        // the file is larger than fileHelper::kMaxFileBytes
    ERR_NOT_FOUND_KEY = 8,           // lookup: the section exists, the key does not
    ERR_NOT_FOUND_SECTION = 9,       // lookup: no such section
};

struct fileItem {
    std::string key;           // trimmed text before the first "="
    std::string value;         // trimmed text after it (may contain further "=")
    std::string comment;       // comment and blank lines since the previous section or item line
    std::string rightComment;  // trimmed trailing comment, without the "//"
};

struct fileSection {
    std::string name;          // trimmed text between "[" and the first "]"
    std::string comment;       // comment and blank lines before the section line
    std::string rightComment;  // always empty: a section line's trailing comment is dropped
    std::vector<fileItem> items;
};

class fileHelper {
public:
    // Configuration texts are a few kilobytes; a larger file is refused rather than read
    // without bound (a device node or a runaway file would otherwise fill memory).
    static constexpr size_t kMaxFileBytes = 1u << 20;

    fileHelper();

    // Replaces the content with the file's. Stops at the first bad line and returns its
    // code; the sections before that line stay loaded. Lines before the first section
    // line belong to no section and are skipped.
    int Load(const std::string& path);
    // 1-based number of the line that stopped the last Load, 0 when it did not stop early.
    size_t GetErrorLine() const { return errorLine_; }

    int getValue(const std::string& section, const std::string& key, std::string* value, std::string* comment) const;
    int getValue(const std::string& section, const std::string& key, std::string* value) const;

    int GetStringValue(const std::string& section, const std::string& key, std::string* value) const;
    // Base-10 strtol of the text; writes 0 when the lookup fails.
    int GetIntValue(const std::string& section, const std::string& key, int32_t* value) const;
    // strtod of the text; writes 0 when the lookup fails.
    int GetDoubleValue(const std::string& section, const std::string& key, double* value) const;
    // "true"/"1" and "false"/"0" in any letter case; any other text, or a failed lookup,
    // leaves the output unchanged.
    int GetBoolValue(const std::string& section, const std::string& key, bool* value) const;

    // As above; on any non-zero code the output is set to the default.
    int GetStringValueOrDefault(const std::string& section, const std::string& key, std::string* value,
                                const std::string& defaultValue) const;
    int GetIntValueOrDefault(const std::string& section, const std::string& key, int32_t* value,
                             int32_t defaultValue) const;
    int GetDoubleValueOrDefault(const std::string& section, const std::string& key, double* value,
                                double defaultValue) const;
    int GetBoolValueOrDefault(const std::string& section, const std::string& key, bool* value,
                              bool defaultValue) const;

    // Appends every section name in file order; returns the list's new length.
    size_t GetSections(std::vector<std::string>* sections) const;
    size_t GetSectionNum() const { return sections_vt.size(); }
    const fileSection* getSection(const std::string& name) const;

    // Writes the content to standard output (diagnostic).
    void print() const;
    void release();

private:
    static std::string trim(const std::string& s);
    static bool split(const std::string& s, const std::string& separator, std::string* left, std::string* right);
    static bool parse(const std::string& content, std::string* key, std::string* value);
    static bool StartWith(const std::string& s, const std::string& prefix);
    static bool StringCmpIgnoreCase(const std::string& a, const std::string& b);
    bool IsCommentLine(const std::string& line) const;
    int UpdateSection(const std::string& content, const std::string& comment, fileSection** current);
    int AddKeyValuePair(const std::string& content, const std::string& comment, const std::string& rightComment,
                        fileSection* current);
    int loadText(const std::string& text);

    std::vector<std::unique_ptr<fileSection>> sections_vt;
    // Section names are unique, so a name index keeps Load linear in the number of sections.
    std::unordered_map<std::string, fileSection*> sectionIndex_;
    std::string cfgFilePath;
    std::string commentDelimiter;
    size_t errorLine_ = 0;
};

}  // namespace ZeSdk
