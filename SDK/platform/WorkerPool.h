// A fixed set of worker threads taking tasks from one FIFO queue. The
// building block of the global queue and of serial queues (one worker).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
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
  // Runs what is queued, then joins the workers. From one of its own tasks
  // (the task held the pool's last owner) that worker is left to finish alone.
  ~WorkerPool();

  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void post(Task task);
  // Blocks until nothing is queued or running. Must not be called from a
  // task of this pool.
  void waitIdle();
  // Whether nothing is queued or running at this moment.
  bool isIdle() const;
  // True when the calling thread is one of this pool's workers.
  bool isWorkerThread() const;

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable hasWork;
    std::condition_variable idle;
    std::deque<Task> tasks;  // GUARDED_BY(mutex)
    size_t running = 0;      // GUARDED_BY(mutex)
    bool stopping = false;   // GUARDED_BY(mutex)
  };
  static void work(State& state);

  std::shared_ptr<State> state_;
  std::vector<std::thread> threads_;
};

}  // namespace vexa
