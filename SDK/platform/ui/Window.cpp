#include "vexa/platform/ui/Window.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/Application.h"
#include "vexa/platform/ui/ViewController.h"

namespace vexa {

Window::Window(Rect frame) : View(frame), touches_(*this) {}

Window::~Window() {
  if (rootViewController_) rootViewController_->setWindowHost(nullptr);
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
  VX_ASSERT_MAIN_THREAD();
  if (rootViewController_ == controller) return;
  if (rootViewController_) {
    rootViewController_->view()->removeFromSuperview();
    rootViewController_->setWindowHost(nullptr);
  }
  rootViewController_ = std::move(controller);
  if (!rootViewController_) return;
  rootViewController_->setWindowHost(this);
  auto view = rootViewController_->view();
  view->setFrame(bounds());
  view->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  rootViewController_->beginAppearance(true, false);
  insertSubview(view, 0);
  rootViewController_->endAppearance();
}

void Window::endEditing() {
  if (auto responder = firstResponder()) responder->resignFirstResponder();
}

void Window::setFirstResponder(const std::shared_ptr<View>& responder) {
  firstResponder_ = responder;
  keyboardHost_.update();
}

void Window::makeKeyAndVisible() {
  VX_ASSERT_MAIN_THREAD();
  setHidden(false);
  Application::shared().setKeyWindow(std::static_pointer_cast<Window>(shared_from_this()));
}

bool Window::isKeyWindow() const { return Application::shared().keyWindow().get() == this; }

void Window::scheduleLayoutPass() {
  if (layoutScheduled_) return;
  layoutScheduled_ = true;
  std::weak_ptr<View> weak = weak_from_this();
  MainQueue::shared().async([weak] {
    auto self = weak.lock();
    if (!self) return;
    static_cast<Window*>(self.get())->layoutScheduled_ = false;
    self->layoutIfNeeded();
  });
}

}  // namespace vexa
