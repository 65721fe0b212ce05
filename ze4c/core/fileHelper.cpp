#include "fileHelper.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace ZeSdk {

fileHelper::fileHelper() : commentDelimiter("//") {}

std::string fileHelper::trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(s[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1]))) --end;
    return s.substr(begin, end - begin);
}

bool fileHelper::split(const std::string& s, const std::string& separator, std::string* left, std::string* right) {
    const size_t pos = s.find(separator);
    if (pos == std::string::npos) {
        *left = trim(s);
        right->clear();
        return false;
    }
    *left = trim(s.substr(0, pos));
    *right = trim(s.substr(pos + separator.size()));
    return true;
}

bool fileHelper::parse(const std::string& content, std::string* key, std::string* value) {
    return split(content, "=", key, value);
}

bool fileHelper::StartWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool fileHelper::StringCmpIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool fileHelper::IsCommentLine(const std::string& line) const {
    return StartWith(line, commentDelimiter);
}

int fileHelper::Load(const std::string& path) {
    release();
    cfgFilePath = path;
    errorLine_ = 0;

    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return ERR_OPEN_FILE_FAILED;
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxFileBytes) return ERR_NO_ENOUGH_MEMORY;
    }
    if (in.bad()) return ERR_OPEN_FILE_FAILED;  // e.g. a directory: opens, cannot be read
    return loadText(text);
}

int fileHelper::loadText(const std::string& text) {
    std::string pendingComment;
    fileSection* current = nullptr;
    size_t lineNumber = 0;
    size_t lineStart = 0;
    // A final line without a line break counts; the empty remainder after a final break does not.
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        const std::string line = trim(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        ++lineNumber;

        if (line.empty()) {
            pendingComment += "\n";
            continue;
        }
        if (IsCommentLine(line)) {
            pendingComment += line;
            pendingComment += "\n";
            continue;
        }
        std::string content;
        std::string rightComment;
        split(line, commentDelimiter, &content, &rightComment);
        int code = RET_OK;
        if (!content.empty() && content[0] == '[') {
            code = UpdateSection(content, pendingComment, &current);
        } else if (current != nullptr) {
            code = AddKeyValuePair(content, pendingComment, rightComment, current);
        }
        if (code != RET_OK) {
            errorLine_ = lineNumber;
            return code;
        }
        pendingComment.clear();
    }
    return RET_OK;
}

int fileHelper::UpdateSection(const std::string& content, const std::string& comment, fileSection** current) {
    const size_t close = content.find(']');
    if (close == std::string::npos) return ERR_UNMATCHED_BRACKETS;
    if (close <= 1) return ERR_SECTION_EMPTY;
    // Text after the "]" is ignored.
    std::string name = trim(content.substr(1, close - 1));
    if (getSection(name) != nullptr) return ERR_SECTION_ALREADY_EXISTS;
    auto section = std::make_unique<fileSection>();
    section->name = std::move(name);
    section->comment = comment;
    *current = section.get();
    sectionIndex_.emplace(section->name, section.get());
    sections_vt.push_back(std::move(section));
    return RET_OK;
}

int fileHelper::AddKeyValuePair(const std::string& content, const std::string& comment,
                                const std::string& rightComment, fileSection* current) {
    fileItem item;
    if (!parse(content, &item.key, &item.value)) return ERR_PARSE_KEY_VALUE_FAILED;
    item.comment = comment;
    item.rightComment = rightComment;
    current->items.push_back(std::move(item));
    return RET_OK;
}

const fileSection* fileHelper::getSection(const std::string& name) const {
    const auto found = sectionIndex_.find(name);
    return found == sectionIndex_.end() ? nullptr : found->second;
}

int fileHelper::getValue(const std::string& section, const std::string& key, std::string* value,
                         std::string* comment) const {
    const fileSection* found = getSection(section);
    if (found == nullptr) return ERR_NOT_FOUND_SECTION;
    for (const fileItem& item : found->items) {
        if (item.key == key) {
            *value = item.value;
            *comment = item.comment;
            return RET_OK;
        }
    }
    return ERR_NOT_FOUND_KEY;
}

int fileHelper::getValue(const std::string& section, const std::string& key, std::string* value) const {
    std::string comment;
    return getValue(section, key, value, &comment);
}

int fileHelper::GetStringValue(const std::string& section, const std::string& key, std::string* value) const {
    return getValue(section, key, value);
}

int fileHelper::GetIntValue(const std::string& section, const std::string& key, int32_t* value) const {
    std::string text;
    const int code = getValue(section, key, &text);
    // Values outside 32 bits keep their low 32 bits, like the integer fields they fill.
    *value = code == RET_OK ? static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10)) : 0;
    return code;
}

int fileHelper::GetDoubleValue(const std::string& section, const std::string& key, double* value) const {
    std::string text;
    const int code = getValue(section, key, &text);
    *value = code == RET_OK ? std::strtod(text.c_str(), nullptr) : 0.0;
    return code;
}

int fileHelper::GetBoolValue(const std::string& section, const std::string& key, bool* value) const {
    std::string text;
    const int code = getValue(section, key, &text);
    if (code != RET_OK) return code;
    if (StringCmpIgnoreCase(text, "true") || text == "1") {
        *value = true;
    } else if (StringCmpIgnoreCase(text, "false") || text == "0") {
        *value = false;
    }
    return code;
}

int fileHelper::GetStringValueOrDefault(const std::string& section, const std::string& key, std::string* value,
                                        const std::string& defaultValue) const {
    const int code = GetStringValue(section, key, value);
    if (code != RET_OK) *value = defaultValue;
    return code;
}

int fileHelper::GetIntValueOrDefault(const std::string& section, const std::string& key, int32_t* value,
                                     int32_t defaultValue) const {
    const int code = GetIntValue(section, key, value);
    if (code != RET_OK) *value = defaultValue;
    return code;
}

int fileHelper::GetDoubleValueOrDefault(const std::string& section, const std::string& key, double* value,
                                        double defaultValue) const {
    const int code = GetDoubleValue(section, key, value);
    if (code != RET_OK) *value = defaultValue;
    return code;
}

int fileHelper::GetBoolValueOrDefault(const std::string& section, const std::string& key, bool* value,
                                      bool defaultValue) const {
    const int code = GetBoolValue(section, key, value);
    if (code != RET_OK) *value = defaultValue;
    return code;
}

size_t fileHelper::GetSections(std::vector<std::string>* sections) const {
    for (const auto& section : sections_vt) sections->push_back(section->name);
    return sections->size();
}

void fileHelper::print() const {
    std::printf("############ print start ############\n");
    std::printf("filePath:[%s]\n", cfgFilePath.c_str());
    std::printf("commentDelimiter:[%s]\n", commentDelimiter.c_str());
    for (const auto& section : sections_vt) {
        std::printf("comment :[\n%s]\n", section->comment.c_str());
        std::printf("section :\n[%s]\n", section->name.c_str());
        if (!section->rightComment.empty()) std::printf("rightComment:\n%s", section->rightComment.c_str());
        for (const fileItem& item : section->items) {
            std::printf("    comment :[\n%s]\n", item.comment.c_str());
            std::printf("    parm    :%s=%s\n", item.key.c_str(), item.value.c_str());
            if (!item.rightComment.empty()) std::printf("    rcomment:[\n%s]\n", item.rightComment.c_str());
        }
    }
    std::printf("############ print end ############\n");
    std::fflush(stdout);
}

void fileHelper::release() {
    sectionIndex_.clear();
    sections_vt.clear();
}

}  // namespace ZeSdk
