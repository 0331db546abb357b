// One-shot and repeating timers on the main run loop.
//
// A Timer is owned by whoever scheduled it: destroying it (or calling
// invalidate()) guarantees the callback will not run afterwards. Callbacks
// run on the main thread. Create, fire and invalidate on the main thread.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vexa {

class Timer {
 public:
  using Duration = std::chrono::steady_clock::duration;

  // Schedules `callback` after `interval`, and every `interval` after that
  // when `repeats`. The callback receives the timer, so that it may
  // invalidate it.
  static std::unique_ptr<Timer> scheduled(Duration interval, bool repeats,
                                          std::function<void(Timer&)> callback);
  ~Timer();

  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void invalidate();
  bool isValid() const;
  Duration interval() const;
  bool repeats() const;
  // Fires the timer now, as the run loop would (repeating timers keep their
  // schedule). Does nothing when invalid.
  void fire();

 private:
  struct State;
  explicit Timer(std::shared_ptr<State> state);
  std::shared_ptr<State> state_;
};

// Seconds as a Timer duration: Timer::scheduled(seconds(0.008), ...).
inline Timer::Duration seconds(double s) {
  return std::chrono::duration_cast<Timer::Duration>(std::chrono::duration<double>(s));
}

}  // namespace vexa
