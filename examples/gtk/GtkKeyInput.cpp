#include "GtkKeyInput.h"

#include <vexa/platform/ui/SystemKeyboard.h>
#include <vexa/platform/ui/Window.h>

namespace vexa::gtk {

GtkKeyInput::GtkKeyInput(GtkWidget* widget, Window& window, std::function<void()> changed)
    : keys_(gtk_event_controller_key_new()),
      focus_(gtk_event_controller_focus_new()),
      im_(gtk_im_multicontext_new()),
      window_(window),
      changed_(std::move(changed)) {
  // The widget owns the controllers; this object keeps them alive until
  // their signals are disconnected.
  g_object_ref(keys_);
  g_object_ref(focus_);
  gtk_im_context_set_client_widget(im_, widget);
  gtk_event_controller_key_set_im_context(GTK_EVENT_CONTROLLER_KEY(keys_), im_);
  g_signal_connect(im_, "commit", G_CALLBACK(committed), this);
  g_signal_connect(keys_, "key-pressed", G_CALLBACK(pressed), this);
  g_signal_connect(focus_, "enter", G_CALLBACK(focused), this);
  g_signal_connect(focus_, "leave", G_CALLBACK(unfocused), this);
  gtk_widget_add_controller(widget, keys_);
  gtk_widget_add_controller(widget, focus_);
}

GtkKeyInput::~GtkKeyInput() {
  g_signal_handlers_disconnect_by_data(im_, this);
  g_signal_handlers_disconnect_by_data(keys_, this);
  g_signal_handlers_disconnect_by_data(focus_, this);
  gtk_im_context_set_client_widget(im_, nullptr);
  g_object_unref(im_);
  g_object_unref(focus_);
  g_object_unref(keys_);
}

bool GtkKeyInput::keyboardShown() { return window_.keyboardHost().isSystemKeyboardShown(); }

void GtkKeyInput::committed(GtkIMContext*, const char* text, GtkKeyInput* self) {
  if (!self->keyboardShown()) return;
  self->window_.keyboardHost().systemKeyboard()->typeText(text);
  self->changed_();
}

gboolean GtkKeyInput::pressed(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state,
                              GtkKeyInput* self) {
  // Shortcuts belong to the host.
  if (state & (GDK_CONTROL_MASK | GDK_ALT_MASK | GDK_SUPER_MASK)) return FALSE;
  if (!self->keyboardShown()) return FALSE;
  auto& keyboard = *self->window_.keyboardHost().systemKeyboard();
  switch (keyval) {
    case GDK_KEY_BackSpace:
      keyboard.deleteBackward();
      break;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      keyboard.insertReturn();
      break;
    default:
      return FALSE;
  }
  self->changed_();
  return TRUE;
}

void GtkKeyInput::focused(GtkEventControllerFocus*, GtkKeyInput* self) { gtk_im_context_focus_in(self->im_); }

void GtkKeyInput::unfocused(GtkEventControllerFocus*, GtkKeyInput* self) { gtk_im_context_focus_out(self->im_); }

}  // namespace vexa::gtk
