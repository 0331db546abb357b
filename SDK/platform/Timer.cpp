#include "vexa/platform/Timer.h"

#include "vexa/platform/MainQueue.h"

namespace vexa {

struct Timer::State : std::enable_shared_from_this<Timer::State> {
  Duration interval;
  bool repeats = false;
  bool valid = true;
  std::function<void(Timer&)> callback;
  Timer* owner = nullptr;
  MainQueue::TaskId pending = 0;

  void schedule() {
    std::weak_ptr<State> weak = shared_from_this();
    pending = MainQueue::shared().asyncAfter(interval, [weak] {
      if (auto self = weak.lock()) self->onFire();
    });
  }

  void onFire() {
    pending = 0;
    if (!valid) return;
    if (repeats) {
      schedule();
    } else {
      valid = false;
    }
    // Keep the state alive while the callback possibly destroys the Timer.
    auto keep = shared_from_this();
    auto callbackCopy = callback;
    if (owner) callbackCopy(*owner);
  }
};

std::unique_ptr<Timer> Timer::scheduled(Duration interval, bool repeats,
                                        std::function<void(Timer&)> callback) {
  auto state = std::make_shared<State>();
  state->interval = interval;
  state->repeats = repeats;
  state->callback = std::move(callback);
  std::unique_ptr<Timer> timer(new Timer(state));
  state->owner = timer.get();
  state->schedule();
  return timer;
}

Timer::Timer(std::shared_ptr<State> state) : state_(std::move(state)) {}

Timer::~Timer() {
  invalidate();
  state_->owner = nullptr;
}

void Timer::invalidate() {
  state_->valid = false;
  if (state_->pending != 0) {
    MainQueue::shared().cancel(state_->pending);
    state_->pending = 0;
  }
}

bool Timer::isValid() const { return state_->valid; }
Timer::Duration Timer::interval() const { return state_->interval; }
bool Timer::repeats() const { return state_->repeats; }

void Timer::fire() {
  if (!state_->valid) return;
  if (!state_->repeats) {
    invalidate();
  }
  auto keep = state_;
  auto callbackCopy = keep->callback;
  callbackCopy(*this);
}

}  // namespace vexa
