#include "thread_pool.h"

namespace ctpl {

thread_pool::thread_pool(int nThreads) {
    threads.reserve(nThreads);
    for (int i = 0; i < nThreads; ++i) threads.emplace_back(&thread_pool::runWorker, this, i);
}

thread_pool::~thread_pool() { stop(true); }

int thread_pool::size() const {
    std::lock_guard<std::mutex> lock(mutex);
    return static_cast<int>(threads.size());
}

void thread_pool::runWorker(int index) {
    for (;;) {
        std::function<void(int)> task;
        {
            std::unique_lock<std::mutex> lock(mutex);
            cv.wait(lock, [this] { return isStop || isDone || !q.empty(); });
            if (isStop || q.empty()) return;
            task = std::move(q.front());
            q.pop();
        }
        task(index);
    }
}

void thread_pool::clear_queue() {
    std::queue<std::function<void(int)>> dropped;
    std::lock_guard<std::mutex> lock(mutex);
    q.swap(dropped);
}

void thread_pool::stop(bool wait) {
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (wait) {
            isDone = true;
        } else {
            isStop = true;
            std::queue<std::function<void(int)>> dropped;
            q.swap(dropped);
        }
        workers.swap(threads);
    }
    cv.notify_all();
    for (std::thread& worker : workers) worker.join();
}

}  // namespace ctpl
