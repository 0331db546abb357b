#include "vexa/platform/ui/ViewAnimation.h"

#include "vexa/platform/MainQueue.h"

namespace vexa {

namespace {
// Set only while an animation block runs on the main thread; nested blocks
// restore the outer record when they end.
std::optional<AnimationRecord>& currentSlot() {
  static std::optional<AnimationRecord> slot;
  return slot;
}
}  // namespace

void ViewAnimation::perform(const AnimationRecord& record, const std::function<void()>& animations,
                            Completion completion) {
  VX_ASSERT_MAIN_THREAD();
  auto saved = currentSlot();
  currentSlot() = record;
  if (animations) animations();
  currentSlot() = saved;
  if (completion) MainQueue::shared().async([completion = std::move(completion)] { completion(true); });
}

void ViewAnimation::animate(double duration, const std::function<void()>& animations,
                            Completion completion) {
  perform({duration, 0, AnimationCurve::EaseInOut}, animations, std::move(completion));
}

void ViewAnimation::animate(double duration, double delay, AnimationCurve curve,
                            const std::function<void()>& animations, Completion completion) {
  perform({duration, delay, curve}, animations, std::move(completion));
}

void ViewAnimation::animateWithSpring(double duration, double delay, double damping,
                                      double velocity, const std::function<void()>& animations,
                                      Completion completion) {
  perform({duration, delay, AnimationCurve::Spring, damping, velocity}, animations,
          std::move(completion));
}

const std::optional<AnimationRecord>& ViewAnimation::current() { return currentSlot(); }

}  // namespace vexa
