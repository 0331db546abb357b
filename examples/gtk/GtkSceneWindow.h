// A desktop window showing one of the SDK's windows, built on GTK 4: a
// drawing area as large as the SDK window (in points) that the renderer
// draws into at the monitor's scale, the mouse as the SDK's touches
// (GtkTouchInput), typing into the stand-in system keyboard (GtkKeyInput),
// and the SDK's main queue drained from the GLib main loop
// (GtkMainQueueSource), so timers and animations run in real time.
//
// This is the example of binding the SDK to a desktop toolkit: it uses the
// SDK's public headers only (docs/BINDING.md). The window redraws after
// every event and every drain of the main queue; the view layer keeps no
// damage regions, so each frame draws the whole tree.
//
// The window is closed by its close button, Ctrl+W or Ctrl+Q. Main thread
// only (the thread that started the process, or the one that adopted the
// main queue).
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vexa/platform/Result.h>

namespace vexa {
class Window;
}

namespace vexa::gtk {

class GtkKeyInput;
class GtkMainQueueSource;
class GtkTouchInput;

class GtkSceneWindow {
 public:
  // Initialises GTK once; an error when no display can be opened.
  static Status initialize();

  // Makes the GTK window for `window` (shown by run()). GTK must be
  // initialised.
  GtkSceneWindow(std::shared_ptr<Window> window, const std::string& title);
  ~GtkSceneWindow();
  GtkSceneWindow(const GtkSceneWindow&) = delete;
  GtkSceneWindow& operator=(const GtkSceneWindow&) = delete;

  // Shows the window and runs the default GLib main context until the
  // window is closed. A touch still in progress is cancelled.
  void run();
  // Ends run() on its next turn.
  void close();

 private:
  static void draw(GtkDrawingArea* area, cairo_t* cr, int width, int height, gpointer self);
  static gboolean closeRequested(GtkWindow* window, gpointer self);
  static gboolean shortcut(GtkWidget* widget, GVariant* args, gpointer self);
  void redraw();

  std::shared_ptr<Window> scene_;
  GtkWidget* window_ = nullptr;
  GtkWidget* area_ = nullptr;
  std::unique_ptr<GtkMainQueueSource> queue_;
  std::unique_ptr<GtkTouchInput> touches_;
  std::unique_ptr<GtkKeyInput> keys_;
  bool open_ = false;
};

}  // namespace vexa::gtk
