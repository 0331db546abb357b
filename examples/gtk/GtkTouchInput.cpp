#include "GtkTouchInput.h"

#include <vexa/platform/ui/Window.h>

namespace vexa::gtk {

namespace {
// How often a still finger lets time pass: well within a long press's
// half second, and cheap.
constexpr guint kTickMilliseconds = 20;

double now() { return static_cast<double>(g_get_monotonic_time()) / G_USEC_PER_SEC; }
}  // namespace

GtkTouchInput::GtkTouchInput(GtkWidget* widget, Window& window, std::function<void()> changed)
    : gesture_(gtk_gesture_drag_new()), window_(window), changed_(std::move(changed)) {
  // The widget owns the controller; this object keeps it alive until its
  // signals are disconnected.
  g_object_ref(gesture_);
  gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(gesture_), GDK_BUTTON_PRIMARY);
  g_signal_connect(gesture_, "drag-begin", G_CALLBACK(began), this);
  g_signal_connect(gesture_, "drag-update", G_CALLBACK(moved), this);
  g_signal_connect(gesture_, "drag-end", G_CALLBACK(ended), this);
  g_signal_connect(gesture_, "cancel", G_CALLBACK(cancelled), this);
  gtk_widget_add_controller(widget, GTK_EVENT_CONTROLLER(gesture_));
}

GtkTouchInput::~GtkTouchInput() {
  cancel();
  g_signal_handlers_disconnect_by_data(gesture_, this);
  g_object_unref(gesture_);
}

void GtkTouchInput::began(GtkGestureDrag*, double x, double y, GtkTouchInput* self) {
  self->startX_ = x;
  self->startY_ = y;
  // A press where no view takes touches starts nothing to follow.
  self->tracking_ = self->window_.touches().touchDown(Point{x, y}, now());
  if (self->tracking_) self->ticker_ = g_timeout_add(kTickMilliseconds, tick, self);
  self->changed_();
}

void GtkTouchInput::moved(GtkGestureDrag*, double dx, double dy, GtkTouchInput* self) {
  if (!self->tracking_) return;
  self->window_.touches().touchMove(Point{self->startX_ + dx, self->startY_ + dy}, now());
  self->changed_();
}

void GtkTouchInput::ended(GtkGestureDrag*, double dx, double dy, GtkTouchInput* self) {
  if (!self->tracking_) return;
  self->finish();
  self->window_.touches().touchUp(Point{self->startX_ + dx, self->startY_ + dy}, now());
  self->changed_();
}

void GtkTouchInput::cancelled(GtkGesture*, GdkEventSequence*, GtkTouchInput* self) {
  self->cancel();
  self->changed_();
}

void GtkTouchInput::cancel() {
  if (!tracking_) return;
  finish();
  window_.touches().touchCancel(now());
}

void GtkTouchInput::finish() {
  tracking_ = false;
  if (ticker_) g_source_remove(ticker_);
  ticker_ = 0;
}

gboolean GtkTouchInput::tick(gpointer data) {
  auto* self = static_cast<GtkTouchInput*>(data);
  self->window_.touches().advanceTime(now());
  self->changed_();
  return G_SOURCE_CONTINUE;
}

}  // namespace vexa::gtk
