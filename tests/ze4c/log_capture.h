// Captures what the library logs through the process-wide Logger: while an object lives,
// the logger writes (with its own line layout) into a string instead of the console.
#pragma once

#include <spdlog/sinks/ostream_sink.h>

#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "log_wrapper.h"

namespace ze4c_test {

struct LogRecord {
    std::string level;    // as printed: "debug", "info", "warning", "error", ...
    std::string file;     // base name of the source file
    int line = 0;
    std::string message;
};

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
        static const std::regex layout(R"(^\S+ \S+ \[([a-z]+)\] \[([^:\]]+):(\d+)\] (.*)$)");
        std::vector<LogRecord> result;
        std::istringstream lines(stream_.str());
        std::string line;
        while (std::getline(lines, line)) {
            std::smatch m;
            LogRecord record;
            if (std::regex_match(line, m, layout)) {
                record = {m[1], m[2], std::stoi(m[3]), m[4]};
            } else {
                record.message = line;
            }
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
