// The handle of an asynchronous cache lookup: cancelling it means its
// completion will not run. Safe to cancel from any thread, any number of
// times; a lookup that already delivered its result is not affected.
#pragma once

#include <atomic>

namespace vexa {

class QLCacheQueryOperation {
 public:
  void cancel() { cancelled_.store(true, std::memory_order_release); }
  bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }

 private:
  std::atomic<bool> cancelled_{false};
};

}  // namespace vexa
