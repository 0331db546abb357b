// Drives the SDK's main queue from a GLib main context: a GSource whose
// prepare and check ask the queue whether work is ready or when the next
// delayed task is due, and whose dispatch drains it. The queue's wake-up
// hook only wakes the context (g_main_context_wakeup, safe from any
// thread), so work posted by the SDK's background threads runs on the next
// turn of the loop, and timers fire in real time.
//
// One source at a time: it installs the queue's wake-up hook and removes it
// when destroyed. Create and destroy it on the main thread (the thread that
// runs the context and the SDK's main queue).
#pragma once

#include <glib.h>

#include <functional>

namespace vexa::gtk {

class GtkMainQueueSource {
 public:
  // `afterDrain` runs after each drain that ran tasks (a host redraws then).
  explicit GtkMainQueueSource(std::function<void()> afterDrain, GMainContext* context = nullptr);
  ~GtkMainQueueSource();
  GtkMainQueueSource(const GtkMainQueueSource&) = delete;
  GtkMainQueueSource& operator=(const GtkMainQueueSource&) = delete;

 private:
  struct Source;
  static gboolean prepare(GSource* source, gint* timeout);
  static gboolean check(GSource* source);
  static gboolean dispatch(GSource* source, GSourceFunc, gpointer);

  static GSourceFuncs funcs_;
  GSource* source_ = nullptr;
  std::function<void()> afterDrain_;
};

}  // namespace vexa::gtk
