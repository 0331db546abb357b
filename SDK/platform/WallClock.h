// The wall clock as the SDK reads it: request timestamps, the ages of cached
// files, "new since" marks. Tests may fix the time the SDK sees; queues and
// timers keep to the monotonic clock and are not affected. Thread-safe.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace vexa {

class WallClock {
 public:
  using TimePoint = std::chrono::system_clock::time_point;

  // The fixed time when one is set, else the system clock.
  static TimePoint now();
  // Milliseconds since 1970 of now().
  static int64_t millisecondsSince1970();

  // From now on the SDK sees `time` (nullopt: the system clock again).
  static void setFixedTime(std::optional<TimePoint> time);
};

}  // namespace vexa
