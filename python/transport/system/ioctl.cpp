#include "ioctl.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace Korvane::sys {

int callIoctl(SystemCalls& sys, int fd, unsigned long request, void* arg, int attempts) {
    int error = 0;
    for (int attempt = 0; attempt < attempts || attempt == 0; ++attempt) {
        const int r = sys.ioctl(fd, request, arg);
        if (r >= 0) return r;
        error = errno != 0 ? errno : EIO;  // a failure must never read as success
        if (error != EINTR && error != EAGAIN && error != ETIMEDOUT) break;
    }
    return -error;
}

void printError(const char* what, int error) { std::fprintf(stderr, "%s: %s\n", what, std::strerror(error)); }

}  // namespace Korvane::sys
