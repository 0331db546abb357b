#include "vexa/platform/ui/ViewController.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {

namespace {
constexpr double kPresentDuration = 0.3;
}

ViewController::~ViewController() {
  if (presented_) presented_->presenting_ = nullptr;
  // The view may outlive its controller through other owners.
  if (view_ && view_->viewController_ == this) view_->viewController_ = nullptr;
}

const std::shared_ptr<View>& ViewController::view() {
  if (!view_) {
    loadView();
    if (!view_) adoptView(View::create(Screen::main().bounds));
    viewDidLoad();
  }
  return view_;
}

void ViewController::loadView() { adoptView(View::create(Screen::main().bounds)); }

void ViewController::adoptView(std::shared_ptr<View> view) {
  if (view_ && view_->viewController_ == this) view_->viewController_ = nullptr;
  view_ = std::move(view);
  if (view_) {
    view_->viewController_ = this;
    view_->setNeedsLayout();
  }
}

void ViewController::setTitle(std::string title) {
  title_ = std::move(title);
  navigationItem_->setTitle(title_);
}

NavigationController* ViewController::navigationController() {
  for (ViewController* c = this; c; c = c->parent_)
    if (auto* nav = dynamic_cast<NavigationController*>(c)) return nav;
  return nullptr;
}

double ViewController::topLayoutGuideLength() {
  auto* nav = navigationController();
  if (nav && nav != this && !nav->isNavigationBarHidden()) return nav->navigationBar()->frame().maxY();
  return NavigationBar::kStatusBarHeight;
}

void ViewController::beginAppearance(bool appearing, bool animated) {
  inTransition_ = true;
  appearing_ = appearing;
  transitionAnimated_ = animated;
  if (appearing) viewWillAppear(animated); else viewWillDisappear(animated);
}

void ViewController::endAppearance() {
  if (!inTransition_) return;
  inTransition_ = false;
  appeared_ = appearing_;
  if (appearing_) viewDidAppear(transitionAnimated_); else viewDidDisappear(transitionAnimated_);
}

View* ViewController::presentationContainer() {
  if (auto* w = view()->window()) return w;
  return view()->rootView();
}

void ViewController::presentViewController(std::shared_ptr<ViewController> controller,
                                           bool animated, std::function<void()> completion) {
  VX_ASSERT_MAIN_THREAD();
  if (!controller || controller.get() == this) return;
  if (presented_) {
    // Like the platform: one presentation at a time per controller.
    presented_->presentViewController(std::move(controller), animated, std::move(completion));
    return;
  }
  View* container = presentationContainer();
  // The presented screen covers the input being edited.
  if (Window* window = container->window()) window->endEditing();
  presented_ = controller;
  controller->presenting_ = this;
  auto view = controller->view();
  Rect full = container->bounds();
  controller->beginAppearance(true, animated);
  view->setFrame(animated ? full.offsetBy(0, full.height()) : full);
  view->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  container->addSubview(view);
  std::weak_ptr<ViewController> weak = controller;
  ViewAnimation::animate(animated ? kPresentDuration : 0, [&] { view->setFrame(full); },
                         [weak, completion = std::move(completion)](bool) {
                           if (auto c = weak.lock()) c->endAppearance();
                           if (completion) completion();
                         });
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion) {
  VX_ASSERT_MAIN_THREAD();
  if (!presented_) {
    if (presenting_) presenting_->dismissViewController(animated, std::move(completion));
    else if (completion) MainQueue::shared().async(std::move(completion));
    return;
  }
  auto gone = std::move(presented_);
  presented_ = nullptr;
  // Controllers stacked above go with it.
  if (gone->presented_) gone->dismissViewController(false);
  gone->presenting_ = nullptr;
  gone->beginAppearance(false, animated);
  auto view = gone->view();
  Rect out = view->frame().offsetBy(0, view->frame().height());
  ViewAnimation::animate(animated ? kPresentDuration : 0, [&] { view->setFrame(out); },
                         [gone, completion = std::move(completion)](bool) {
                           gone->endAppearance();
                           if (completion) completion();
                         });
  // The end state is reached at once: the view leaves the screen now.
  view->removeFromSuperview();
}

std::shared_ptr<ViewController> ViewController::topViewControllerFrom(
    std::shared_ptr<ViewController> root) {
  auto top = std::move(root);
  while (top) {
    if (top->presented_) {
      top = top->presented_;
    } else if (auto* nav = dynamic_cast<NavigationController*>(top.get());
               nav && nav->topViewController()) {
      top = nav->topViewController();
    } else {
      break;
    }
  }
  return top;
}

}  // namespace vexa
