#include "emulated_kernel.h"

#include <sys/mman.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstdio>

namespace Korvane::emulation {

namespace {

std::string parentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string baseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

int failWith(int error) {
    errno = error;
    return -1;
}

}  // namespace

void Trace::record(std::string event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
}

std::vector<std::string> Trace::events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

void Trace::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
}

void* EmulatedDevice::map(size_t, off_t, int* error) {
    *error = ENODEV;
    return nullptr;
}

void EmulatedDevice::unmapped(void*) {}

std::string hexBytes(const uint8_t* bytes, size_t count) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : " %02x", bytes[i]);
        text += hex;
    }
    return text;
}

EmulatedKernel::Node& EmulatedKernel::makeNode(const std::string& path, Kind kind) {
    if (path != "/" && nodes_.count(path) == 0) {
        const std::string parent = parentOf(path);
        Node& directory = nodes_.count(parent) ? nodes_[parent] : makeNode(parent, Kind::Directory);
        directory.entries.push_back(baseName(path));
    }
    Node& node = nodes_[path];
    node.kind = kind;
    return node;
}

void EmulatedKernel::addFile(const std::string& path, std::string content) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    makeNode(path, Kind::File).content = std::move(content);
}

void EmulatedKernel::addDirectory(const std::string& path) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (nodes_.count(path) == 0) makeNode(path, Kind::Directory);
}

void EmulatedKernel::addSymlink(const std::string& path, std::string target) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    makeNode(path, Kind::Symlink).content = std::move(target);
}

void EmulatedKernel::remove(const std::string& path) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (auto it = nodes_.lower_bound(path); it != nodes_.end() && it->first.compare(0, path.size(), path) == 0;) {
        const bool inside = it->first.size() == path.size() || it->first[path.size()] == '/';
        it = inside ? nodes_.erase(it) : std::next(it);
    }
    auto parent = nodes_.find(parentOf(path));
    if (parent == nodes_.end()) return;
    auto& entries = parent->second.entries;
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
        if (*entry == baseName(path)) {
            entries.erase(entry);
            break;
        }
    }
}

void EmulatedKernel::addDevice(const std::string& path, unsigned major, unsigned minor,
                               std::shared_ptr<EmulatedDevice> device, bool character) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Node& node = makeNode(path, Kind::Device);
    node.device = std::move(device);
    node.major = major;
    node.minor = minor;
    node.character = character;
}

void EmulatedKernel::setCharacterDevice(const std::string& path, bool character) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    nodes_.at(path).character = character;
}

void EmulatedKernel::fail(Call call, const std::string& path, int error, int times) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    faults_.push_back(Fault{call, path, 0, error, times});
}

void EmulatedKernel::failIoctl(unsigned long request, int error, int times) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    faults_.push_back(Fault{Call::Ioctl, std::string(), request, error, times});
}

bool EmulatedKernel::injected(Call call, const std::string& path, unsigned long request) {
    for (auto fault = faults_.begin(); fault != faults_.end(); ++fault) {
        if (fault->call != call || (!fault->path.empty() && fault->path != path) ||
            (fault->request != 0 && fault->request != request)) {
            continue;
        }
        errno = fault->error;
        if (fault->remaining > 0 && --fault->remaining == 0) faults_.erase(fault);
        return true;
    }
    return false;
}

int EmulatedKernel::ioctlCount(unsigned long request) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = ioctlCounts_.find(request);
    return it == ioctlCounts_.end() ? 0 : it->second;
}

int EmulatedKernel::openCount(const std::string& path) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    int count = 0;
    for (const auto& [fd, file] : files_) count += file.path == path ? 1 : 0;
    return count;
}

int EmulatedKernel::totalOpens(const std::string& path) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = totalOpens_.find(path);
    return it == totalOpens_.end() ? 0 : it->second;
}

size_t EmulatedKernel::openDescriptors() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return files_.size();
}

size_t EmulatedKernel::liveMappings() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return mappings_.size();
}

std::string EmulatedKernel::pathOf(int fd) const {
    auto it = files_.find(fd);
    return it == files_.end() ? std::string() : it->second.path;
}

int EmulatedKernel::open(const std::string& path, int) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (injected(Call::Open, path)) return -1;
    auto it = nodes_.find(path);
    if (it == nodes_.end()) return failWith(ENOENT);
    if (it->second.kind != Kind::Device) return failWith(ENXIO);  // only device nodes are opened
    const Node& node = it->second;
    const int fd = nextFd_++;
    files_[fd] = OpenFile{path, node.device, node.major, node.minor};
    ++totalOpens_[path];
    return fd;
}

int EmulatedKernel::close(int fd) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (injected(Call::Close, pathOf(fd))) return -1;
    return files_.erase(fd) == 1 ? 0 : failWith(EBADF);
}

int EmulatedKernel::ioctl(int fd, unsigned long request, void* arg) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ++ioctlCounts_[request];
    auto it = files_.find(fd);
    if (it == files_.end()) return failWith(EBADF);
    if (injected(Call::Ioctl, it->second.path, request)) return -1;
    const int r = it->second.device->ioctl(request, arg);
    return r < 0 ? failWith(-r) : r;
}

void* EmulatedKernel::mmap(size_t length, int, int, int fd, off_t offset) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = files_.find(fd);
    if (it == files_.end()) {
        errno = EBADF;
        return MAP_FAILED;
    }
    if (injected(Call::Mmap, it->second.path)) return MAP_FAILED;
    int error = 0;
    void* address = it->second.device->map(length, offset, &error);
    if (address == nullptr) {
        errno = error;
        return MAP_FAILED;
    }
    mappings_[address] = Mapping{length, it->second.device};
    return address;
}

int EmulatedKernel::munmap(void* address, size_t length) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (injected(Call::Munmap, std::string())) return -1;
    auto it = mappings_.find(address);
    if (it == mappings_.end() || it->second.length != length) return failWith(EINVAL);
    it->second.device->unmapped(address);
    mappings_.erase(it);
    return 0;
}

int EmulatedKernel::fstat(int fd, struct stat* status) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto it = files_.find(fd);
    if (it == files_.end()) return failWith(EBADF);
    if (injected(Call::Fstat, it->second.path)) return -1;
    *status = {};
    const Node& node = nodes_.at(it->second.path);
    status->st_mode = (node.character ? S_IFCHR : S_IFBLK) | 0660;
    status->st_rdev = makedev(it->second.major, it->second.minor);
    return 0;
}

int EmulatedKernel::readlink(const std::string& path, std::string& target) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (injected(Call::Readlink, path)) return -1;
    auto it = nodes_.find(path);
    if (it == nodes_.end()) return failWith(ENOENT);
    if (it->second.kind != Kind::Symlink) return failWith(EINVAL);
    target = it->second.content;
    return 0;
}

int EmulatedKernel::listDirectory(const std::string& path, std::vector<std::string>& names) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (injected(Call::ListDirectory, path)) return -1;
    auto it = nodes_.find(path);
    if (it == nodes_.end()) return failWith(ENOENT);
    if (it->second.kind != Kind::Directory) return failWith(ENOTDIR);
    names = it->second.entries;
    return 0;
}

int EmulatedKernel::readFile(const std::string& path, std::string& content) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (injected(Call::ReadFile, path)) return -1;
    auto it = nodes_.find(path);
    if (it == nodes_.end()) return failWith(ENOENT);
    if (it->second.kind == Kind::Directory) return failWith(EISDIR);
    if (it->second.kind != Kind::File) return failWith(EINVAL);
    content = it->second.content;
    return 0;
}

void EmulatedKernel::sleepFor(std::chrono::microseconds duration) {
    trace_.record("sleep " + std::to_string(duration.count()) + "us");
}

}  // namespace Korvane::emulation
