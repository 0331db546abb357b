#include "vexa/platform/MainQueue.h"

#include <algorithm>
#include <future>
#include <vector>

namespace vexa {
namespace {
// Touching the queue at static initialisation pins the main thread to the
// thread that runs it: the process's initial thread.
[[maybe_unused]] const bool kMainThreadPinned = (MainQueue::shared(), true);
}  // namespace

MainQueue& MainQueue::shared() {
  // Never destroyed: tasks and other threads may still post during exit.
  static MainQueue* queue = new MainQueue();
  return *queue;
}

MainQueue::MainQueue() : mainThread_(std::this_thread::get_id()) {}

bool MainQueue::isMainThread() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return mainThread_ == std::this_thread::get_id();
}

void MainQueue::adoptCurrentThread() {
  std::lock_guard<std::mutex> lock(mutex_);
  mainThread_ = std::this_thread::get_id();
}

void MainQueue::async(Task task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_.push_back(std::move(task));
  }
  wake();
}

MainQueue::TaskId MainQueue::asyncAfter(Duration delay, Task task) {
  TaskId id;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    id = nextId_++;
    auto deadline = Clock::now() + (delay.count() > 0 ? delay : Duration::zero());
    delayed_.emplace(std::make_pair(deadline, id), std::move(task));
    deadlines_.emplace(id, deadline);
  }
  wake();
  return id;
}

void MainQueue::cancel(TaskId id) {
  Task dropped;  // destroyed outside the lock: its captures may post
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = deadlines_.find(id);
    if (it == deadlines_.end()) return;
    auto node = delayed_.find(std::make_pair(it->second, id));
    if (node != delayed_.end()) {
      dropped = std::move(node->second);
      delayed_.erase(node);
    }
    deadlines_.erase(it);
  }
}

void MainQueue::sync(const Task& task) {
  if (isMainThread()) {
    task();
    return;
  }
  std::promise<void> done;
  async([&] {
    task();
    done.set_value();
  });
  done.get_future().wait();
}

void MainQueue::promoteDueLocked(Clock::time_point now) {
  while (!delayed_.empty() && delayed_.begin()->first.first <= now) {
    auto node = delayed_.begin();
    deadlines_.erase(node->first.second);
    ready_.push_back(std::move(node->second));
    delayed_.erase(node);
  }
}

size_t MainQueue::drain() {
  std::deque<Task> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    promoteDueLocked(Clock::now());
    batch.swap(ready_);
  }
  size_t ran = 0;
  while (!batch.empty()) {
    Task task = std::move(batch.front());
    batch.pop_front();
    task();
    ++ran;
  }
  return ran;
}

bool MainQueue::runUntil(const std::function<bool()>& predicate, Duration timeout) {
  const auto end = Clock::now() + timeout;
  for (;;) {
    drain();
    if (predicate()) return true;
    std::unique_lock<std::mutex> lock(mutex_);
    auto now = Clock::now();
    if (now >= end) return false;
    promoteDueLocked(now);
    if (!ready_.empty()) continue;
    // Predicates may also change on other threads: look again now and then.
    auto wakeAt = std::min(end, now + std::chrono::milliseconds(5));
    if (!delayed_.empty() && delayed_.begin()->first.first < wakeAt) {
      wakeAt = delayed_.begin()->first.first;
    }
    cv_.wait_until(lock, wakeAt, [&] {
      return !ready_.empty() ||
             (!delayed_.empty() && delayed_.begin()->first.first <= Clock::now());
    });
  }
}

void MainQueue::runFor(Duration duration) {
  runUntil([] { return false; }, duration);
}

void MainQueue::setWakeupHook(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  wakeupHook_ = std::move(hook);
}

std::optional<MainQueue::Clock::time_point> MainQueue::nextDeadline() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (delayed_.empty()) return std::nullopt;
  return delayed_.begin()->first.first;
}

bool MainQueue::hasReadyTasks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !ready_.empty() ||
         (!delayed_.empty() && delayed_.begin()->first.first <= Clock::now());
}

void MainQueue::wake() {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hook = wakeupHook_;
  }
  cv_.notify_all();
  if (hook) hook();
}

}  // namespace vexa
