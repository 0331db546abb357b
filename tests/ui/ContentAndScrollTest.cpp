#include <gtest/gtest.h>

#include "vexa/platform/ui/ContentMode.h"
#include "vexa/platform/ui/PageControl.h"
#include "vexa/platform/ui/ScrollView.h"
#include "vexa/platform/ui/Window.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

struct ModeCase {
  ContentMode mode;
  Rect expected;
};

TEST(ContentModeTest, PlacesContentInBounds) {
  // A 40 x 20 picture in a 100 x 100 view at (10, 10).
  const Rect bounds(10, 10, 100, 100);
  const ModeCase cases[] = {
      {ContentMode::ScaleToFill, Rect(10, 10, 100, 100)},
      {ContentMode::ScaleAspectFit, Rect(10, 35, 100, 50)},
      {ContentMode::ScaleAspectFill, Rect(-40, 10, 200, 100)},
      {ContentMode::Center, Rect(40, 50, 40, 20)},
      {ContentMode::Top, Rect(40, 10, 40, 20)},
      {ContentMode::Bottom, Rect(40, 90, 40, 20)},
      {ContentMode::Left, Rect(10, 50, 40, 20)},
      {ContentMode::Right, Rect(70, 50, 40, 20)},
      {ContentMode::TopLeft, Rect(10, 10, 40, 20)},
      {ContentMode::BottomRight, Rect(70, 90, 40, 20)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(contentRectForMode(c.mode, Size{40, 20}, bounds), c.expected) << static_cast<int>(c.mode);
  EXPECT_TRUE(contentRectForMode(ContentMode::ScaleAspectFit, Size{0, 20}, bounds).isEmpty());
}

TEST(PageControlTest, SizesDotsAndStepsOnePagePerTap) {
  EXPECT_EQ(PageControl::sizeForNumberOfPages(3), (Size{3 * 7 + 2 * 9, 37}));
  EXPECT_EQ(PageControl::sizeForNumberOfPages(0), (Size{0, 37}));
  auto window = Window::create(Rect(0, 0, 200, 100));
  auto dots = PageControl::create(Rect(0, 0, 200, 37));
  window->addSubview(dots);
  dots->setNumberOfPages(3);
  int changes = 0;
  dots->addAction(ControlEventValueChanged, [&](Control&) { ++changes; });
  window->touches().tap(Point{150, 10}, 0);
  window->touches().tap(Point{150, 10}, 1);
  window->touches().tap(Point{150, 10}, 2);  // already on the last page
  EXPECT_EQ(dots->currentPage(), 2);
  EXPECT_EQ(changes, 2);
  window->touches().tap(Point{10, 10}, 3);
  EXPECT_EQ(dots->currentPage(), 1);
  dots->setNumberOfPages(1);
  EXPECT_EQ(dots->currentPage(), 0);
  EXPECT_FALSE(dots->isHidden());
  dots->setHidesForSinglePage(true);
  EXPECT_TRUE(dots->isHidden());
}

TEST(ScrollViewTest, ScrollsTheLeastToShowARectAndStaysInsideTheContent) {
  auto scroll = ScrollView::create(Rect(0, 0, 100, 100));
  scroll->setContentSize(Size{300, 500});
  scroll->scrollRectToVisible(Rect(150, 20, 30, 30), false);
  EXPECT_EQ(scroll->contentOffset(), (Point{80, 0}));
  scroll->scrollRectToVisible(Rect(10, 450, 30, 100), false);
  EXPECT_EQ(scroll->contentOffset(), (Point{10, 400}));  // clamped to the content's end
  EXPECT_EQ(scroll->maximumContentOffset(), (Point{200, 400}));
  scroll->setContentInset(EdgeInsets{10, 0, 0, 0});
  EXPECT_EQ(scroll->minimumContentOffset(), (Point{0, -10}));
}

TEST(ScrollViewTest, AnimatedScrollReportsItsEndOnTheMainQueue) {
  auto scroll = ScrollView::create(Rect(0, 0, 100, 100));
  scroll->setContentSize(Size{1000, 100});
  auto delegate = std::make_shared<ScrollViewDelegate>();
  std::vector<std::string> log;
  delegate->scrollViewDidScroll = [&](ScrollView&) { log.push_back("scroll"); };
  delegate->scrollViewDidEndScrollingAnimation = [&](ScrollView&) { log.push_back("end"); };
  scroll->setDelegate(delegate);
  scroll->setContentOffset(Point{100, 0}, true);
  EXPECT_EQ(log, std::vector<std::string>{"scroll"});
  EXPECT_DOUBLE_EQ(scroll->lastAnimation()->duration, ScrollView::kScrollAnimationDuration);
  EXPECT_TRUE(test::runUntil([&] { return log.size() == 2; }));
  scroll->setContentOffset(Point{100, 0}, false);  // no move, no report
  EXPECT_EQ(log.size(), 2u);
  delegate.reset();  // a delegate that went away is simply not called
  scroll->setContentOffset(Point{200, 0}, true);
  test::spin();
  EXPECT_EQ(log.size(), 2u);
}

}  // namespace
}  // namespace vexa
