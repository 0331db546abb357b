#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Renderer.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLDownloadView.h"
#include "vexa/shop/QLLDProgressView.h"
#include "vexa/shop/QLNormalTableCell.h"
#include "vexa/shop/QLRecommendCollectionCell.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

bool shows(const View& parent, const std::shared_ptr<View>& child) {
  return child && child->superview() == &parent;
}

TEST(DownloadView, StatusSwapsButtonAndBarAndOnlyStatusesZeroAndTwoHaveTitles) {
  auto control = QLDownloadView::create(Rect(0, 0, 71, 34));
  control->setTitle("下载", 0);
  control->setTitle("正在", 1);  // stores nothing
  control->setTitle("已下载", 2);
  control->setTitleColor(Color::rgb(1, 0, 0), 2);
  EXPECT_EQ(control->downloadBtn()->currentTitle(), "下载");
  EXPECT_FALSE(control->hasProgressBar());

  control->setStatus(1);
  EXPECT_FALSE(shows(*control, control->downloadBtn()));
  EXPECT_TRUE(shows(*control, control->progressBar()));
  control->setStatus(2);
  EXPECT_TRUE(shows(*control, control->downloadBtn()));
  EXPECT_FALSE(shows(*control, control->progressBar()));
  EXPECT_EQ(control->downloadBtn()->currentTitle(), "已下载");
  EXPECT_EQ(control->downloadBtn()->titleColorForState(ControlStateNormal), Color::rgb(1, 0, 0));
  control->setStatus(7);  // stored only
  EXPECT_EQ(control->status(), 7);
  EXPECT_EQ(control->downloadBtn()->currentTitle(), "已下载");
}

TEST(DownloadView, ProgressIsClampedAndKeptUntilTheBarExists) {
  auto control = QLDownloadView::create(Rect(0, 0, 71, 34));
  control->setStatus(3);  // a status with no view of its own: the bar is not made
  control->setProgress(0.5);
  // The bar is made only now, and starts with the value set before.
  EXPECT_DOUBLE_EQ(control->progressBar()->progress(), 0.5);
  EXPECT_EQ(control->status(), 1);
  control->setProgress(1.7);
  EXPECT_EQ(control->progress(), 1);
  EXPECT_EQ(control->status(), 2);
  control->setProgress(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(control->progress(), 0);
  EXPECT_EQ(control->status(), 0);
  control->setProgress(-3);
  EXPECT_EQ(control->progressBar()->progress(), 0);
}

TEST(DownloadView, HostCellsHearOneTapOnDownloadAndNoneWhenDownloaded) {
  auto window = Window::create(Rect(0, 0, 375, 88));
  auto cell = QLNormalTableCell::create();
  cell->setFrame(Rect(0, 0, 375, 88));
  window->addSubview(cell);
  window->layoutIfNeeded();
  std::vector<int> heard;
  cell->setDownloadHandler([&heard](int status) { heard.push_back(status); });
  Point centre = cell->downloadView()->convertPointToView(
      cell->downloadView()->bounds().center(), nullptr);
  window->touches().tap(centre, 0);
  EXPECT_EQ(heard, std::vector<int>{1});
  EXPECT_EQ(cell->downloadView()->status(), 1);
  cell->setProgress(1);  // downloaded: "已下载" is shown, a tap starts nothing
  window->layoutIfNeeded();
  window->touches().tap(centre, 1);
  EXPECT_EQ(heard, std::vector<int>{1});

  auto recommended = QLRecommendCollectionCell::create(Rect(0, 0, 375, 180));
  recommended->setDownloadHandler([&heard](int status) { heard.push_back(status + 10); });
  recommended->downloadView()->downloadBtnAction();
  EXPECT_EQ(heard, (std::vector<int>{1, 11}));
}

TEST(ProgressView, AnimationTakesFiftyTicksToHalfAndRestartsFromWhereItIs) {
  auto bar = QLLDProgressView::create(Rect(0, 0, 100, 20));
  bar->setProgress(0.5);  // animate is on when unset
  ASSERT_NE(bar->animationTimer(), nullptr);
  EXPECT_EQ(bar->animationTimer()->interval(), seconds(0.008));
  int ticks = 0;
  while (bar->animationTimer() && ticks < 1000) {
    bar->animationTimer()->fire();
    ++ticks;
  }
  EXPECT_EQ(ticks, 50);
  EXPECT_EQ(bar->progress(), 0.5);

  bar->setProgress(0.8);
  for (int i = 0; i < 10; ++i) bar->animationTimer()->fire();
  bar->setProgress(0.55);  // a new target mid-way: back down from 0.6
  bar->animationTimer()->fire();
  EXPECT_NEAR(bar->progress(), 0.59, 1e-9);
}

TEST(ProgressView, StripesMoveAndTimersDoNotKeepTheViewAlive) {
  auto bar = QLLDProgressView::create(Rect(0, 0, 100, 20));
  bar->setAnimate(true);
  ASSERT_NE(bar->timer(), nullptr);
  bar->timer()->fire();  // offset 0 wraps to -50 moving right
  EXPECT_EQ(bar->offset(), -50);
  bar->timer()->fire();
  EXPECT_EQ(bar->offset(), -49);
  bar->setAnimateDirection(1);
  bar->setOffset(-50);
  bar->timer()->fire();
  EXPECT_EQ(bar->offset(), 0);
  bar->setType(QLLDProgressView::kTypeGradientBands);
  EXPECT_EQ(bar->stripeWidth(), 15);

  bar->setProgress(0.9);
  std::weak_ptr<QLLDProgressView> weak = bar;
  bar.reset();
  EXPECT_TRUE(weak.expired());
  test::spin(std::chrono::milliseconds(50));  // the timers' turns come and find nothing
}

TEST(ProgressView, TextRoundsThePercentageAndTheFillFollowsTheProgress) {
  auto bar = QLLDProgressView::create(Rect(0, 0, 100, 20));
  bar->setAnimate(false);
  bar->setFlat(true);
  bar->setShowBackground(false);
  bar->setShowText(false);
  bar->setType(2);  // no stripes over the fill
  bar->setColor(Color::rgb(1, 0, 0));
  bar->setProgress(0.995);
  EXPECT_EQ(bar->progressText(), "100%");
  bar->setProgress(0.456);
  EXPECT_EQ(bar->progressText(), "46%");
  bar->overrideProgressText("半");
  EXPECT_EQ(bar->progressText(), "半");

  bar->setProgress(0.5);
  auto bitmap = Renderer(1).renderToBitmap(*bar);
  ASSERT_TRUE(bitmap.ok());
  EXPECT_EQ((*bitmap)->pixel(25, 10), 0xffff0000u);
  EXPECT_EQ((*bitmap)->pixel(75, 10), 0u);
  bar->setProgress(0.0005);  // below the threshold: nothing is filled
  bitmap = Renderer(1).renderToBitmap(*bar);
  ASSERT_TRUE(bitmap.ok());
  EXPECT_EQ((*bitmap)->pixel(0, 10), 0u);
}

}  // namespace
}  // namespace vexa
