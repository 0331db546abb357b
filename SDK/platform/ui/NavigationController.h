// A stack of view controllers with a navigation bar showing the top
// controller's navigation item; the top controller's view fills the stack's
// view under the bar. Push and pop apply at once
// (animated ones record their animation). Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "vexa/platform/ui/NavigationBar.h"
#include "vexa/platform/ui/ViewController.h"

namespace vexa {

class NavigationController : public ViewController {
 public:
  explicit NavigationController(std::shared_ptr<ViewController> root = nullptr);
  ~NavigationController() override;

  const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
  std::shared_ptr<ViewController> topViewController() const {
    return stack_.empty() ? nullptr : stack_.back();
  }
  // What is shown: the top controller or what it presents.
  std::shared_ptr<ViewController> visibleViewController() const;

  void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
  // Returns the controller taken off, or nullptr at the root.
  std::shared_ptr<ViewController> popViewController(bool animated);
  void popToRootViewController(bool animated);

  const std::shared_ptr<NavigationBar>& navigationBar();
  bool isNavigationBarHidden() const { return barHidden_; }
  void setNavigationBarHidden(bool hidden);

 protected:
  void loadView() override;
  void viewWillAppear(bool animated) override;
  void viewDidAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  void viewDidDisappear(bool animated) override;

 private:
  void show(const std::shared_ptr<ViewController>& incoming,
            const std::shared_ptr<ViewController>& outgoing, bool animated);

  std::vector<std::shared_ptr<ViewController>> stack_;
  std::shared_ptr<NavigationBar> bar_;
  bool barHidden_ = false;
};

}  // namespace vexa
