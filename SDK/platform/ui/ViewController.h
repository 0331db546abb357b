// A view controller: owns one screen's view (loaded on first use), is told
// when that view appears and disappears and around each layout of it (the
// place to compute the screen's frames: viewDidLayoutSubviews runs after the
// view's own layoutSubviews, before its subviews are laid out), carries the
// navigation item a navigation bar shows for it, and presents other
// controllers modally; presenting one ends editing in the window (the
// keyboard goes down). Navigation stacks are NavigationController.
//
// Ownership: a parent (navigation) controller owns its children; a
// presenting controller owns the controller it presents; both back links are
// plain pointers cleared when the link ends. Create controllers with
// std::make_shared. Completions run on the main queue. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vexa/platform/ui/NavigationItem.h"
#include "vexa/platform/ui/View.h"

namespace vexa {

class NavigationController;
class Window;

class ViewController : public std::enable_shared_from_this<ViewController> {
 public:
  ViewController() = default;
  virtual ~ViewController();
  ViewController(const ViewController&) = delete;
  ViewController& operator=(const ViewController&) = delete;

  // Loads the view on first use (loadView, then viewDidLoad).
  const std::shared_ptr<View>& view();
  bool isViewLoaded() const { return static_cast<bool>(view_); }

  const std::string& title() const { return title_; }
  // Also the navigation item's title.
  void setTitle(std::string title);
  // What a navigation bar shows while this controller is on top.
  const std::shared_ptr<NavigationItem>& navigationItem() const { return navigationItem_; }

  ViewController* parentViewController() const { return parent_; }
  // The nearest navigation controller above (or this one), or nullptr.
  NavigationController* navigationController();
  // Height covered at the top by the status bar and a navigation bar.
  double topLayoutGuideLength();

  // Shows `controller` over this one, filling the window (or the root of
  // this view's tree). The completion runs on the main queue.
  void presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                             std::function<void()> completion = nullptr);
  // Dismisses what this controller presented, or this controller when it
  // presents nothing and was presented.
  void dismissViewController(bool animated, std::function<void()> completion = nullptr);
  const std::shared_ptr<ViewController>& presentedViewController() const { return presented_; }
  ViewController* presentingViewController() const { return presenting_; }

  // Follows presented controllers and navigation tops from `root`.
  static std::shared_ptr<ViewController> topViewControllerFrom(std::shared_ptr<ViewController> root);

  // Appearance bookkeeping, for containers: will-callbacks now, did-callbacks
  // on endAppearance().
  void beginAppearance(bool appearing, bool animated);
  void endAppearance();
  bool isAppeared() const { return appeared_; }

  // Set by the window that shows this controller as its root.
  void setWindowHost(Window* window) { windowHost_ = window; }
  void setParent(ViewController* parent) { parent_ = parent; }

 protected:
  // Makes the view; the default is a plain view the size of the screen.
  virtual void loadView();
  void setView(std::shared_ptr<View> view) { adoptView(std::move(view)); }
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool animated) { (void)animated; }
  virtual void viewDidAppear(bool animated) { (void)animated; }
  virtual void viewWillDisappear(bool animated) { (void)animated; }
  virtual void viewDidDisappear(bool animated) { (void)animated; }
  // Around each layoutSubviews of the view.
  virtual void viewWillLayoutSubviews() {}
  virtual void viewDidLayoutSubviews() {}

 private:
  friend class View;
  View* presentationContainer();
  void adoptView(std::shared_ptr<View> view);

  std::shared_ptr<View> view_;
  std::shared_ptr<NavigationItem> navigationItem_ = std::make_shared<NavigationItem>();
  std::string title_;
  ViewController* parent_ = nullptr;
  Window* windowHost_ = nullptr;
  std::shared_ptr<ViewController> presented_;
  ViewController* presenting_ = nullptr;
  bool appeared_ = false;
  bool appearing_ = false;
  bool transitionAnimated_ = false;
  bool inTransition_ = false;
};

}  // namespace vexa
