#include <gtest/gtest.h>

#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/LongPressGestureRecognizer.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLEmotionCollectionCell.h"

namespace vexa {
namespace {

TEST(EmotionCollectionCell, StatusesShowTheGreyLayerAndTheMark) {
  auto cell = QLEmotionCollectionCell::create(Rect(0, 0, 60, 60));
  cell->layoutIfNeeded();
  EXPECT_EQ(cell->seletedImgView()->frame(), Rect(40, 40, 20, 20));
  ASSERT_NE(cell->seletedImgView()->image(), nullptr);
  cell->setCellStatus(2);
  EXPECT_FALSE(cell->grayView()->isHidden());
  EXPECT_FALSE(cell->seletedImgView()->isHidden());
  cell->setCellStatus(5);  // stored; the layers stay as they were
  EXPECT_EQ(cell->cellStatus(), 5);
  EXPECT_FALSE(cell->seletedImgView()->isHidden());
  cell->setCellStatus(1);
  EXPECT_FALSE(cell->grayView()->isHidden());
  EXPECT_TRUE(cell->seletedImgView()->isHidden());
  cell->setCellStatus(0);
  EXPECT_TRUE(cell->grayView()->isHidden());
}

TEST(EmotionCollectionCell, LongPressReportsOnceWhenThePressEnds) {
  auto window = Window::create(Rect(0, 0, 100, 100));
  auto cell = QLEmotionCollectionCell::create(Rect(0, 0, 60, 60));
  window->addSubview(cell);
  auto delegate = std::make_shared<QLEmotionCollectionCellDelegate>();
  int reports = 0;
  delegate->longPressedEmotionCell = [&reports](QLEmotionCollectionCell&) { ++reports; };
  cell->setDelegate(delegate);
  cell->enableLongPressedFeature(true);
  cell->enableLongPressedFeature(true);
  EXPECT_EQ(cell->contentView()->gestureRecognizers().size(), 1u);
  EXPECT_EQ(cell->longRecognizer()->minimumPressDuration(), 0.1);

  window->touches().touchDown(Point{30, 30}, 0);
  window->touches().advanceTime(0.5);  // began: not yet
  EXPECT_EQ(reports, 0);
  window->touches().touchUp(Point{30, 30}, 0.6);
  EXPECT_EQ(reports, 1);

  cell->enableLongPressedFeature(false);
  EXPECT_TRUE(cell->contentView()->gestureRecognizers().empty());
  window->touches().press(Point{30, 30}, 1, 0.5);
  EXPECT_EQ(reports, 1);
}

}  // namespace
}  // namespace vexa
