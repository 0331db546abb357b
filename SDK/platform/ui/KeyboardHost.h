// The keyboard of a window: what its first responder types with, shown at
// the window's bottom, the width of the window and as high as the view's
// own frame (216 points when that is empty). For a first responder with an
// input view that view (the emotion keyboard); for one with key input and
// no input view the window's stand-in SystemKeyboard; otherwise nothing.
//
// Each change (up, swapped, down) posts kKeyboardWillShowNotification or
// kKeyboardWillHideNotification (KeyboardNotification) on the default
// centre with the window as object, once the new keyboard is in place; the
// move is an animation of 0.25 s, recorded on the keyboard view and applied
// at once. The keyboard view is the window's front-most subview, so a view
// that watches being added to a superview (the emotion keyboard) hears of
// it. The window calls update() when its first responder changes or reloads
// its input views. Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/Geometry.h"

namespace vexa {

class SystemKeyboard;
class View;
class Window;

class KeyboardHost {
 public:
  static constexpr double kAnimationDuration = 0.25;

  explicit KeyboardHost(Window& window) : window_(window) {}
  KeyboardHost(const KeyboardHost&) = delete;
  KeyboardHost& operator=(const KeyboardHost&) = delete;

  // The keyboard view shown now, or nullptr.
  std::shared_ptr<View> keyboardView() const;
  bool isSystemKeyboardShown() const;
  // Where the shown keyboard is, in window coordinates; empty when none.
  Rect keyboardFrame() const;
  // The window's stand-in system keyboard (made on first use).
  const std::shared_ptr<SystemKeyboard>& systemKeyboard();

  // Shows what the first responder needs now.
  void update();

 private:
  void post(const char* name, Rect begin, Rect end);

  Window& window_;
  std::shared_ptr<View> shown_;
  std::shared_ptr<SystemKeyboard> systemKeyboard_;
};

}  // namespace vexa
