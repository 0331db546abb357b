#include <gtest/gtest.h>

#include "vexa/platform/ui/CollectionView.h"
#include "vexa/shop/QLCollectionGridLayout.h"

namespace vexa {
namespace {

struct GridDelegate : CollectionViewDelegate, QLCollectionGridLayoutDelegate {};

struct Scene {
  std::shared_ptr<QLCollectionGridLayout> layout = QLCollectionGridLayout::create();
  std::shared_ptr<CollectionView> view;
  std::shared_ptr<CollectionViewDataSource> source = std::make_shared<CollectionViewDataSource>();
  std::vector<int> counts;

  explicit Scene(std::vector<int> items, Size size = Size{320, 480}) : counts(std::move(items)) {
    view = CollectionView::create(Rect(Point{}, size), layout);
    source->numberOfSectionsInCollectionView = [this](CollectionView&) {
      return static_cast<int>(counts.size());
    };
    source->numberOfItemsInSection = [this](CollectionView&, int s) {
      return counts[static_cast<size_t>(s)];
    };
    view->setDataSource(source);
  }
  Rect item(int s, int i) {
    view->prepareLayoutIfNeeded();
    return layout->layoutAttributesForItemAtIndexPath(IndexPath{s, i})->frame();
  }
};

TEST(CollectionGridLayout, DefaultsMakeFullWidthSquares) {
  Scene s({7});
  EXPECT_EQ(s.layout->usableSpaceInSection(0), 320);
  EXPECT_EQ(s.layout->cellSizeInSection(0), (Size{320, 320}));
  EXPECT_EQ(s.layout->rowsInSection(0), 7);
  EXPECT_EQ(s.layout->contentLengthForSection(0), 2300);
  EXPECT_EQ(s.item(0, 3), Rect(0, 990, 320, 320));
  EXPECT_EQ(s.view->contentSize(), (Size{320, 2300}));
}

TEST(CollectionGridLayout, InsetsSpacingAndItemsPerLine) {
  Scene s({9});
  s.layout->setSectionInset(EdgeInsets{10, 10, 10, 10});
  s.layout->setNumberOfItemsPerLine(4);
  EXPECT_EQ(s.layout->usableSpaceInSection(0), 270);
  EXPECT_EQ(s.layout->cellSizeInSection(0), (Size{67.5, 67.5}));
  EXPECT_EQ(s.layout->rowsInSection(0), 3);
  EXPECT_EQ(s.layout->contentLengthForSection(0), 242.5);
  EXPECT_EQ(s.item(0, 5), Rect(87.5, 87.5, 67.5, 67.5));
}

TEST(CollectionGridLayout, HeaderMovesItsSectionAndLaterOnes) {
  Scene s({2, 2});
  s.layout->setNumberOfItemsPerLine(2);
  s.layout->setInteritemSpacing(0);
  s.layout->setHeaderReferenceLength(30);
  s.layout->invalidateLayout();
  EXPECT_EQ(s.item(0, 0), Rect(0, 30, 160, 160));
  EXPECT_EQ(s.item(1, 1), Rect(160, 190 + 30, 160, 160));
  auto header = s.layout->layoutAttributesForSupplementaryViewOfKind(kCollectionElementKindSectionHeader,
                                                                      IndexPath{1, 0});
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->frame(), Rect(0, 190, 320, 30));
  EXPECT_FALSE(s.layout->footerAttributesForIndexPath(IndexPath{1, 0}).has_value());
}

TEST(CollectionGridLayout, NegativeHeaderAndFooterLengthsMeanNone) {
  Scene s({1, 1});
  s.layout->setHeaderReferenceLength(-30);
  s.layout->setFooterReferenceLength(-20);
  s.layout->invalidateLayout();
  EXPECT_EQ(s.item(1, 0), Rect(0, 320, 320, 320)) << "sections neither overlap nor shrink";
  EXPECT_EQ(s.layout->contentLengthForSection(0), 320);
  EXPECT_FALSE(s.layout->layoutAttributesForSupplementaryViewOfKind(kCollectionElementKindSectionHeader,
                                                                     IndexPath{1, 0}).has_value());
  EXPECT_FALSE(s.layout->footerAttributesForIndexPath(IndexPath{0, 0}).has_value());
}

TEST(CollectionGridLayout, FootersEndTheirSection) {
  Scene s({1});
  s.layout->setFooterReferenceLength(20);
  s.layout->invalidateLayout();
  s.item(0, 0);
  auto footer = s.layout->layoutAttributesForSupplementaryViewOfKind(kCollectionElementKindSectionFooter,
                                                                      IndexPath{0, 0});
  ASSERT_TRUE(footer.has_value());
  EXPECT_EQ(footer->frame(), Rect(0, 320, 320, 20));
  auto all = s.layout->layoutAttributesForElementsInRect(Rect(0, 0, 320, 400));
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].category(), CollectionViewLayoutAttributes::Category::Cell);  // items first
}

TEST(CollectionGridLayout, EmptySectionAddsNoNegativeLength) {
  Scene s({0, 1});
  EXPECT_EQ(s.layout->contentLengthForSection(0), 0);
  EXPECT_EQ(s.layout->startOfSection(1), 0);
  EXPECT_EQ(s.item(1, 0).y(), 0);
  EXPECT_EQ(s.layout->collectionViewContentLength(), 320);
}

TEST(CollectionGridLayout, HorizontalLinesRunDownAndStackRight) {
  Scene s({5}, Size{300, 200});
  s.layout->setScrollDirection(1);
  s.layout->setNumberOfItemsPerLine(2);
  s.layout->setAspectRatio(2);
  s.layout->setSectionInset(EdgeInsets{0, 10, 0, 0});
  // usable 200 - 10 = 190, u = 95, item 190 x 95; 3 lines.
  EXPECT_EQ(s.item(0, 3), Rect(10 + 190 + 10, 95 + 10, 190, 95));
  EXPECT_EQ(s.view->contentSize(), (Size{10 + 3 * 190 + 2 * 10, 200}));
}

TEST(CollectionGridLayout, DelegateAnswersComeFirst) {
  Scene s({6});
  auto d = std::make_shared<GridDelegate>();
  d->numberItemsPerLineForSectionAtIndex = [](CollectionView&, CollectionViewLayout&, int) { return 3; };
  d->lineSpacingForSectionAtIndex = [](CollectionView&, CollectionViewLayout&, int) { return 0.0; };
  s.view->setDelegate(d);
  s.layout->setNumberOfItemsPerLine(5);  // ignored: the delegate answers
  EXPECT_EQ(s.layout->numberOfItemsPerLineForSection(0), 3);
  EXPECT_EQ(s.item(0, 4), Rect(110, 100, 100, 100));
}

TEST(CollectionGridLayout, ZeroItemsPerLineOrRatioStayFinite) {
  Scene s({3});
  s.layout->setNumberOfItemsPerLine(0);
  s.layout->setAspectRatio(0);
  EXPECT_EQ(s.layout->numberOfItemsPerLineForSection(0), 1);
  EXPECT_EQ(s.item(0, 2), Rect(0, 660, 320, 320));
}

TEST(CollectionGridLayout, SettersInvalidateOnlyOnChange) {
  Scene s({4});
  s.view->layoutIfNeeded();
  s.layout->setNumberOfItemsPerLine(1);
  s.layout->setAspectRatio(1.0);
  s.layout->setHeaderReferenceLength(40);  // stored, never invalidates
  EXPECT_FALSE(s.view->needsLayout());
  s.layout->setNumberOfItemsPerLine(5);
  EXPECT_TRUE(s.view->needsLayout());
  EXPECT_FALSE(s.layout->shouldInvalidateLayoutForBoundsChange(Rect(0, 50, 320, 480)));
  EXPECT_TRUE(s.layout->shouldInvalidateLayoutForBoundsChange(Rect(0, 0, 320, 400)));
}

}  // namespace
}  // namespace vexa
