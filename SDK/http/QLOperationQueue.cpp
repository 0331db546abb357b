#include "vexa/http/QLOperationQueue.h"

#include <algorithm>
#include <deque>
#include <mutex>

#include "vexa/platform/MainQueue.h"

namespace vexa {

struct QLOperationQueue::State {
  mutable std::mutex mutex;
  size_t maxConcurrent;                // GUARDED_BY(mutex)
  std::deque<Operation> waiting;       // GUARDED_BY(mutex)
  std::vector<Operation> running;      // GUARDED_BY(mutex)
  explicit State(size_t max) : maxConcurrent(max) {}
};

QLOperationQueue::QLOperationQueue(size_t maxConcurrentOperationCount)
    : state_(std::make_shared<State>(std::max<size_t>(1, maxConcurrentOperationCount))) {}

QLOperationQueue::~QLOperationQueue() {
  std::deque<Operation> waiting;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    waiting.swap(state_->waiting);
  }
  // Started after cancel(), each one reports its cancellation at once.
  for (auto& operation : waiting) {
    operation->cancel();
    operation->start();
  }
}

size_t QLOperationQueue::maxConcurrentOperationCount() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->maxConcurrent;
}

void QLOperationQueue::setMaxConcurrentOperationCount(size_t count) {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->maxConcurrent = std::max<size_t>(1, count);
  }
  pump(state_);
}

bool QLOperationQueue::addOperation(Operation operation) {
  if (!operation || operation->isExecuting() || operation->isFinished()) return false;
  std::weak_ptr<State> weakState = state_;
  QLHTTPRequestOperation* key = operation.get();
  operation->addFinishedObserver([weakState, key] {
    auto state = weakState.lock();
    if (!state) return;
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      auto& running = state->running;
      running.erase(std::remove_if(running.begin(), running.end(),
                                   [key](const Operation& op) { return op.get() == key; }),
                    running.end());
    }
    pump(state);
  });
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->waiting.push_back(std::move(operation));
  }
  pump(state_);
  return true;
}

void QLOperationQueue::pump(const std::shared_ptr<State>& state) {
  std::vector<Operation> toStart;
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    while (!state->waiting.empty() && state->running.size() < state->maxConcurrent) {
      Operation op = std::move(state->waiting.front());
      state->waiting.pop_front();
      state->running.push_back(op);
      toStart.push_back(std::move(op));
    }
  }
  for (auto& op : toStart) op->start();
}

void QLOperationQueue::addBatch(
    std::vector<Operation> operations, std::function<void(size_t, size_t)> progress,
    std::function<void(const std::vector<Operation>&)> completion) {
  struct Batch {
    std::vector<Operation> operations;
    std::function<void(size_t, size_t)> progress;
    std::function<void(const std::vector<Operation>&)> completion;
    size_t finished = 0;  // main thread
  };
  auto batch = std::make_shared<Batch>(Batch{operations, std::move(progress), std::move(completion)});
  if (operations.empty()) {
    MainQueue::shared().async([batch] {
      if (batch->completion) batch->completion(batch->operations);
    });
    return;
  }
  for (auto& op : operations) {
    op->addFinishedObserver([batch] {
      size_t done = ++batch->finished;
      if (batch->progress) batch->progress(done, batch->operations.size());
      if (done == batch->operations.size()) {
        auto completion = std::move(batch->completion);
        if (completion) completion(batch->operations);
        // Breaks the batch <-> operation cycle.
        batch->operations.clear();
      }
    });
  }
  for (auto& op : operations) addOperation(std::move(op));
}

void QLOperationQueue::cancelAllOperations() {
  std::vector<Operation> all;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    all.assign(state_->waiting.begin(), state_->waiting.end());
    all.insert(all.end(), state_->running.begin(), state_->running.end());
  }
  for (auto& op : all) op->cancel();
}

size_t QLOperationQueue::operationCount() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->waiting.size() + state_->running.size();
}

}  // namespace vexa
