// Copies of whole image slots, spread over a small OpenMP team.
#pragma once

#include <cstddef>

namespace ZeSdk {

// Copies bytes from src to dst (not overlapping) with up to `threads` threads, each taking
// one contiguous share. Small copies run on the calling thread alone: starting a team
// would cost more than it saves.
void ParallelCopy(void* dst, const void* src, size_t bytes, int threads);

}  // namespace ZeSdk
