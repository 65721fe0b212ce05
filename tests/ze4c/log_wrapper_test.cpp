// The process-wide logger: line layout, level names, sink choice, failure report and the
// ZE4C_LOG_LEVEL switch.
#include <gtest/gtest.h>
#include <spdlog/async_logger.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_color_sinks.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "log_capture.h"
#include "log_wrapper.h"
#include "scratch_dir.h"

namespace {

using ze4c_test::LogCapture;

// Catches a wrong pattern: full path instead of the base name, missing brackets, a
// different level name or line ending.
TEST(LoggerLayout, LineShowsTimeLevelFileLineAndMessage) {
    LogCapture capture("info");
    const int line = __LINE__ + 1;
    ZE_LOG_INFO("hello {} and {}", 42, "world");
    const std::string text = capture.text();
    ASSERT_GT(text.size(), 24u);
    EXPECT_TRUE(ze4c_test::hasShape(text.substr(0, 24), "dddd-dd-dd dd:dd:dd.ddd ")) << text;
    EXPECT_EQ(text.substr(24), "[info] [log_wrapper_test.cpp:" + std::to_string(line) + "] hello 42 and world\n");
}

// Catches a wrong level mapping, or a flush level that lags the level (messages stuck in
// a buffer when the process dies).
TEST(LoggerLevels, NamesMapToLevelAndFlushLevel) {
    Logger logger("ze4c_test_levels");
    const struct {
        const char* text;
        spdlog::level::level_enum level;
    } cases[] = {
        {"trace", spdlog::level::trace}, {"debug", spdlog::level::debug},   {"info", spdlog::level::info},
        {"warn", spdlog::level::warn},   {"error", spdlog::level::err},     {"critical", spdlog::level::critical},
        {"off", spdlog::level::off},     {"WARN", spdlog::level::info},     {"warning", spdlog::level::info},
        {"", spdlog::level::info},
    };
    for (const auto& c : cases) {
        logger.SetLogLevel(c.text, true);
        ASSERT_NE(logger.GetLogger(), nullptr);
        EXPECT_EQ(logger.GetLogger()->level(), c.level) << '"' << c.text << '"';
        EXPECT_EQ(logger.GetLogger()->flush_level(), c.level) << '"' << c.text << '"';
        EXPECT_EQ(logger.GetLevelText(), c.text);
    }
}

TEST(LoggerLevels, WarnHidesInfoAndShowsWarnings) {
    LogCapture capture("warn");
    ZE_LOG_INFO("hidden info");
    ZE_LOG_WARN("shown warning");
    ZE_LOG_ERROR("shown error");
    const auto records = capture.records();
    ASSERT_EQ(records.size(), 2u) << capture.text();
    EXPECT_EQ(records[0].level, "warning");
    EXPECT_EQ(records[0].message, "shown warning");
    EXPECT_EQ(records[1].level, "error");
}

// The sink is chosen by the call that creates the logger; a later call asking for a file
// must not replace the console logger (nor print the file message).
TEST(LoggerSinks, LaterFileRequestKeepsTheConsoleLogger) {
    Logger logger("ze4c_test_keep_console");
    logger.SetLogLevel("info", true);
    const auto first = logger.GetLogger();
    testing::internal::CaptureStdout();
    logger.SetLogLevel("debug", false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(logger.GetLogger(), first);
    ASSERT_EQ(first->sinks().size(), 1u);
    EXPECT_NE(std::dynamic_pointer_cast<spdlog::sinks::stdout_color_sink_mt>(first->sinks()[0]), nullptr);
    EXPECT_EQ(first->level(), spdlog::level::debug);
    EXPECT_EQ(spdlog::get("ze4c_test_keep_console"), first) << "the logger is registered under its name";
}

TEST(LoggerSinks, FileLoggerWritesUnderLogDirectory) {
    ze4c_test::ScratchDir dir;
    ze4c_test::WorkingDirectory cwd(dir.path());
    Logger logger("ze4c_test_file");
    testing::internal::CaptureStdout();
    logger.SetLogLevel("info", false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Save log to file./log/ze4c_test_file.log\n");
    const auto fileLogger = logger.GetLogger();
    ASSERT_NE(fileLogger, nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<spdlog::async_logger>(fileLogger), nullptr);
    logger.Log(spdlog::source_loc{"some/dir/stage.cpp", 76, "f"}, spdlog::level::debug, "below the level");
    logger.Log(spdlog::source_loc{"some/dir/stage.cpp", 77, "f"}, spdlog::level::info, "to file {}", 5);

    // The file sink runs on spdlog's worker thread: wait for the line to arrive.
    const std::string file = (dir.path() / "log" / "ze4c_test_file.log").string();
    std::string content;
    for (int i = 0; i < 500 && content.find('\n') == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(file);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(content.size(), 24u) << content;
    EXPECT_TRUE(ze4c_test::hasShape(content.substr(0, 24), "dddd-dd-dd dd:dd:dd.ddd ")) << content;
    EXPECT_EQ(content.substr(24), "[info] [stage.cpp:77] to file 5\n");
    // Taking the sink's lock orders the worker's last write before the logger is destroyed
    // in a way ThreadSanitizer can see (spdlog's own reference counting is not instrumented).
    for (const auto& sink : fileLogger->sinks()) sink->flush();
}

// A logger that cannot be created reports why, keeps no logger and logs nothing.
TEST(LoggerFailure, NameAlreadyRegisteredIsReported) {
    Logger& process = Logger::GetInstance();
    const auto processLogger = process.GetLogger();
    Logger duplicate(Logger::kLoggerName);
    testing::internal::CaptureStdout();
    duplicate.SetLogLevel("debug", true);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Log initialization failed: ", 0), 0u) << out;
    EXPECT_NE(out.find("Mainlog"), std::string::npos) << out;
    EXPECT_EQ(out.back(), '\n');
    EXPECT_EQ(duplicate.GetLogger(), nullptr);
    duplicate.Log(spdlog::source_loc{__FILE__, __LINE__, ""}, spdlog::level::critical, "goes nowhere");
    EXPECT_EQ(spdlog::get(Logger::kLoggerName), processLogger) << "the process logger stays registered";
}

TEST(LoggerEnvironment, UserTextNamesALevel) {
    const struct {
        const char* text;
        const char* level;  // null: not a level
    } cases[] = {
        {"debug", "debug"}, {"DEBUG", "debug"}, {"Warning", "warn"}, {"warn", "warn"}, {"off", "off"},
        {"critical", "critical"}, {"loud", nullptr}, {"", nullptr}, {nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const auto level = logLevelFromUserText(c.text);
        if (c.level == nullptr) {
            EXPECT_FALSE(level.has_value()) << (c.text ? c.text : "(null)");
        } else {
            EXPECT_EQ(level.value_or("(none)"), c.level) << c.text;
        }
    }
}

// The library silences itself through SetDefaultLogLevel; a level chosen by the user must
// survive that, while explicit SetLogLevel calls still apply.
TEST(LoggerEnvironment, UserLevelReplacesTheLibraryDefault) {
    Logger chosen("ze4c_test_env_debug", "debug");
    chosen.SetDefaultLogLevel("off");
    EXPECT_EQ(chosen.GetLogger()->level(), spdlog::level::debug);
    chosen.SetLogLevel("error", true);
    EXPECT_EQ(chosen.GetLogger()->level(), spdlog::level::err);

    Logger unset("ze4c_test_env_unset", nullptr);
    unset.SetDefaultLogLevel("off");
    EXPECT_EQ(unset.GetLogger()->level(), spdlog::level::off);

    testing::internal::CaptureStderr();
    Logger unknown("ze4c_test_env_unknown", "loud");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ZE4C_LOG_LEVEL: unknown level 'loud'"), std::string::npos) << err;
    unknown.SetDefaultLogLevel("off");
    EXPECT_EQ(unknown.GetLogger()->level(), spdlog::level::off);
}

// The process logger reads ZE4C_LOG_LEVEL when it is created; run in a fresh process so
// that it is created there. Catches a misspelt variable name.
TEST(LoggerEnvironmentDeathTest, ProcessLoggerStartsAtTheUsersLevel) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ZE4C_LOG_LEVEL", "debug", 1);
            Logger& logger = Logger::GetInstance();
            const bool startsAtDebug = logger.GetLogger()->level() == spdlog::level::debug;
            logger.SetDefaultLogLevel("off");
            const bool staysAtDebug = logger.GetLogger()->level() == spdlog::level::debug;
            std::exit(startsAtDebug && staysAtDebug ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

// Stage threads log while the caller's thread changes the level; under ThreadSanitizer
// this catches unguarded access to the logger, and no message may be lost.
TEST(LoggerConcurrency, LoggingWhileTheLevelChanges) {
    LogCapture capture("info");
    constexpr int kMessages = 200;
    auto writer = [](int id) {
        for (int i = 0; i < kMessages; ++i) ZE_LOG_INFO("thread {} message {}", id, i);
    };
    std::thread a(writer, 1);
    std::thread b(writer, 2);
    for (int i = 0; i < 50; ++i) Logger::GetInstance().SetLogLevel(i % 2 ? "info" : "debug", true);
    a.join();
    b.join();
    EXPECT_EQ(capture.records().size(), 2u * kMessages);
}

}  // namespace
