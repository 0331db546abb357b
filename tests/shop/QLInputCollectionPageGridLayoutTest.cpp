#include <gtest/gtest.h>

#include "vexa/platform/ui/CollectionView.h"
#include "vexa/shop/QLInputCollectionPageGridLayout.h"

namespace vexa {
namespace {

struct Grid {
  std::shared_ptr<QLInputCollectionPageGridLayout> layout = QLInputCollectionPageGridLayout::create();
  std::shared_ptr<CollectionView> view;
  std::shared_ptr<CollectionViewDataSource> source = std::make_shared<CollectionViewDataSource>();
  std::shared_ptr<QLInputCollectionPageGridLayoutDelegate> grid =
      std::make_shared<QLInputCollectionPageGridLayoutDelegate>();
  std::vector<int> counts;
  int invalidations = 0;

  Grid(Size page, std::vector<int> items, int rows, int cols) : counts(std::move(items)) {
    view = CollectionView::create(Rect(Point{}, page), layout);
    source->numberOfSectionsInCollectionView = [this](CollectionView&) {
      return static_cast<int>(counts.size());
    };
    source->numberOfItemsInSection = [this](CollectionView&, int s) {
      return counts[static_cast<size_t>(s)];
    };
    grid->rowsOfSection = [rows](int) { return rows; };
    grid->columsOfSection = [cols](int) { return cols; };
    layout->setGridLayoutDelegate(grid);
    view->setDataSource(source);
    view->prepareLayoutIfNeeded();
  }
  Rect frame(int section, int item) {
    view->prepareLayoutIfNeeded();
    return layout->layoutAttributesForItemAtIndexPath(IndexPath{section, item})->frame();
  }
};

TEST(PageGridLayout, WorkedExample) {
  Grid g(Size{320, 160}, {12}, 2, 4);
  g.layout->setPageContentInsets(EdgeInsets{10, 20, 7, 20});
  g.layout->setItemSpacing(19);
  g.layout->setLineSpacing(9);
  EXPECT_EQ(g.layout->avaliableSizePerPage(), (Size{280, 143}));
  EXPECT_EQ(g.layout->itemSizeAtSection(0), (Size{55.75, 67}));
  EXPECT_EQ(g.frame(0, 9), Rect(414.75, 10, 55.75, 67));
  EXPECT_EQ(g.frame(0, 0), Rect(20, 10, 55.75, 67));
  EXPECT_EQ(g.frame(0, 7), Rect(20 + 3 * 74.75, 10 + 76, 55.75, 67));  // last of page 0
}

TEST(PageGridLayout, SectionsStartOnNewPages) {
  Grid g(Size{320, 160}, {20, 3}, 2, 4);
  EXPECT_EQ(g.layout->pagesAtSection(0), 3);
  EXPECT_EQ(g.layout->originXForSection(1), 3 * 320);
  EXPECT_EQ(g.frame(1, 0).x(), 3 * 320);
  EXPECT_EQ(g.layout->collectionViewContentSize(), (Size{4 * 320, 160}));
  EXPECT_EQ(g.view->contentSize(), (Size{4 * 320, 160}));
}

TEST(PageGridLayout, EmptySectionTakesNoPageAndALoneCellAFullOne) {
  Grid g(Size{320, 160}, {9, 0, 1}, 2, 4);
  EXPECT_EQ(g.layout->pagesAtSection(0), 2);  // the 9th cell alone on page 1
  EXPECT_EQ(g.layout->pagesAtSection(1), 0);
  EXPECT_EQ(g.layout->originXForSection(1), 640);
  EXPECT_EQ(g.layout->originXForSection(2), 640);
  EXPECT_EQ(g.frame(2, 0).x(), 640);
  EXPECT_EQ(g.layout->collectionViewContentSize().width, 3 * 320);
  EXPECT_EQ(g.layout->layoutAttributes().size(), 10u);
}

TEST(PageGridLayout, WithoutADelegateEachCellFillsAPage) {
  Grid g(Size{300, 100}, {3}, 2, 4);
  g.layout->setGridLayoutDelegate({});
  g.layout->invalidateLayout();
  g.layout->setPageContentInsets(EdgeInsets{5, 5, 5, 5});
  EXPECT_EQ(g.layout->rowsAtSection(0), 1);
  EXPECT_EQ(g.layout->columnsAtSection(0), 1);
  EXPECT_EQ(g.frame(0, 2), Rect(605, 5, 290, 90));
}

TEST(PageGridLayout, ZeroRowsOrColumnsCountAsOne) {
  Grid g(Size{320, 160}, {4}, 0, 0);
  EXPECT_EQ(g.layout->numberOfItemsPerPageAtSection(0), 1);
  EXPECT_EQ(g.layout->pagesAtSection(0), 4);
  EXPECT_TRUE(std::isfinite(g.frame(0, 3).x()));
}

TEST(PageGridLayout, PageCountsAreExactForLargeCounts) {
  // 16,777,217 / 1 is not representable as a float; whole-number division is.
  Grid g(Size{10, 10}, {0}, 1, 1);
  g.counts = {16777217};
  g.view->reloadData();
  EXPECT_EQ(g.layout->pagesAtSection(0), 16777217);
}

TEST(PageGridLayout, SettersInvalidateOnlyOnChange) {
  Grid g(Size{320, 160}, {8}, 2, 4);
  g.view->layoutIfNeeded();
  EXPECT_FALSE(g.view->needsLayout());
  g.layout->setItemSpacing(10);
  g.layout->setLineSpacing(10);
  g.layout->setPageContentInsets(EdgeInsets{});
  EXPECT_FALSE(g.view->needsLayout());
  g.layout->setItemSpacing(12);
  EXPECT_TRUE(g.view->needsLayout());
  g.view->layoutIfNeeded();
  EXPECT_EQ(g.frame(0, 1).x(), (320 - 3 * 12) / 4.0 + 12);
  g.layout->setPageContentInsets(EdgeInsets{0, 0, 0, 1});
  EXPECT_TRUE(g.view->needsLayout());
}

TEST(PageGridLayout, OnlySizeChangesInvalidateOnBoundsChange) {
  Grid g(Size{320, 160}, {8}, 2, 4);
  EXPECT_FALSE(g.layout->shouldInvalidateLayoutForBoundsChange(Rect(640, 0, 320, 160)));
  EXPECT_TRUE(g.layout->shouldInvalidateLayoutForBoundsChange(Rect(0, 0, 321, 160)));
  EXPECT_TRUE(g.layout->shouldInvalidateLayoutForBoundsChange(Rect(0, 0, 320, 150)));
}

TEST(PageGridLayout, RectQueryOfOnePageReturnsExactlyItsCells) {
  Grid g(Size{320, 160}, {20, 5}, 2, 4);
  auto page1 = g.layout->layoutAttributesForElementsInRect(Rect(320, 0, 320, 160));
  ASSERT_EQ(page1.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(page1[static_cast<size_t>(i)].indexPath(), (IndexPath{0, 8 + i}));
  auto page3 = g.layout->layoutAttributesForElementsInRect(Rect(960, 0, 320, 160));
  ASSERT_EQ(page3.size(), 5u);
  EXPECT_EQ(page3.front().indexPath(), (IndexPath{1, 0}));
  EXPECT_FALSE(g.layout->layoutAttributesForItemAtIndexPath(IndexPath{1, 5}).has_value());
}

}  // namespace
}  // namespace vexa
