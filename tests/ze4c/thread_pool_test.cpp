// The stage threads' pool: tasks run in queue order on the workers and learn their index;
// stopping either finishes or drops the queued tasks, and always joins the workers.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <vector>

#include "thread_pool.h"

namespace {

using namespace std::chrono_literals;

// A task that holds its worker until released.
class Gate {
public:
    void open() { opened_.set_value(); }
    void wait() { gate_.wait(); }

private:
    std::promise<void> opened_;
    std::shared_future<void> gate_ = opened_.get_future().share();
};

TEST(ThreadPoolTest, RunsTasksInQueueOrderWithTheWorkersIndex) {
    ctpl::thread_pool pool(1);
    EXPECT_EQ(pool.size(), 1);
    std::mutex mutex;
    std::vector<int> order;
    std::vector<std::future<int>> results;
    for (int i = 0; i < 5; ++i) {
        results.push_back(pool.push([&, i](int worker) {
            std::lock_guard<std::mutex> lock(mutex);
            order.push_back(i);
            return worker;
        }));
    }
    for (auto& r : results) EXPECT_EQ(r.get(), 0);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

// Two endless tasks (the stage loops) each get a worker of their own.
TEST(ThreadPoolTest, TwoWorkersRunTwoTasksAtOnce) {
    ctpl::thread_pool pool(2);
    Gate gate;
    std::atomic<int> running{0};
    auto task = [&](int worker) {
        ++running;
        gate.wait();
        return worker;
    };
    auto a = pool.push(task);
    auto b = pool.push(task);
    while (running.load() < 2) std::this_thread::sleep_for(1ms);  // hangs if they queue behind each other
    gate.open();
    const int workers = a.get() + b.get();
    EXPECT_EQ(workers, 0 + 1);
}

TEST(ThreadPoolTest, StopWithWaitRunsTheQueuedTasks) {
    ctpl::thread_pool pool(1);
    Gate gate;
    std::atomic<int> ran{0};
    auto first = pool.push([&](int) { gate.wait(); ++ran; });
    auto second = pool.push([&](int) { ++ran; });
    std::thread opener([&] {
        std::this_thread::sleep_for(20ms);
        gate.open();
    });
    pool.stop(true);
    opener.join();
    EXPECT_EQ(ran.load(), 2);
    EXPECT_EQ(pool.size(), 0);
    EXPECT_NO_THROW(second.get());
}

TEST(ThreadPoolTest, StopWithoutWaitAndClearQueueDropQueuedTasks) {
    for (const bool clearFirst : {false, true}) {
        ctpl::thread_pool pool(1);
        Gate gate;
        std::atomic<bool> started{false};
        std::atomic<int> ran{0};
        auto running = pool.push([&](int) { started = true; gate.wait(); ++ran; });
        auto queued = pool.push([&](int) { ++ran; });
        while (!started.load()) std::this_thread::sleep_for(1ms);
        if (clearFirst) {
            pool.clear_queue();
            gate.open();
            pool.stop(true);  // nothing is left to wait for
        } else {
            // The queued task's future breaks when stop deletes it; only then may the
            // running task return.
            std::thread opener([&] {
                queued.wait();
                gate.open();
            });
            pool.stop(false);
            opener.join();
        }
        EXPECT_NO_THROW(running.get()) << "a running task is never cut short";
        EXPECT_EQ(ran.load(), 1) << "clearFirst " << clearFirst;
        EXPECT_THROW(queued.get(), std::future_error);
        EXPECT_EQ(pool.size(), 0);
    }
}

}  // namespace
