#include "vexa/platform/WorkerPool.h"

#include <algorithm>

namespace vexa {

WorkerPool::WorkerPool(size_t threads) : state_(std::make_shared<State>()) {
  threads = std::max<size_t>(threads, 1);
  threads_.reserve(threads);
  // Each worker co-owns the state, so one that outlives the pool (see the
  // destructor) never touches freed memory.
  for (size_t i = 0; i < threads; ++i) threads_.emplace_back([state = state_] { work(*state); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
  }
  state_->hasWork.notify_all();
  for (auto& t : threads_) {
    if (t.get_id() == std::this_thread::get_id()) {
      t.detach();  // a task destroyed its own pool: the thread drains the rest alone
    } else {
      t.join();
    }
  }
}

void WorkerPool::post(Task task) {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->tasks.push_back(std::move(task));
  }
  state_->hasWork.notify_one();
}

void WorkerPool::waitIdle() {
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->idle.wait(lock, [&] { return state_->tasks.empty() && state_->running == 0; });
}

bool WorkerPool::isIdle() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->tasks.empty() && state_->running == 0;
}

bool WorkerPool::isWorkerThread() const {
  auto self = std::this_thread::get_id();
  return std::any_of(threads_.begin(), threads_.end(),
                     [&](const std::thread& t) { return t.get_id() == self; });
}

void WorkerPool::work(State& s) {
  std::unique_lock<std::mutex> lock(s.mutex);
  for (;;) {
    s.hasWork.wait(lock, [&] { return s.stopping || !s.tasks.empty(); });
    if (s.tasks.empty()) return;  // stopping and drained
    Task task = std::move(s.tasks.front());
    s.tasks.pop_front();
    ++s.running;
    lock.unlock();
    task();
    task = nullptr;  // captures die outside the lock too, possibly with the pool
    lock.lock();
    --s.running;
    if (s.tasks.empty() && s.running == 0) s.idle.notify_all();
  }
}

}  // namespace vexa
