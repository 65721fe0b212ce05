// Captures what the library logs through the process-wide Logger: while an object lives,
// the logger writes (with its own line layout) into a string instead of the console.
#pragma once

#include <spdlog/sinks/ostream_sink.h>

#include <cctype>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "log_wrapper.h"

namespace ze4c_test {

struct LogRecord {
    std::string timestamp;  // "YYYY-MM-DD hh:mm:ss.mmm"
    std::string level;      // as printed: "debug", "info", "warning", "error", ...
    std::string file;       // base name of the source file
    int line = 0;
    std::string message;
};

// True when text has the shape of pattern, where 'd' stands for any digit.
inline bool hasShape(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

// Splits "<YYYY-MM-DD hh:mm:ss.mmm> [level] [file:line] message"; false for any other line.
inline bool parseLogLine(const std::string& line, LogRecord* record) {
    constexpr size_t kStampLength = 23;
    if (line.size() < kStampLength + 2 || !hasShape(line.substr(0, kStampLength), "dddd-dd-dd dd:dd:dd.ddd")) {
        return false;
    }
    size_t pos = kStampLength;
    if (line.compare(pos, 2, " [") != 0) return false;
    const size_t levelEnd = line.find("] [", pos + 2);
    if (levelEnd == std::string::npos) return false;
    const size_t locationEnd = line.find("] ", levelEnd + 3);
    if (locationEnd == std::string::npos) return false;
    const std::string location = line.substr(levelEnd + 3, locationEnd - levelEnd - 3);
    const size_t colon = location.rfind(':');
    if (colon == std::string::npos || colon + 1 == location.size()) return false;
    for (size_t i = colon + 1; i < location.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(location[i]))) return false;
    }
    record->timestamp = line.substr(0, kStampLength);
    record->level = line.substr(pos + 2, levelEnd - pos - 2);
    record->file = location.substr(0, colon);
    record->line = std::stoi(location.substr(colon + 1));
    record->message = line.substr(locationEnd + 2);
    return true;
}

class LogCapture {
public:
    explicit LogCapture(const std::string& level = "trace") : logger_(Logger::GetInstance().GetLogger()) {
        savedSinks_ = logger_->sinks();
        logger_->sinks() = {std::make_shared<spdlog::sinks::ostream_sink_mt>(stream_)};
        // Also gives the new sink the logger's line layout.
        Logger::GetInstance().SetLogLevel(level, true);
    }
    ~LogCapture() {
        Logger::GetInstance().SetLogLevel("off", true);
        logger_->sinks() = savedSinks_;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text() const { return stream_.str(); }

    // Every captured line, split into its fields; a line that does not have the layout
    // "<date> <time> [level] [file:line] message" yields a record with an empty level.
    std::vector<LogRecord> records() const {
        std::vector<LogRecord> result;
        std::istringstream lines(stream_.str());
        std::string line;
        while (std::getline(lines, line)) {
            LogRecord record;
            if (!parseLogLine(line, &record)) record = LogRecord{"", "", "", 0, line};
            result.push_back(record);
        }
        return result;
    }

    // True when a line with exactly this level and message was logged.
    bool logged(const std::string& level, const std::string& message) const {
        for (const LogRecord& r : records()) {
            if (r.level == level && r.message == message) return true;
        }
        return false;
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> result;
        for (const LogRecord& r : records()) result.push_back(r.message);
        return result;
    }

private:
    std::shared_ptr<spdlog::logger> logger_;
    std::vector<spdlog::sink_ptr> savedSinks_;
    std::ostringstream stream_;
};

}  // namespace ze4c_test
