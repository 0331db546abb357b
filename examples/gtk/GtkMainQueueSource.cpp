#include "GtkMainQueueSource.h"

#include <vexa/platform/MainQueue.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>

namespace vexa::gtk {

struct GtkMainQueueSource::Source {
  GSource base;
  GtkMainQueueSource* owner;
};

GSourceFuncs GtkMainQueueSource::funcs_ = {prepare, check, dispatch, nullptr, nullptr, nullptr};

GtkMainQueueSource::GtkMainQueueSource(std::function<void()> afterDrain, GMainContext* context)
    : afterDrain_(std::move(afterDrain)) {
  source_ = g_source_new(&funcs_, sizeof(Source));
  reinterpret_cast<Source*>(source_)->owner = this;
  // Below input and redraws: a queue that keeps itself busy cannot freeze
  // the window.
  g_source_set_priority(source_, G_PRIORITY_DEFAULT_IDLE);
  g_source_set_name(source_, "vexa main queue");
  g_source_attach(source_, context);
  // Each copy of the hook keeps the context alive, so a background thread
  // that is calling it as the source goes away still has a context to wake.
  std::shared_ptr<GMainContext> woken(g_main_context_ref(g_source_get_context(source_)), g_main_context_unref);
  MainQueue::shared().setWakeupHook([woken] { g_main_context_wakeup(woken.get()); });
}

GtkMainQueueSource::~GtkMainQueueSource() {
  MainQueue::shared().setWakeupHook(nullptr);
  g_source_destroy(source_);
  g_source_unref(source_);
}

gboolean GtkMainQueueSource::prepare(GSource*, gint* timeout) {
  auto& queue = MainQueue::shared();
  if (queue.hasReadyTasks()) {
    *timeout = 0;
    return TRUE;
  }
  auto deadline = queue.nextDeadline();
  if (!deadline) {
    *timeout = -1;
    return FALSE;
  }
  // Rounded up: waking a little early would only find nothing due.
  auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - MainQueue::Clock::now()).count();
  *timeout = static_cast<gint>(std::clamp<decltype(left)>(left, 0, INT_MAX));
  return FALSE;
}

gboolean GtkMainQueueSource::check(GSource*) { return MainQueue::shared().hasReadyTasks(); }

gboolean GtkMainQueueSource::dispatch(GSource* source, GSourceFunc, gpointer) {
  GtkMainQueueSource* owner = reinterpret_cast<Source*>(source)->owner;
  if (MainQueue::shared().drain() > 0 && owner->afterDrain_) owner->afterDrain_();
  return G_SOURCE_CONTINUE;
}

}  // namespace vexa::gtk
