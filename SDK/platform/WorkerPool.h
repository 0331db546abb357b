// A fixed set of worker threads taking tasks from one FIFO queue. The
// building block of the global queue and of serial queues (one worker).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vexa {

class WorkerPool {
 public:
  using Task = std::function<void()>;

  // Starts `threads` workers (at least one).
  explicit WorkerPool(size_t threads);
  // Runs what is queued, then joins the workers.
  ~WorkerPool();

  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void post(Task task);
  // Blocks until nothing is queued or running. Must not be called from a
  // task of this pool.
  void waitIdle();
  // True when the calling thread is one of this pool's workers.
  bool isWorkerThread() const;

 private:
  void work();

  mutable std::mutex mutex_;
  std::condition_variable hasWork_;
  std::condition_variable idle_;
  std::deque<Task> tasks_;  // GUARDED_BY(mutex_)
  size_t running_ = 0;      // GUARDED_BY(mutex_)
  bool stopping_ = false;   // GUARDED_BY(mutex_)
  std::vector<std::thread> threads_;
};

}  // namespace vexa
