// The keyboard notifications a window posts on the default notification
// centre (object: the window) as its keyboard comes up, changes or goes
// down, and their user info: the keyboard's frame before and after, in
// window coordinates, and the duration of the change. A screen that keeps
// an input bar above the keyboard observes both names and reads frameEnd
// (for "will hide" it lies below the window). Main thread only.
#pragma once

#include <optional>

#include "vexa/platform/Geometry.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Value.h"

namespace vexa {

inline constexpr char kKeyboardWillShowNotification[] = "VXKeyboardWillShowNotification";
inline constexpr char kKeyboardWillHideNotification[] = "VXKeyboardWillHideNotification";

struct KeyboardNotification {
  // User-info keys; frames are arrays [x, y, width, height].
  static constexpr char kFrameBeginKey[] = "frameBegin";
  static constexpr char kFrameEndKey[] = "frameEnd";
  static constexpr char kDurationKey[] = "duration";

  Rect frameBegin;
  Rect frameEnd;
  double duration = 0;

  Value userInfo() const;
  // The info of a keyboard notification; none when it holds no frames.
  static std::optional<KeyboardNotification> from(const Notification& notification);
};

}  // namespace vexa
