// The one ioctl wrapper of the transports.
#pragma once

#include "system_calls.h"

namespace Korvane::sys {

// Runs the ioctl and returns the driver's non-negative result, or -errno. With more than
// one attempt it repeats the call while the error is EINTR, EAGAIN or ETIMEDOUT. Messages
// are left to the caller, who knows what was being done.
int callIoctl(SystemCalls& sys, int fd, unsigned long request, void* arg, int attempts = 1);

// Writes "<what>: <error text>" on standard error, as perror does, for the error `error`
// (a positive errno value).
void printError(const char* what, int error);

}  // namespace Korvane::sys
