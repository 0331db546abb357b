// The window: the root of a shown view tree. It owns the touch dispatcher
// for its tree, runs the layout pass on the main queue when a view in it
// asks for layout, holds the root view controller, knows its first
// responder and shows that responder's keyboard (KeyboardHost). A window
// made key is the application's key window (Application::keyWindow()).
//
// Main thread only.
#pragma once

#include <memory>

#include "vexa/platform/ui/KeyboardHost.h"
#include "vexa/platform/ui/TouchDispatcher.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class ViewController;

class Window : public View {
 public:
  explicit Window(Rect frame = {});
  ~Window() override;
  static std::shared_ptr<Window> create(Rect frame = {}) { return std::make_shared<Window>(frame); }

  const std::shared_ptr<ViewController>& rootViewController() const { return rootViewController_; }
  // Shows the controller's view filling the window.
  void setRootViewController(std::shared_ptr<ViewController> controller);
  void makeKeyAndVisible();
  bool isKeyWindow() const;

  TouchDispatcher& touches() { return touches_; }

  // The view the keyboards serve now (see View::becomeFirstResponder).
  std::shared_ptr<View> firstResponder() const { return firstResponder_.lock(); }
  // Resigns the first responder: its keyboard goes down.
  void endEditing();
  KeyboardHost& keyboardHost() { return keyboardHost_; }

  // Runs the layout pass on a later turn of the main queue (once however
  // often it is asked).
  void scheduleLayoutPass();

 private:
  friend class View;
  void setFirstResponder(const std::shared_ptr<View>& responder);

  std::shared_ptr<ViewController> rootViewController_;
  TouchDispatcher touches_;
  bool layoutScheduled_ = false;
  std::weak_ptr<View> firstResponder_;
  KeyboardHost keyboardHost_{*this};
};

}  // namespace vexa
