#include "vc_TofCorrPostprocCode/Debug/zeaDebug_Corr.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace NAMESPACE_CORR {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void DBG_ResetLogFile(uint8_t ucEnableLogFile, const char* pcFileName, const char* pcFirstText) {
    if (ucEnableLogFile != 1) return;
    FilePtr file(std::fopen(pcFileName, "wb"));
    if (!file) return;
    std::fputs(pcFirstText, file.get());
}

void DBG_WriteLog(uint8_t ucEnableLogFile, const char* pcFileName, const char* pcFormat, ...) {
    if (ucEnableLogFile != 1) return;
    FilePtr file(std::fopen(pcFileName, "ab"));
    if (!file) return;
    va_list args;
    va_start(args, pcFormat);
    std::vfprintf(file.get(), pcFormat, args);
    va_end(args);
}

}  // namespace NAMESPACE_CORR
