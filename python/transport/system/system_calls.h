// The system calls the transports make, behind one interface: the real kernel by default,
// an emulated one in tests. Every operation follows the POSIX convention (-1 or MAP_FAILED
// with errno set on failure), so callers read like ordinary system code.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace Korvane::sys {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    virtual int open(const std::string& path, int flags) = 0;
    virtual int close(int fd) = 0;
    // Returns the driver's non-negative result, or -1 with errno.
    virtual int ioctl(int fd, unsigned long request, void* arg) = 0;
    virtual void* mmap(size_t length, int prot, int flags, int fd, off_t offset) = 0;
    virtual int munmap(void* address, size_t length) = 0;
    virtual int fstat(int fd, struct stat* status) = 0;
    // The link's target as stored (not resolved).
    virtual int readlink(const std::string& path, std::string& target) = 0;
    // Entry names in the order the directory returns them, without "." and "..".
    virtual int listDirectory(const std::string& path, std::vector<std::string>& names) = 0;
    // The whole content of a (small) text file such as a sysfs attribute or a procfs table.
    virtual int readFile(const std::string& path, std::string& content) = 0;
    virtual void sleepFor(std::chrono::microseconds duration) = 0;
};

// The running kernel. Paths under /sys, /proc and /dev are looked up below `root`, so a
// directory tree captured from a board can stand in for the real one.
class RealSystemCalls final : public SystemCalls {
public:
    explicit RealSystemCalls(std::string root = std::string()) : root_(std::move(root)) {}

    int open(const std::string& path, int flags) override;
    int close(int fd) override;
    int ioctl(int fd, unsigned long request, void* arg) override;
    void* mmap(size_t length, int prot, int flags, int fd, off_t offset) override;
    int munmap(void* address, size_t length) override;
    int fstat(int fd, struct stat* status) override;
    int readlink(const std::string& path, std::string& target) override;
    int listDirectory(const std::string& path, std::vector<std::string>& names) override;
    int readFile(const std::string& path, std::string& content) override;
    void sleepFor(std::chrono::microseconds duration) override;

    // The path actually used for `path`.
    std::string resolve(const std::string& path) const;

private:
    std::string root_;
};

// The process-wide system calls: the running kernel unless a ScopedSystemCalls replaced it.
SystemCalls& systemCalls();

// Replaces the process-wide system calls for its lifetime (tests install an emulated
// kernel with it). A transport keeps the system calls it was built with, so the
// replacement must be installed before and outlive every transport built meanwhile.
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(SystemCalls& replacement);
    ~ScopedSystemCalls();
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

private:
    SystemCalls* previous_;
};

// The first line of a text, cut at the line break (or at a NUL) and at `maxChars`
// characters; nullopt for an empty text.
std::optional<std::string> firstLine(const std::string& text, size_t maxChars);

// The first line of a file, cut at the line break (or at a NUL, as device-tree strings end
// with one) and at `maxChars` characters. -1 with errno when the file cannot be read, and
// -1 with ENODATA when it is empty.
int readFirstLine(SystemCalls& sys, const std::string& path, size_t maxChars, std::string& line);

// The lines of a text, each cut at `maxChars` characters (the rest of a longer line is
// dropped), without their line breaks.
std::vector<std::string> splitLines(const std::string& text, size_t maxChars);

}  // namespace Korvane::sys
