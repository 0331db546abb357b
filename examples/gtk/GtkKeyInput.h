// Turns typing on a GTK window into the SDK's stand-in system keyboard:
// text committed by GTK's input method (plain keys, dead keys and compose
// sequences, or a Chinese input method's phrase) is typed through
// SystemKeyboard::typeText, one key press per character, so the input's
// delegate is asked per key as on the phone; BackSpace and Return press
// those keys. Typing reaches the input only while the window shows the
// system keyboard, as on the phone; otherwise keys go on to GTK.
//
// The GTK window and the SDK window must outlive this object. Main thread
// only.
#pragma once

#include <gtk/gtk.h>

#include <functional>

namespace vexa {
class Window;
}

namespace vexa::gtk {

class GtkKeyInput {
 public:
  // `changed` runs after every key the keyboard took (a host redraws then).
  GtkKeyInput(GtkWidget* widget, Window& window, std::function<void()> changed);
  ~GtkKeyInput();
  GtkKeyInput(const GtkKeyInput&) = delete;
  GtkKeyInput& operator=(const GtkKeyInput&) = delete;

 private:
  static gboolean pressed(GtkEventControllerKey* controller, guint keyval, guint keycode, GdkModifierType state,
                          GtkKeyInput* self);
  static void committed(GtkIMContext* context, const char* text, GtkKeyInput* self);
  static void focused(GtkEventControllerFocus* controller, GtkKeyInput* self);
  static void unfocused(GtkEventControllerFocus* controller, GtkKeyInput* self);
  bool keyboardShown();

  GtkEventController* keys_ = nullptr;
  GtkEventController* focus_ = nullptr;
  GtkIMContext* im_ = nullptr;
  Window& window_;
  std::function<void()> changed_;
};

}  // namespace vexa::gtk
