// The process-wide concurrent background queue.
//
// Tasks run on a small pool of worker threads in no guaranteed order
// relative to each other. Results go back to callers through MainQueue.
#pragma once

#include <functional>

#include "vexa/platform/WorkerPool.h"

namespace vexa {

class GlobalQueue {
 public:
  static GlobalQueue& shared();

  void async(std::function<void()> task) { pool_.post(std::move(task)); }
  // Blocks until every posted task has finished. For tests and shutdown.
  void waitIdle() { pool_.waitIdle(); }
  // Whether no task is queued or running now (a tool waiting for work to settle).
  bool isIdle() const { return pool_.isIdle(); }
  bool isWorkerThread() const { return pool_.isWorkerThread(); }

 private:
  explicit GlobalQueue(size_t threads) : pool_(threads) {}
  WorkerPool pool_;
};

}  // namespace vexa
