#include "parallel_copy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SANITIZE_THREAD__)
#define ZE4C_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZE4C_THREAD_SANITIZER 1
#endif
#endif

namespace ZeSdk {

namespace {
constexpr size_t kMinParallelBytes = 256 * 1024;
}

void ParallelCopy(void* dst, const void* src, size_t bytes, int threads) {
#ifdef ZE4C_THREAD_SANITIZER
    // The OpenMP runtime is not instrumented: ThreadSanitizer would take its own
    // hand-over between the team's threads for races. Instrumented builds copy serially.
    threads = 1;
#endif
    if (threads <= 1 || bytes < kMinParallelBytes) {
        std::memcpy(dst, src, bytes);
        return;
    }
    auto* out = static_cast<uint8_t*>(dst);
    const auto* in = static_cast<const uint8_t*>(src);
    const size_t share = (bytes + threads - 1) / threads;
#pragma omp parallel for num_threads(threads) schedule(static)
    for (int i = 0; i < threads; ++i) {
        const size_t begin = static_cast<size_t>(i) * share;
        if (begin < bytes) std::memcpy(out + begin, in + begin, std::min(share, bytes - begin));
    }
}

}  // namespace ZeSdk
