#include "GtkSceneWindow.h"

#include <vexa/platform/ui/Renderer.h>
#include <vexa/platform/ui/Window.h>

#include "GtkKeyInput.h"
#include "GtkMainQueueSource.h"
#include "GtkTouchInput.h"

namespace vexa::gtk {

Status GtkSceneWindow::initialize() {
  if (!gtk_init_check()) {
    return Error("VXGtkErrorDomain", 1, "cannot open a window: no display (is DISPLAY or WAYLAND_DISPLAY set?)");
  }
  return Status::Ok();
}

GtkSceneWindow::GtkSceneWindow(std::shared_ptr<Window> window, const std::string& title)
    : scene_(std::move(window)) {
  // GTK owns its toplevels; this reference keeps the pointer valid until
  // the destructor destroys the window.
  window_ = GTK_WIDGET(g_object_ref(gtk_window_new()));
  gtk_window_set_title(GTK_WINDOW(window_), title.c_str());
  // The scene is a phone screen of a fixed size.
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  g_signal_connect(window_, "close-request", G_CALLBACK(closeRequested), this);

  area_ = gtk_drawing_area_new();
  Rect bounds = scene_->bounds();
  gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(area_), static_cast<int>(bounds.width()));
  gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(area_), static_cast<int>(bounds.height()));
  gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area_), draw, this, nullptr);
  gtk_widget_set_focusable(area_, TRUE);
  gtk_widget_set_focus_on_click(area_, TRUE);
  gtk_window_set_child(GTK_WINDOW(window_), area_);

  GtkEventController* shortcuts = gtk_shortcut_controller_new();
  // Before the keys reach the stand-in keyboard.
  gtk_event_controller_set_propagation_phase(shortcuts, GTK_PHASE_CAPTURE);
  gtk_shortcut_controller_add_shortcut(
      GTK_SHORTCUT_CONTROLLER(shortcuts),
      gtk_shortcut_new(gtk_shortcut_trigger_parse_string("<Control>w|<Control>q"),
                       gtk_callback_action_new(shortcut, this, nullptr)));
  gtk_widget_add_controller(window_, shortcuts);

  auto changed = [this] { redraw(); };
  touches_ = std::make_unique<GtkTouchInput>(area_, *scene_, changed);
  keys_ = std::make_unique<GtkKeyInput>(area_, *scene_, changed);
  queue_ = std::make_unique<GtkMainQueueSource>(changed);
}

GtkSceneWindow::~GtkSceneWindow() {
  touches_.reset();
  keys_.reset();
  queue_.reset();
  g_signal_handlers_disconnect_by_data(window_, this);
  gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area_), nullptr, nullptr, nullptr);
  gtk_window_destroy(GTK_WINDOW(window_));
  g_object_unref(window_);
}

void GtkSceneWindow::run() {
  open_ = true;
  gtk_window_present(GTK_WINDOW(window_));
  gtk_widget_grab_focus(area_);
  while (open_) g_main_context_iteration(nullptr, TRUE);
  touches_->cancel();
  gtk_widget_set_visible(window_, FALSE);
}

void GtkSceneWindow::close() {
  open_ = false;
  g_main_context_wakeup(nullptr);
}

void GtkSceneWindow::redraw() { gtk_widget_queue_draw(area_); }

void GtkSceneWindow::draw(GtkDrawingArea*, cairo_t* cr, int, int, gpointer data) {
  auto* self = static_cast<GtkSceneWindow*>(data);
  // GTK's surface carries the monitor's scale, so the views are drawn at
  // the screen's resolution.
  self->scene_->layoutIfNeeded();
  Renderer::drawView(cr, *self->scene_);
}

gboolean GtkSceneWindow::closeRequested(GtkWindow*, gpointer data) {
  static_cast<GtkSceneWindow*>(data)->close();
  // The window stays until its owner destroys it.
  return TRUE;
}

gboolean GtkSceneWindow::shortcut(GtkWidget*, GVariant*, gpointer data) {
  static_cast<GtkSceneWindow*>(data)->close();
  return TRUE;
}

}  // namespace vexa::gtk
