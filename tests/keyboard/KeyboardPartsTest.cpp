#include <gtest/gtest.h>

#include "vexa/keyboard/QLBorderView.h"
#include "vexa/keyboard/QLEmotionKeyboard.h"
#include "vexa/keyboard/QLEmotionKeyboardSession.h"
#include "vexa/keyboard/QLKeyboardInitFailedView.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

TEST(KeyboardInitFailedView, ShowsPromptAndRunsOneRetryUntilRearmed) {
  auto window = Window::create(Rect(0, 0, 375, 300));
  auto panel = QLKeyboardInitFailedView::create(Rect(0, 0, 375, 177));
  window->addSubview(panel);
  panel->layoutIfNeeded();
  EXPECT_EQ(panel->promptLabel()->text(), "表情键盘初始化失败，请检查网络后重试");
  EXPECT_EQ(panel->retryBtn()->currentTitle(), "点击刷新");
  EXPECT_EQ(panel->imgView()->frame(), Rect(149, 45, 77, 52));
  EXPECT_EQ(panel->retryBtn()->frame(), Rect(149, 127, 77, 30));

  auto source = std::make_shared<QLKeyboardInitFailedViewDataSource>();
  int retries = 0;
  source->refreshData = [&retries] { ++retries; };
  panel->setDataSource(source);
  window->touches().tap(Point{187, 140}, 0);
  window->touches().tap(Point{187, 140}, 1);
  EXPECT_EQ(retries, 1);  // one retry at a time
  panel->setRefreshSuccess(false);  // the retry failed
  window->touches().tap(Point{187, 140}, 2);
  EXPECT_EQ(retries, 2);

  source.reset();  // a source that went away is not called
  panel->setRefreshSuccess(false);
  panel->refresh();
  EXPECT_EQ(retries, 2);
}

TEST(BorderView, DrawsOnlyTheEdgesOfItsOrderInOrder) {
  Screen::setMain(Screen::phone375x667());
  auto border = QLBorderView::create(Rect(0, 0, 40, 20));
  EXPECT_EQ(border->rightWidth(), 0.5);
  border->setBorderWidth(3, Color::black(), QLBorderView::kAllEdges);
  border->setDrawOrder({QLBorderView::kEdgeRight, 16});
  EXPECT_EQ(border->rectForEdge(QLBorderView::kEdgeRight), Rect(37, 0, 3, 20));
  EXPECT_EQ(border->rectForEdge(16), std::nullopt);
  border->setBorderWidth(0, Color::black(), QLBorderView::kEdgeTop);
  EXPECT_EQ(border->rectForEdge(QLBorderView::kEdgeTop), std::nullopt);
  border->setBorderWidth(2, std::nullopt, QLBorderView::kEdgeBottom);
  EXPECT_EQ(border->rectForEdge(QLBorderView::kEdgeBottom), std::nullopt);
}

}  // namespace
}  // namespace vexa
