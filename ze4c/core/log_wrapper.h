// The library's one process-wide logger: a thin owner of an spdlog logger named "Mainlog"
// with the line layout "<date time.ms> [level] [file.cpp:line] message".
//
// Log through the ZE_LOG_* macros, which pass the caller's source location:
//     ZE_LOG_INFO("load {} success", path);
//
// The environment variable ZE4C_LOG_LEVEL (trace, debug, info, warn, error, critical or
// off) lets a user see the log without rebuilding: it is the level the logger starts
// with, and it replaces the level the library picks for itself (SetDefaultLogLevel).
#pragma once

#include <spdlog/spdlog.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

class Logger {
public:
    static constexpr const char* kLoggerName = "Mainlog";
    static constexpr const char* kLevelVariable = "ZE4C_LOG_LEVEL";

    // The process-wide logger, created on first use with a console sink at level info,
    // or at the level of ZE4C_LOG_LEVEL when that names one.
    static Logger& GetInstance();

    // A logger of the given name; no spdlog logger exists until the first SetLogLevel.
    // userLevel is the text of ZE4C_LOG_LEVEL (null when unset). The library uses only
    // GetInstance(); separate objects serve tests.
    explicit Logger(std::string name, const char* userLevel = nullptr);
    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // The underlying logger; null while creating it has failed.
    std::shared_ptr<spdlog::logger> GetLogger() const;

    // Sets level and flush level. The first call creates the logger: console true gives a
    // colour console sink on standard output, console false an asynchronous logger writing
    // to "./log/<name>.log". Level names: "trace", "debug", "info", "warn", "error",
    // "critical", "off"; any other text selects info.
    void SetLogLevel(const std::string& level, bool console);

    // Sets the level the library chooses on its own (the C interface keeps the log "off"),
    // on the console sink. A level given through ZE4C_LOG_LEVEL takes its place, so the
    // user's choice survives the library's defaults.
    void SetDefaultLogLevel(const std::string& level);

    // The level text given to the last SetLogLevel.
    std::string GetLevelText() const;

    template <typename... Args>
    void Log(spdlog::source_loc where, spdlog::level::level_enum level, spdlog::format_string_t<Args...> format,
             Args&&... args) {
        if (auto logger = GetLogger()) {
            logger->log(where, level, format, std::forward<Args>(args)...);
        }
    }

private:
    const std::string name_;
    const std::optional<std::string> userLevel_;
    mutable std::mutex mutex_;  // logger_ and level_ change while stage threads log
    std::shared_ptr<spdlog::logger> logger_;
    std::string level_;
};

// Level name for a ZE4C_LOG_LEVEL text: one of the SetLogLevel names, given in any letter
// case ("warning" is taken for "warn"); nothing for an empty or unknown text.
std::optional<std::string> logLevelFromUserText(const char* text);

#define ZE_LOG(level, ...) \
    ::Logger::GetInstance().Log(::spdlog::source_loc{__FILE__, __LINE__, SPDLOG_FUNCTION}, level, __VA_ARGS__)
#define ZE_LOG_TRACE(...) ZE_LOG(::spdlog::level::trace, __VA_ARGS__)
#define ZE_LOG_DEBUG(...) ZE_LOG(::spdlog::level::debug, __VA_ARGS__)
#define ZE_LOG_INFO(...) ZE_LOG(::spdlog::level::info, __VA_ARGS__)
#define ZE_LOG_WARN(...) ZE_LOG(::spdlog::level::warn, __VA_ARGS__)
#define ZE_LOG_ERROR(...) ZE_LOG(::spdlog::level::err, __VA_ARGS__)
#define ZE_LOG_CRITICAL(...) ZE_LOG(::spdlog::level::critical, __VA_ARGS__)
