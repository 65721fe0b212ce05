#include "status.h"

namespace ZeSdk {

const char* statusText(int status) {
    switch (status) {
        case STATUS_OK: return "";
        case STATUS_BUSY: return "STATUS_BUSY";
        case STATUS_UNREACHABLE: return "STATUS_UNREACHABLE";
        case STATUS_INVALID_ARGUMENT: return "STATUS_INVALID_ARGUMENT";
        case STATUS_UNAVAILABLE: return "STATUS_UNAVAILABLE";
        case STATUS_GENERIC_ERROR: return "STATUS_GENERIC_ERROR";
        case STATUS_IOCTL_ERROR: return "STATUS_IOCTL_ERROR";
        case STATUS_DATA_IGNORE: return "STATUS_DATA_IGNORE";
        default: return "UNKNOWN STATUS";
    }
}

}  // namespace ZeSdk
