// Navigation bars (items, tint, template images), the controllers' layout
// hook and the accessibility defaults.
#include <gtest/gtest.h>

#include <vector>

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/TextAreaView.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

// A black disc on transparency, as the bundle's "back" picture is.
std::shared_ptr<const Image> discImage(int side) {
  auto bitmap = std::make_shared<Bitmap>(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      double dx = x - side / 2.0 + 0.5, dy = y - side / 2.0 + 0.5;
      if (dx * dx + dy * dy < side * side / 4.0) bitmap->setPixel(x, y, 0xff000000u);
    }
  return Image::still(bitmap, 1);
}

TEST(NavigationBarTest, ShowsTheTopItemTintsTemplatesAndFollowsItemChanges) {
  auto root = std::make_shared<ViewController>();
  root->setTitle("商店");
  auto back = Button::create(Rect(0, 0, 27, 27));
  back->setImage(discImage(27)->withRenderingMode(ImageRenderingMode::AlwaysTemplate));
  back->setAccessibilityIdentifier("back");
  root->navigationItem()->setLeftBarButtonItem(BarButtonItem::withCustomView(back));
  int settings = 0;
  root->navigationItem()->setRightBarButtonItem(
      BarButtonItem::withImage(discImage(20), [&settings] { ++settings; }));
  auto nav = std::make_shared<NavigationController>(root);
  auto window = Window::create(Rect(0, 0, 375, 667));
  window->setRootViewController(nav);
  auto bar = nav->navigationBar();
  Color tint = Color::rgb(1, 0, 0);
  bar->setBarTintColor(Color::rgb255(46, 46, 46));
  bar->setTintColor(tint);
  window->layoutIfNeeded();

  EXPECT_EQ(bar->titleLabel()->text(), "商店");
  EXPECT_EQ(back->superview(), bar.get());
  EXPECT_EQ(back->frame(), Rect(NavigationBar::kItemMargin, 8.5, 27, 27));
  auto right = root->navigationItem()->rightBarButtonItem();
  EXPECT_EQ(right->view()->frame().maxX(), 375 - NavigationBar::kItemMargin);
  window->touches().tap(right->view()->convertPointToView(Point{10, 10}, nullptr), 1);
  EXPECT_EQ(settings, 1);

  auto bitmap = Renderer(2).renderToBitmap(*window);
  ASSERT_TRUE(bitmap.ok());
  Point centre = back->convertPointToView(Point{13.5, 13.5}, nullptr);
  EXPECT_EQ((*bitmap)->pixel(int(centre.x * 2), int(centre.y * 2)), tint.premultipliedArgb())
      << "a template takes the bar's tint";
  Point rightCentre = right->view()->convertPointToView(Point{13.5, 13.5}, nullptr);
  EXPECT_EQ((*bitmap)->pixel(int(rightCentre.x * 2), int(rightCentre.y * 2)), tint.premultipliedArgb())
      << "an item's image is a template unless marked original";
  EXPECT_EQ((*bitmap)->pixel(10, 10), Color::rgb255(46, 46, 46).premultipliedArgb())
      << "the bar's colour runs up under the status bar";

  root->navigationItem()->setRightBarButtonItem(BarButtonItem::withTitle("编辑", nullptr));
  EXPECT_EQ(right->view()->superview(), nullptr);
  auto edit = root->navigationItem()->rightBarButtonItem()->button();
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->superview(), bar.get());
  EXPECT_EQ(edit->accessibilityLabel(), "编辑");

  auto detail = std::make_shared<ViewController>();
  detail->setTitle("详情");
  nav->pushViewController(detail, false);
  EXPECT_EQ(back->superview(), nullptr) << "each screen brings its own items";
  EXPECT_EQ(bar->titleLabel()->text(), "详情");
}

using Log = std::vector<std::string>;

class LayoutScreen : public ViewController {
 public:
  std::shared_ptr<Log> log = std::make_shared<Log>();
  std::shared_ptr<View> child;

 protected:
  void viewDidLoad() override {
    child = std::make_shared<Probe>(log);
    view()->addSubview(child);
  }
  void viewWillLayoutSubviews() override { log->push_back("will"); }
  void viewDidLayoutSubviews() override {
    log->push_back("did " + std::to_string(int(view()->bounds().height())));
    child->setFrame(Rect(0, view()->bounds().height() - 50, 10, 50));
  }

 private:
  class Probe : public View {
   public:
    explicit Probe(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    void layoutSubviews() override { log_->push_back("child"); }

   private:
    std::shared_ptr<Log> log_;
  };
};

TEST(ViewControllerLayoutTest, ComputesFramesAfterItsViewIsLaidOutAndBeforeSubviews) {
  auto screen = std::make_shared<LayoutScreen>();
  auto window = Window::create(Rect(0, 0, 320, 568));
  window->setRootViewController(screen);
  window->layoutIfNeeded();
  auto log = screen->log;
  EXPECT_EQ(*log, (Log{"will", "did 568", "child"}));
  log->clear();
  window->setFrame(Rect(0, 0, 320, 480));
  window->layoutIfNeeded();
  EXPECT_EQ(*log, (Log{"will", "did 480"})) << "a child that only moves is not laid out again";
  EXPECT_EQ(screen->child->frame().y(), 430);
  auto view = screen->view();
  window->setRootViewController(nullptr);
  screen.reset();
  log->clear();
  view->setNeedsLayout();
  view->layoutIfNeeded();
  EXPECT_EQ(*log, Log{}) << "the controller is gone: nothing to call";
}

TEST(AccessibilityTest, DefaultsAndOverrides) {
  auto label = Label::create();
  label->setText("下载");
  EXPECT_TRUE(label->isAccessibilityElement());
  EXPECT_EQ(label->accessibilityLabel(), "下载");
  auto button = Button::create();
  button->setTitle("重新加载");
  EXPECT_TRUE(button->isAccessibilityElement());
  EXPECT_EQ(button->accessibilityLabel(), "重新加载");
  button->setAccessibilityLabel("重试");
  button->setTitle("点击刷新");
  EXPECT_EQ(button->accessibilityLabel(), "重试") << "a label set stays";
  EXPECT_TRUE(TextAreaView::create()->isAccessibilityElement());
  auto plain = View::create();
  EXPECT_FALSE(plain->isAccessibilityElement());
  EXPECT_EQ(plain->accessibilityLabel(), "");
  plain->setIsAccessibilityElement(true);
  plain->setAccessibilityIdentifier("emoji:微笑");
  EXPECT_TRUE(plain->isAccessibilityElement());
  EXPECT_EQ(plain->accessibilityIdentifier(), "emoji:微笑");
}

}  // namespace
}  // namespace vexa
