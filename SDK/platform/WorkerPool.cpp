#include "platform/WorkerPool.h"

#include <algorithm>

namespace vexa {

WorkerPool::WorkerPool(size_t threads) {
  threads = std::max<size_t>(threads, 1);
  threads_.reserve(threads);
  for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  hasWork_.notify_all();
  for (auto& t : threads_) {
    if (t.get_id() == std::this_thread::get_id()) {
      t.detach();  // a task destroyed its own pool: let the thread finish alone
    } else {
      t.join();
    }
  }
}

void WorkerPool::post(Task task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  hasWork_.notify_one();
}

void WorkerPool::waitIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [&] { return tasks_.empty() && running_ == 0; });
}

bool WorkerPool::isWorkerThread() const {
  auto self = std::this_thread::get_id();
  return std::any_of(threads_.begin(), threads_.end(),
                     [&](const std::thread& t) { return t.get_id() == self; });
}

void WorkerPool::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    hasWork_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
    if (tasks_.empty()) return;  // stopping and drained
    Task task = std::move(tasks_.front());
    tasks_.pop_front();
    ++running_;
    lock.unlock();
    task();
    task = nullptr;  // captures die outside the lock too
    lock.lock();
    --running_;
    if (tasks_.empty() && running_ == 0) idle_.notify_all();
  }
}

}  // namespace vexa
