// Diagnostic log files of the correction library: plain-text files in the working
// directory, written only when the caller switches logging on for a call. Every writer
// takes the switch first and does nothing unless it is 1; a file that cannot be opened
// is skipped silently, so logging never changes a result.
#pragma once

#include <cstdint>

namespace NAMESPACE_CORR {

inline constexpr const char* DBG_INIT_LOG_FILE = "zealib_tofcorrection_init_log.txt";
inline constexpr const char* DBG_DYNCONFIG_LOG_FILE = "zealib_tofcorrection_dynconfig_log.txt";
inline constexpr const char* DBG_RUN_LOG_FILE = "zealib_tofcorrection_run_log.txt";
inline constexpr const char* DBG_RELEASE_LOG_FILE = "zealib_tofcorrection_release_log.txt";
inline constexpr const char* DBG_VERSION_FILE = "zealib_tofcorrection_version.txt";

// Phrases of the log texts, in the GBK code page the log files use.
inline constexpr const char* DBG_GBK_INIT_EXCEPTION = "\xb3\xf5\xca\xbc\xbb\xaf\xd2\xec\xb3\xa3\xa3\xa1";  // "initialisation abnormal!"
inline constexpr const char* DBG_GBK_DYNCONFIG_EXCEPTION =
    "\xb6\xaf\xcc\xac\xb2\xce\xca\xfd\xc5\xe4\xd6\xc3\xd2\xec\xb3\xa3\xa3\xa1";  // "dynamic configuration abnormal!"
inline constexpr const char* DBG_GBK_INVALID_DYNPARA = "\xb6\xaf\xcc\xac\xb2\xce\xca\xfd\xce\xde\xd0\xa7";  // "dynamic parameter invalid"

// Empties pcFileName and writes pcFirstText into it.
void DBG_ResetLogFile(uint8_t ucEnableLogFile, const char* pcFileName, const char* pcFirstText);

// Appends printf-formatted text to pcFileName.
void DBG_WriteLog(uint8_t ucEnableLogFile, const char* pcFileName, const char* pcFormat, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace NAMESPACE_CORR
