#include "vexa/platform/ui/NavigationController.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/Screen.h"

namespace vexa {

namespace {
constexpr double kPushDuration = 0.35;
}  // namespace

NavigationController::NavigationController(std::shared_ptr<ViewController> root) {
  if (root) {
    root->setParent(this);
    stack_.push_back(std::move(root));
  }
}

NavigationController::~NavigationController() {
  for (auto& c : stack_) c->setParent(nullptr);
}

const std::shared_ptr<NavigationBar>& NavigationController::navigationBar() {
  view();
  return bar_;
}

void NavigationController::loadView() {
  auto v = View::create(Screen::main().bounds);
  v->setBackgroundColor(Color::whiteColor());
  bar_ = NavigationBar::create(
      Rect(0, NavigationBar::kStatusBarHeight, v->bounds().width(), NavigationBar::kHeight));
  bar_->setAutoresizingMask(AutoresizingFlexibleWidth);
  v->addSubview(bar_);
  setView(v);
  if (auto top = topViewController()) show(top, nullptr, false);
}

void NavigationController::setNavigationBarHidden(bool hidden) {
  barHidden_ = hidden;
  navigationBar()->setHidden(hidden);
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
  auto top = topViewController();
  if (top && top->presentedViewController()) return top->presentedViewController();
  return top;
}

void NavigationController::show(const std::shared_ptr<ViewController>& incoming,
                                const std::shared_ptr<ViewController>& outgoing, bool animated) {
  bool visible = isAppeared();
  if (outgoing && visible) outgoing->beginAppearance(false, animated);
  if (incoming && visible) incoming->beginAppearance(true, animated);
  if (incoming) {
    auto v = incoming->view();
    v->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    ViewAnimation::animate(animated ? kPushDuration : 0, [&] { v->setFrame(view()->bounds()); });
    view()->insertSubviewBelow(v, bar_.get());
    bar_->setItem(incoming->navigationItem());
  }
  if (outgoing && outgoing->isViewLoaded()) outgoing->view()->removeFromSuperview();
  if (outgoing && visible) outgoing->endAppearance();
  if (incoming && visible) incoming->endAppearance();
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller,
                                              bool animated) {
  VX_ASSERT_MAIN_THREAD();
  if (!controller) return;
  auto outgoing = topViewController();
  controller->setParent(this);
  stack_.push_back(controller);
  if (isViewLoaded()) show(controller, outgoing, animated);
}

std::shared_ptr<ViewController> NavigationController::popViewController(bool animated) {
  VX_ASSERT_MAIN_THREAD();
  if (stack_.size() < 2) return nullptr;
  auto outgoing = stack_.back();
  stack_.pop_back();
  if (isViewLoaded()) show(topViewController(), outgoing, animated);
  outgoing->setParent(nullptr);
  return outgoing;
}

void NavigationController::popToRootViewController(bool animated) {
  VX_ASSERT_MAIN_THREAD();
  if (stack_.size() < 2) return;
  auto outgoing = stack_.back();
  std::vector<std::shared_ptr<ViewController>> removed(stack_.begin() + 1, stack_.end());
  stack_.resize(1);
  if (isViewLoaded()) show(topViewController(), outgoing, animated);
  for (auto& c : removed) c->setParent(nullptr);
}

void NavigationController::viewWillAppear(bool animated) {
  if (auto top = topViewController()) top->beginAppearance(true, animated);
}
void NavigationController::viewDidAppear(bool) {
  if (auto top = topViewController()) top->endAppearance();
}
void NavigationController::viewWillDisappear(bool animated) {
  if (auto top = topViewController()) top->beginAppearance(false, animated);
}
void NavigationController::viewDidDisappear(bool) {
  if (auto top = topViewController()) top->endAppearance();
}

}  // namespace vexa
