// Result of every operation of the processing core.
#pragma once

namespace ZeSdk {

enum Status : int {
    STATUS_OK = 0,
    STATUS_BUSY = 1,
    STATUS_UNREACHABLE = 2,
    STATUS_INVALID_ARGUMENT = 3,
    STATUS_UNAVAILABLE = 4,
    STATUS_GENERIC_ERROR = 5,
    STATUS_IOCTL_ERROR = 6,
    STATUS_DATA_IGNORE = 7,
};

// The text reported for a status: its name, "" for STATUS_OK, "UNKNOWN STATUS" otherwise.
const char* statusText(int status);

}  // namespace ZeSdk
