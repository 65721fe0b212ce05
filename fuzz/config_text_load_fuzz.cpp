// Fuzz target for the configuration-text reader: arbitrary bytes are loaded from a file
// (long lines, missing final line break, NUL bytes, stray brackets), then every section
// and item is looked up through the typed getters. Must never crash, read out of bounds
// or hold more memory than the file size allows.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fileHelper.h"

namespace {

// One in-memory file reused for every input; its /proc path is what Load opens.
class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("config_text", MFD_CLOEXEC)) {
        if (fd_ < 0) std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& replace(const uint8_t* data, size_t size) {
        if (ftruncate(fd_, 0) != 0) std::abort();
        size_t written = 0;
        while (written < size) {
            const ssize_t n = pwrite(fd_, data + written, size - written, static_cast<off_t>(written));
            if (n <= 0) std::abort();
            written += static_cast<size_t>(n);
        }
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file;
    ZeSdk::fileHelper reader;
    const int code = reader.Load(file.replace(data, size));
    if (code == ZeSdk::ERR_OPEN_FILE_FAILED) std::abort();  // the file always exists

    std::vector<std::string> names;
    if (reader.GetSections(&names) != reader.GetSectionNum()) std::abort();
    for (const std::string& name : names) {
        const ZeSdk::fileSection* section = reader.getSection(name);
        if (section == nullptr) std::abort();
        for (const ZeSdk::fileItem& item : section->items) {
            std::string text;
            int32_t number = 0;
            double real = 0;
            bool flag = false;
            if (reader.GetStringValue(name, item.key, &text) != ZeSdk::RET_OK) std::abort();
            reader.GetIntValue(name, item.key, &number);
            reader.GetDoubleValue(name, item.key, &real);
            reader.GetBoolValueOrDefault(name, item.key, &flag, true);
        }
    }
    return 0;
}
