// An emulated kernel behind the transports' system calls: an in-memory file tree for the
// sysfs and procfs files a board shows, character devices whose ioctls and mappings are
// served by emulated drivers, and fault injection for every call.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "transport/system/system_calls.h"

namespace Korvane::emulation {

// What happened, in order, as text: I2C transfers and sleeps (byte for byte).
class Trace {
public:
    void record(std::string event);
    std::vector<std::string> events() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

// A driver behind a character device node.
class EmulatedDevice {
public:
    virtual ~EmulatedDevice() = default;
    // The driver's non-negative result, or -errno.
    virtual int ioctl(unsigned long request, void* arg) = 0;
    // Address of `length` bytes at `offset`, or null with *error set.
    virtual void* map(size_t length, off_t offset, int* error);
    virtual void unmapped(void* address);
};

enum class Call { Open, Close, Ioctl, Mmap, Munmap, Fstat, Readlink, ListDirectory, ReadFile };

class EmulatedKernel final : public sys::SystemCalls {
public:
    // The file tree. Parents are created as needed; a directory lists its entries in the
    // order they were added. Links are only read (readlink), never followed.
    void addFile(const std::string& path, std::string content);
    void addDirectory(const std::string& path);
    void addSymlink(const std::string& path, std::string target);
    void remove(const std::string& path);
    // A device node; `character` false makes fstat report a block device.
    void addDevice(const std::string& path, unsigned major, unsigned minor, std::shared_ptr<EmulatedDevice> device,
                   bool character = true);

    // Makes fstat report the node as a character device or not.
    void setCharacterDevice(const std::string& path, bool character);

    // The next `times` calls of `call` on `path` (empty: any path) fail with `error`;
    // times < 0 makes every such call fail.
    void fail(Call call, const std::string& path, int error, int times = 1);
    // The next `times` ioctls with `request` (on any descriptor) fail with `error`.
    void failIoctl(unsigned long request, int error, int times = 1);

    int ioctlCount(unsigned long request) const;
    int openCount(const std::string& path) const;  // descriptors open on the node now
    int totalOpens(const std::string& path) const;  // successful opens so far
    size_t openDescriptors() const;
    size_t liveMappings() const;
    Trace& trace() { return trace_; }

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

private:
    enum class Kind { File, Directory, Symlink, Device };
    struct Node {
        Kind kind;
        std::string content;                // file content or link target
        std::vector<std::string> entries;   // directory
        std::shared_ptr<EmulatedDevice> device;
        unsigned major = 0, minor = 0;
        bool character = true;
    };
    struct OpenFile {
        std::string path;
        std::shared_ptr<EmulatedDevice> device;
        unsigned major, minor;
    };
    struct Mapping {
        size_t length;
        std::shared_ptr<EmulatedDevice> device;
    };
    struct Fault {
        Call call;
        std::string path;
        unsigned long request;
        int error;
        int remaining;
    };

    Node& makeNode(const std::string& path, Kind kind);
    bool injected(Call call, const std::string& path, unsigned long request = 0);
    std::string pathOf(int fd) const;

    mutable std::recursive_mutex mutex_;
    std::map<std::string, Node> nodes_;
    std::map<int, OpenFile> files_;
    std::map<void*, Mapping> mappings_;
    std::vector<Fault> faults_;
    std::map<unsigned long, int> ioctlCounts_;
    std::map<std::string, int> totalOpens_;
    int nextFd_ = 100;
    Trace trace_;
};

// Hex bytes separated by blanks ("06 33 00 00 00 1e"), as the trace shows them.
std::string hexBytes(const uint8_t* bytes, size_t count);

}  // namespace Korvane::emulation
