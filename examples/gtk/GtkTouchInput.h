// Turns the mouse (or a touch screen) on a GTK widget into the SDK's
// touches: a press is a touch down, moving with the button held moves the
// touch, the release lifts it, and a grab broken by the system cancels it.
// While the finger is down and still, the dispatcher's clock is advanced
// every few milliseconds, so a long press begins on time with no event.
// Widget coordinates are window points (the widget is as large as the SDK's
// window); times are GLib's monotonic clock in seconds.
//
// The widget and the window must outlive this object. Main thread only.
#pragma once

#include <gtk/gtk.h>

#include <functional>

namespace vexa {
class Window;
}

namespace vexa::gtk {

class GtkTouchInput {
 public:
  // `changed` runs after every touch event (a host redraws then).
  GtkTouchInput(GtkWidget* widget, Window& window, std::function<void()> changed);
  ~GtkTouchInput();
  GtkTouchInput(const GtkTouchInput&) = delete;
  GtkTouchInput& operator=(const GtkTouchInput&) = delete;

  // Cancels a touch in progress (the host closes, say).
  void cancel();

 private:
  static void began(GtkGestureDrag* gesture, double x, double y, GtkTouchInput* self);
  static void moved(GtkGestureDrag* gesture, double dx, double dy, GtkTouchInput* self);
  static void ended(GtkGestureDrag* gesture, double dx, double dy, GtkTouchInput* self);
  static void cancelled(GtkGesture* gesture, GdkEventSequence* sequence, GtkTouchInput* self);
  static gboolean tick(gpointer self);
  void finish();

  GtkGesture* gesture_ = nullptr;
  Window& window_;
  std::function<void()> changed_;
  double startX_ = 0;
  double startY_ = 0;
  bool tracking_ = false;
  guint ticker_ = 0;
};

}  // namespace vexa::gtk
