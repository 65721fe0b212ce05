#include "korvane_types.h"

namespace Korvane {

const char* to_str(TofErrorCode code) {
    switch (code) {
        case KorvaneSuccess: return "Success";
        case KorvaneInvalidParameter: return "Invalid parameter";
        case KorvaneNoCache: return "No cache";
        case KorvaneUnkownDevice: return "Unkown device";
        case KorvaneNotImplemented: return "Not implemented";
        case KorvaneSkipFrame: return "Skip frame";
        case KorvaneSystemError: return "System error";
        case KorvaneUnkownError: break;
    }
    return "Unknown error";
}

}  // namespace Korvane
