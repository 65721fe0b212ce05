// Sole owner of one memory mapping made through SystemCalls; unmaps it when destroyed.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include "system_calls.h"

namespace Korvane::sys {

class MappedMemory {
public:
    MappedMemory() = default;
    // Maps `length` bytes of `fd` at `offset` read-write and shared; check isValid().
    MappedMemory(SystemCalls& sys, int fd, size_t length, off_t offset)
        : sys_(&sys), address_(sys.mmap(length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset)), length_(length) {
        if (address_ == MAP_FAILED) address_ = nullptr;
    }
    ~MappedMemory() { unmap(); }
    MappedMemory(MappedMemory&& other) noexcept
        : sys_(other.sys_), address_(std::exchange(other.address_, nullptr)), length_(other.length_) {}
    MappedMemory& operator=(MappedMemory&& other) noexcept {
        if (this != &other) {
            unmap();
            sys_ = other.sys_;
            address_ = std::exchange(other.address_, nullptr);
            length_ = other.length_;
        }
        return *this;
    }
    MappedMemory(const MappedMemory&) = delete;
    MappedMemory& operator=(const MappedMemory&) = delete;

    bool isValid() const { return address_ != nullptr; }
    const uint8_t* data() const { return static_cast<const uint8_t*>(address_); }
    size_t size() const { return length_; }

    // Unmaps now; 0, or -1 with errno when the kernel refused (the mapping is dropped
    // either way, as nothing more can be done with it).
    int unmap() {
        if (address_ == nullptr) return 0;
        return sys_->munmap(std::exchange(address_, nullptr), length_);
    }

private:
    SystemCalls* sys_ = nullptr;
    void* address_ = nullptr;
    size_t length_ = 0;
};

}  // namespace Korvane::sys
