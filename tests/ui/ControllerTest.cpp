#include <gtest/gtest.h>

#include "support/MainQueueTesting.h"
#include "vexa/platform/ui/Application.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

class Screen : public ViewController {
 public:
  explicit Screen(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {
    setTitle(name_);
  }
  int loads = 0;

 protected:
  void viewDidLoad() override { ++loads; }
  void viewWillAppear(bool) override { log_->push_back(name_ + " willAppear"); }
  void viewDidAppear(bool) override { log_->push_back(name_ + " didAppear"); }
  void viewWillDisappear(bool) override { log_->push_back(name_ + " willDisappear"); }
  void viewDidDisappear(bool) override { log_->push_back(name_ + " didDisappear"); }

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

TEST(ViewControllerTest, LoadsItsViewOnceOnFirstUse) {
  std::vector<std::string> log;
  auto c = std::make_shared<Screen>("a", &log);
  EXPECT_FALSE(c->isViewLoaded());
  auto v = c->view();
  EXPECT_EQ(c->view(), v);
  EXPECT_EQ(c->loads, 1);
}

TEST(NavigationTest, PushAndPopSwapViewsWithAppearanceCallbacks) {
  std::vector<std::string> log;
  auto root = std::make_shared<Screen>("root", &log);
  auto nav = std::make_shared<NavigationController>(root);
  auto window = Window::create(Rect(0, 0, 320, 480));
  window->setRootViewController(nav);
  EXPECT_EQ(log, (std::vector<std::string>{"root willAppear", "root didAppear"}));
  EXPECT_EQ(root->view()->superview(), nav->view().get());
  EXPECT_EQ(root->navigationController(), nav.get());

  log.clear();
  auto detail = std::make_shared<Screen>("detail", &log);
  nav->pushViewController(detail, true);
  EXPECT_EQ(nav->topViewController(), detail);
  EXPECT_EQ(root->view()->superview(), nullptr);
  EXPECT_EQ(detail->view()->frame(), nav->view()->bounds());
  EXPECT_EQ(nav->navigationBar()->titleLabel()->text(), "detail");
  ASSERT_TRUE(detail->view()->lastAnimation().has_value());
  EXPECT_EQ(log, (std::vector<std::string>{"root willDisappear", "detail willAppear",
                                           "root didDisappear", "detail didAppear"}));
  EXPECT_EQ(nav->popViewController(false), detail);
  EXPECT_EQ(detail->navigationController(), nullptr);
  EXPECT_EQ(nav->popViewController(false), nullptr);  // the root stays
  EXPECT_EQ(nav->viewControllers().size(), 1u);
}

TEST(PresentationTest, PresentAndDismissCompleteOnTheMainQueue) {
  std::vector<std::string> log;
  auto root = std::make_shared<Screen>("root", &log);
  auto window = Window::create(Rect(0, 0, 320, 480));
  window->setRootViewController(root);
  window->makeKeyAndVisible();
  auto modal = std::make_shared<Screen>("modal", &log);
  auto nav = std::make_shared<NavigationController>(modal);
  bool presented = false;
  root->presentViewController(nav, true, [&] { presented = true; });
  EXPECT_FALSE(presented);
  EXPECT_EQ(nav->view()->superview(), window.get());
  EXPECT_EQ(nav->view()->frame(), window->bounds());
  EXPECT_EQ(Application::shared().topViewController(), modal);
  EXPECT_TRUE(test::runUntil([&] { return presented; }));

  bool dismissed = false;
  nav->dismissViewController(true, [&] { dismissed = true; });
  EXPECT_EQ(root->presentedViewController(), nullptr);
  EXPECT_EQ(nav->view()->superview(), nullptr);
  EXPECT_EQ(Application::shared().topViewController(), root);
  EXPECT_TRUE(test::runUntil([&] { return dismissed; }));
  // Nothing presented: the completion still runs, on a later turn.
  bool again = false;
  root->dismissViewController(false, [&] { again = true; });
  EXPECT_FALSE(again);
  EXPECT_TRUE(test::runUntil([&] { return again; }));
}

}  // namespace
}  // namespace vexa
