#include "vexa/platform/WallClock.h"

#include <atomic>
#include <limits>

namespace vexa {
namespace {

using Ticks = std::chrono::system_clock::duration::rep;
constexpr Ticks kNotFixed = std::numeric_limits<Ticks>::min();

std::atomic<Ticks>& fixedTicks() {
  static std::atomic<Ticks> ticks{kNotFixed};
  return ticks;
}

}  // namespace

WallClock::TimePoint WallClock::now() {
  const Ticks fixed = fixedTicks().load(std::memory_order_relaxed);
  if (fixed == kNotFixed) return std::chrono::system_clock::now();
  return TimePoint(std::chrono::system_clock::duration(fixed));
}

int64_t WallClock::millisecondsSince1970() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(now().time_since_epoch()).count();
}

void WallClock::setFixedTime(std::optional<TimePoint> time) {
  fixedTicks().store(time ? time->time_since_epoch().count() : kNotFixed,
                     std::memory_order_relaxed);
}

}  // namespace vexa
