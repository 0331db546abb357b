#include <gtest/gtest.h>

#include "support/MainQueueTesting.h"
#include "vexa/platform/ui/ActivityIndicatorView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/TapGestureRecognizer.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/support/QLPopoverView.h"
#include "vexa/support/QLProgressHUD.h"

namespace vexa {
namespace {

struct PopoverScene {
  std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 480));
  std::shared_ptr<View> container = View::create(Rect(0, 0, 320, 480));
  std::shared_ptr<QLPopoverView> popover = QLPopoverView::create();
  PopoverScene() { window->addSubview(container); }
};

TEST(PopoverTest, SitsAboveTheAnchorWithItsArrowOnIt) {
  PopoverScene s;
  s.popover->setContentInset(EdgeInsets{18, 18, 18, 18});
  s.popover->showAtPoint(Point{160, 300}, QLPopoverPosition::Up, View::create(Rect(0, 0, 80, 80)),
                         s.container);
  // Box 116 x 116, arrow 9 high, 4 points between arrow tip and anchor.
  EXPECT_EQ(s.popover->frame(), Rect(102, 300 - 4 - 9 - 116, 116, 125));
  EXPECT_EQ(s.popover->contentView()->frame(), Rect(18, 18, 80, 80));
  EXPECT_EQ(s.popover->convertPointToView(s.popover->arrowPoint(), s.container.get()),
            (Point{160, 296}));
  ASSERT_TRUE(s.popover->lastAnimation().has_value());
  EXPECT_EQ(s.popover->lastAnimation()->curve, AnimationCurve::Spring);
  EXPECT_DOUBLE_EQ(s.popover->lastAnimation()->duration, 0.4);
}

TEST(PopoverTest, KeepsTenPointsFromTheSidesAndTheArrowOffTheCorners) {
  PopoverScene s;
  s.popover->showAtPoint(Point{3, 300}, QLPopoverPosition::Up, View::create(Rect(0, 0, 100, 40)),
                         s.container);
  EXPECT_EQ(s.popover->frame().x(), 10);
  EXPECT_EQ(s.popover->arrowPoint().x, 5 + 5.5);  // corner radius + half the arrow
  s.popover->showAtPoint(Point{318, 300}, QLPopoverPosition::Down, s.popover->contentView(),
                         s.container);
  EXPECT_EQ(s.popover->frame(), Rect(210, 304, 100, 49));
  EXPECT_EQ(s.popover->contentView()->frame().y(), 9);
}

TEST(PopoverTest, ClearOverlayLetsTouchesThroughAndDismissReports) {
  PopoverScene s;
  int taps = 0;
  auto under = View::create(Rect(0, 0, 320, 100));
  s.container->addSubview(under);
  under->addGestureRecognizer(TapGestureRecognizer::create([&](GestureRecognizer&) { ++taps; }));
  s.popover->setMaskType(QLPopoverMaskType::None);
  s.popover->setAnimated(false);
  bool dismissed = false;
  s.popover->setDidDismissHandler([&] { dismissed = true; });
  s.popover->showAtPoint(Point{160, 300}, QLPopoverPosition::Up, View::create(Rect(0, 0, 40, 40)),
                         s.container);
  EXPECT_EQ(s.popover->overlay()->frame(), s.container->bounds());
  EXPECT_FALSE(s.popover->overlay()->backgroundColor().has_value());
  s.window->touches().tap(Point{10, 10}, 0);
  EXPECT_EQ(taps, 1);
  s.popover->dismiss();
  EXPECT_FALSE(s.popover->isShowing());
  EXPECT_EQ(s.popover->overlay()->superview(), nullptr);
  EXPECT_TRUE(test::runUntil([&] { return dismissed; }));
}

TEST(PopoverTest, DimmedOverlayClosesOnATapAlsoAfterAClearShowing) {
  PopoverScene s;
  s.popover->setAnimated(false);
  s.popover->setMaskType(QLPopoverMaskType::None);
  s.popover->showAtPoint(Point{160, 300}, QLPopoverPosition::Up, View::create(Rect(0, 0, 40, 40)),
                         s.container);
  s.popover->dismiss();
  s.popover->setMaskType(QLPopoverMaskType::Black);
  s.popover->showAtPoint(Point{160, 300}, QLPopoverPosition::Up, View::create(Rect(0, 0, 40, 40)),
                         s.container);
  s.window->touches().tap(Point{10, 10}, 0);
  EXPECT_FALSE(s.popover->isShowing());
}

TEST(HudTest, ShowsCentredTextOverTheViewAndHides) {
  auto host = View::create(Rect(0, 0, 320, 480));
  auto hud = QLProgressHUD::showHUDAddedTo(*host, "加载中...", false);
  host->layoutIfNeeded();
  EXPECT_EQ(hud->frame(), host->bounds());
  EXPECT_EQ(hud->text(), "加载中...");
  Rect bezel = hud->bezelView()->frame();
  EXPECT_EQ(bezel.center(), (Point{160, 240}));
  EXPECT_GE(bezel.width(), QLProgressHUD::kMinimumBezelSide);
  EXPECT_GT(hud->label()->frame().width(), 0);
  EXPECT_TRUE(hud->indicator()->isAnimating());
  EXPECT_EQ(QLProgressHUD::HUDForView(*host), hud);
  EXPECT_TRUE(QLProgressHUD::hideHUDForView(*host, true));
  EXPECT_EQ(hud->superview(), nullptr);
  EXPECT_FALSE(QLProgressHUD::hideHUDForView(*host, false));
}

}  // namespace
}  // namespace vexa
