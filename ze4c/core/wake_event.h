// Wakes a thread that waits for work without losing a notification.
//
// The waiter takes a ticket before it looks for work and waits with that ticket when it
// found none; a Notify() after the ticket was taken ends the wait at once, even when it
// came between the look and the wait:
//     for (;;) {
//         const uint64_t ticket = event.Ticket();
//         if (doWork()) continue;
//         event.WaitFor(ticket, bound);
//     }
// Producers publish their work first, then call Notify().
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace ZeSdk {

class WakeEvent {
public:
    uint64_t Ticket() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return generation_;
    }

    void Notify() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++generation_;
        }
        cv_.notify_all();
    }

    // True when notified after the ticket was taken, false when the timeout passed first.
    bool WaitFor(uint64_t ticket, std::chrono::nanoseconds timeout) const {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return generation_ != ticket; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    uint64_t generation_ = 0;
};

}  // namespace ZeSdk
