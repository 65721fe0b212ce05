// A fixed pool of worker threads running queued tasks in first-in-first-out order.
// Each task is called with the index of the worker that runs it.
#pragma once

#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

namespace ctpl {

class thread_pool {
public:
    explicit thread_pool(int nThreads);
    ~thread_pool();  // stop(true)
    thread_pool(const thread_pool&) = delete;
    thread_pool& operator=(const thread_pool&) = delete;

    // Workers still running (0 once stopped).
    int size() const;

    // Queues f (called as f(workerIndex)) and wakes one worker; the future completes with
    // f's result. A task deleted before it ran (clear_queue, stop(false)) leaves its future
    // with a broken promise.
    template <typename F>
    auto push(F&& f) -> std::future<decltype(f(0))> {
        using Result = decltype(f(0));
        auto task = std::make_shared<std::packaged_task<Result(int)>>(std::forward<F>(f));
        std::future<Result> result = task->get_future();
        {
            std::lock_guard<std::mutex> lock(mutex);
            q.emplace([task](int index) { (*task)(index); });
        }
        cv.notify_one();
        return result;
    }

    // Deletes every task not yet started.
    void clear_queue();

    // wait true: lets the workers run every queued task, then joins them. wait false:
    // deletes the queued tasks and joins the workers once their current task returns.
    // Either way a running task is never interrupted; the pool is empty afterwards.
    void stop(bool wait = false);

private:
    void runWorker(int index);

    std::vector<std::thread> threads;
    std::queue<std::function<void(int)>> q;  // guarded by mutex
    bool isDone = false;                     // guarded by mutex: finish the queue, then leave
    bool isStop = false;                     // guarded by mutex: leave without the queue
    mutable std::mutex mutex;
    std::condition_variable cv;
};

}  // namespace ctpl
