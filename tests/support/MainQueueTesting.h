// Helpers for tests that wait on the main queue.
#pragma once

#include <chrono>
#include <functional>

#include "vexa/platform/MainQueue.h"

namespace vexa::test {

// Runs the main queue until the predicate holds; false after `timeout`.
inline bool runUntil(const std::function<bool()>& predicate,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  return MainQueue::shared().runUntil(predicate, timeout);
}

// Runs whatever is due on the main queue for a short while.
inline void spin(std::chrono::milliseconds duration = std::chrono::milliseconds(20)) {
  MainQueue::shared().runFor(duration);
}

}  // namespace vexa::test
