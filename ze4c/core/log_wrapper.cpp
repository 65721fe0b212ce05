#include "log_wrapper.h"

#include <spdlog/async.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_color_sinks.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kPattern = "%Y-%m-%d %H:%M:%S.%e [%l] [%s:%#] %v";
constexpr const char* kLogDirectory = "./log";

spdlog::level::level_enum levelFromText(const std::string& level) {
    if (level == "trace") return spdlog::level::trace;
    if (level == "debug") return spdlog::level::debug;
    if (level == "info") return spdlog::level::info;
    if (level == "warn") return spdlog::level::warn;
    if (level == "error") return spdlog::level::err;
    if (level == "critical") return spdlog::level::critical;
    if (level == "off") return spdlog::level::off;
    return spdlog::level::info;
}

}  // namespace

std::optional<std::string> logLevelFromUserText(const char* text) {
    if (text == nullptr) return std::nullopt;
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "warning") return std::string("warn");
    for (const char* name : {"trace", "debug", "info", "warn", "error", "critical", "off"}) {
        if (lower == name) return lower;
    }
    return std::nullopt;
}

Logger& Logger::GetInstance() {
    static Logger& instance = []() -> Logger& {
        static Logger logger(kLoggerName, std::getenv(kLevelVariable));
        logger.SetLogLevel(logger.userLevel_.value_or("info"), true);
        return logger;
    }();
    return instance;
}

Logger::Logger(std::string name, const char* userLevel)
    : name_(std::move(name)), userLevel_(logLevelFromUserText(userLevel)) {
    // Static objects die in reverse order of construction: making spdlog's registry exist
    // before this object is complete lets the destructor of a static Logger still use it.
    spdlog::get(name_);
    if (userLevel != nullptr && !userLevel_) {
        std::fprintf(stderr,
                     "%s: unknown level '%s' ignored (use trace, debug, info, warn, error, critical or off)\n",
                     kLevelVariable, userLevel);
    }
}

Logger::~Logger() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (logger_ && spdlog::get(name_) == logger_) {
        spdlog::drop(name_);
    }
}

std::shared_ptr<spdlog::logger> Logger::GetLogger() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return logger_;
}

std::string Logger::GetLevelText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return level_;
}

void Logger::SetLogLevel(const std::string& level, bool console) {
    std::lock_guard<std::mutex> lock(mutex_);
    level_ = level;
    try {
        // The sink is chosen once, by the call that creates the logger.
        if (!logger_) {
            if (console) {
                auto logger =
                    std::make_shared<spdlog::logger>(name_, std::make_shared<spdlog::sinks::stdout_color_sink_mt>());
                spdlog::register_logger(logger);
                logger_ = std::move(logger);
            } else {
                const std::string path = std::string(kLogDirectory) + "/" + name_ + ".log";
                std::printf("Save log to file%s\n", path.c_str());
                std::fflush(stdout);
                // Blocks the caller when the queue is full rather than dropping messages.
                logger_ = spdlog::create_async<spdlog::sinks::basic_file_sink_mt>(name_, path);
            }
        }
        logger_->set_formatter(
            std::make_unique<spdlog::pattern_formatter>(kPattern, spdlog::pattern_time_type::local, "\n"));
    } catch (const spdlog::spdlog_ex& error) {
        std::printf("Log initialization failed: %s\n", error.what());
        std::fflush(stdout);
        return;
    }
    const spdlog::level::level_enum mapped = levelFromText(level);
    logger_->set_level(mapped);
    logger_->flush_on(mapped);
}

void Logger::SetDefaultLogLevel(const std::string& level) {
    SetLogLevel(userLevel_.value_or(level), true);
}
