// View animations, headless: the animation block runs at once, so every
// property reaches its end state immediately, and the completion runs on the
// main queue on a later turn with finished = true. Views changed inside a
// block remember the animation (duration, delay, curve) so tests can check
// how a change was meant to look. Main thread only.
#pragma once

#include <functional>
#include <optional>

namespace vexa {

enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear, Spring };

struct AnimationRecord {
  double duration = 0;
  double delay = 0;
  AnimationCurve curve = AnimationCurve::EaseInOut;
  double springDamping = 1;  // only for Spring
  double springVelocity = 0;
  bool operator==(const AnimationRecord&) const = default;
};

class ViewAnimation {
 public:
  using Completion = std::function<void(bool finished)>;

  static void animate(double duration, const std::function<void()>& animations,
                      Completion completion = nullptr);
  static void animate(double duration, double delay, AnimationCurve curve,
                      const std::function<void()>& animations, Completion completion = nullptr);
  static void animateWithSpring(double duration, double delay, double damping, double velocity,
                                const std::function<void()>& animations,
                                Completion completion = nullptr);
  // Runs `animations` with the given record as the current animation.
  static void perform(const AnimationRecord& record, const std::function<void()>& animations,
                      Completion completion);

  // The animation whose block is running now, if any.
  static const std::optional<AnimationRecord>& current();
};

}  // namespace vexa
