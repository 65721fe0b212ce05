// Symbol visibility of libze4c: only the C interfaces are exported; the processing core's
// classes stay internal to the library.
#pragma once

#define ZE4C_EXPORT __attribute__((visibility("default")))
