// A labelled serial queue: tasks run one at a time, in posting order, on a
// thread of the queue's own. Destroying the queue runs what was posted first.
#pragma once

#include <functional>
#include <string>

#include "vexa/platform/WorkerPool.h"

namespace vexa {

class SerialQueue {
 public:
  explicit SerialQueue(std::string label) : label_(std::move(label)), pool_(1) {}

  const std::string& label() const { return label_; }
  void async(std::function<void()> task) { pool_.post(std::move(task)); }
  // Runs the task on the queue and waits for it; from a task of this queue it
  // runs at once instead of deadlocking.
  void sync(const std::function<void()>& task);
  // Blocks until everything posted so far has run.
  void waitIdle() { pool_.waitIdle(); }
  bool isCurrent() const { return pool_.isWorkerThread(); }

 private:
  std::string label_;
  WorkerPool pool_;
};

}  // namespace vexa
