// A queue that runs HTTP operations with bounded concurrency (4 unless
// set), in the order they were added.
//
// An operation belongs to at most one queue and must not have been started
// elsewhere; the queue starts it when a slot frees. A batch is a group of
// operations with a completion that runs on the main queue once every one of
// them has finished, after their own success or failure functions.
//
// Destroying the queue cancels the operations still waiting (each still
// reports its cancellation, exactly once); running ones go on. Methods are
// safe from any thread; progress and completions run on the main queue.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "vexa/http/QLHTTPRequestOperation.h"

namespace vexa {

class QLOperationQueue {
 public:
  using Operation = QLHTTPRequestOperation::Ptr;
  static constexpr size_t kDefaultMaxConcurrentOperationCount = 4;

  explicit QLOperationQueue(size_t maxConcurrentOperationCount = kDefaultMaxConcurrentOperationCount);
  ~QLOperationQueue();
  QLOperationQueue(const QLOperationQueue&) = delete;
  QLOperationQueue& operator=(const QLOperationQueue&) = delete;

  size_t maxConcurrentOperationCount() const;
  // At least 1.
  void setMaxConcurrentOperationCount(size_t count);

  // Queues an operation. Operations already started or finished are refused
  // (false).
  bool addOperation(Operation operation);
  // Queues the operations; `progress` (finished so far, total) runs after
  // each finishes, `completion` once all have. Either may be empty. An empty
  // batch completes on the next turn of the main queue.
  void addBatch(std::vector<Operation> operations,
                std::function<void(size_t finished, size_t total)> progress,
                std::function<void(const std::vector<Operation>& operations)> completion);

  // Cancels every waiting and running operation.
  void cancelAllOperations();
  // Operations waiting or running.
  size_t operationCount() const;

 private:
  struct State;
  static void pump(const std::shared_ptr<State>& state);
  std::shared_ptr<State> state_;
};

}  // namespace vexa
