// Sole owner of one descriptor opened through SystemCalls; closes it when destroyed.
#pragma once

#include <utility>

#include "system_calls.h"

namespace Korvane::sys {

class UniqueFd {
public:
    UniqueFd() = default;
    UniqueFd(SystemCalls& sys, int fd) : sys_(&sys), fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : sys_(other.sys_), fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            sys_ = other.sys_;
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    bool isValid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // Gives up ownership without closing.
    [[nodiscard]] int release() { return std::exchange(fd_, -1); }
    void reset() {
        if (fd_ >= 0) sys_->close(fd_);
        fd_ = -1;
    }

private:
    SystemCalls* sys_ = nullptr;
    int fd_ = -1;
};

}  // namespace Korvane::sys
