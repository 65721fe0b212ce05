#include "system_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

namespace Korvane::sys {

namespace {

bool startsWithDirectory(const std::string& path, const char* directory) {
    const std::string prefix(directory);
    return path.compare(0, prefix.size(), prefix) == 0 && (path.size() == prefix.size() || path[prefix.size()] == '/');
}

std::atomic<SystemCalls*>& current() {
    static RealSystemCalls real;
    static std::atomic<SystemCalls*> installed{&real};
    return installed;
}

}  // namespace

std::string RealSystemCalls::resolve(const std::string& path) const {
    if (!root_.empty() &&
        (startsWithDirectory(path, "/sys") || startsWithDirectory(path, "/proc") || startsWithDirectory(path, "/dev"))) {
        return root_ + path;
    }
    return path;
}

int RealSystemCalls::open(const std::string& path, int flags) { return ::open(resolve(path).c_str(), flags | O_CLOEXEC); }

int RealSystemCalls::close(int fd) { return ::close(fd); }

int RealSystemCalls::ioctl(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }

void* RealSystemCalls::mmap(size_t length, int prot, int flags, int fd, off_t offset) {
    return ::mmap(nullptr, length, prot, flags, fd, offset);
}

int RealSystemCalls::munmap(void* address, size_t length) { return ::munmap(address, length); }

int RealSystemCalls::fstat(int fd, struct stat* status) { return ::fstat(fd, status); }

int RealSystemCalls::readlink(const std::string& path, std::string& target) {
    char buffer[4096];
    const ssize_t n = ::readlink(resolve(path).c_str(), buffer, sizeof buffer);
    if (n < 0) return -1;
    if (static_cast<size_t>(n) == sizeof buffer) {  // possibly cut
        errno = ENAMETOOLONG;
        return -1;
    }
    target.assign(buffer, static_cast<size_t>(n));
    return 0;
}

int RealSystemCalls::listDirectory(const std::string& path, std::vector<std::string>& names) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(resolve(path).c_str()), ::closedir);
    if (!dir) return -1;
    names.clear();
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name(entry->d_name);
        if (name != "." && name != "..") names.push_back(name);
    }
    return errno == 0 ? 0 : -1;
}

int RealSystemCalls::readFile(const std::string& path, std::string& content) {
    // procfs and sysfs files report a size of 0: read until the end instead.
    const int fd = ::open(resolve(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    content.clear();
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) content.append(buffer, static_cast<size_t>(n));
    const int error = errno;
    ::close(fd);
    if (n < 0) {
        errno = error;
        return -1;
    }
    return 0;
}

void RealSystemCalls::sleepFor(std::chrono::microseconds duration) { std::this_thread::sleep_for(duration); }

SystemCalls& systemCalls() { return *current().load(); }

ScopedSystemCalls::ScopedSystemCalls(SystemCalls& replacement) : previous_(current().exchange(&replacement)) {}

ScopedSystemCalls::~ScopedSystemCalls() { current().store(previous_); }

int readFirstLine(SystemCalls& sys, const std::string& path, size_t maxChars, std::string& line) {
    std::string content;
    if (sys.readFile(path, content) != 0) return -1;
    std::optional<std::string> first = firstLine(content, maxChars);
    if (!first) {
        errno = ENODATA;
        return -1;
    }
    line = std::move(*first);
    return 0;
}

std::optional<std::string> firstLine(const std::string& text, size_t maxChars) {
    if (text.empty()) return std::nullopt;
    const size_t end = text.find_first_of(std::string("\n\0", 2));
    return text.substr(0, std::min({end, maxChars, text.size()}));
}

std::vector<std::string> splitLines(const std::string& text, size_t maxChars) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, std::min(end - start, maxChars)));
        start = end + 1;
    }
    return lines;
}

}  // namespace Korvane::sys
