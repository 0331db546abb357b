#include <gtest/gtest.h>

#include <set>

#include "support/MainQueueTesting.h"
#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/CollectionViewFlowLayout.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

class NumberCell : public CollectionViewCell {
 public:
  using CollectionViewCell::CollectionViewCell;
  int reuses = 0;
  void prepareForReuse() override {
    CollectionViewCell::prepareForReuse();
    ++reuses;
  }
};

// A horizontal strip of `count` full-width pages in one section.
struct Strip {
  std::shared_ptr<Window> window = Window::create(Rect(0, 0, 100, 50));
  std::shared_ptr<CollectionViewFlowLayout> layout = CollectionViewFlowLayout::create();
  std::shared_ptr<CollectionView> view;
  std::shared_ptr<CollectionViewDataSource> source = std::make_shared<CollectionViewDataSource>();
  std::shared_ptr<CollectionViewDelegate> delegate = std::make_shared<CollectionViewDelegate>();
  int count = 10;
  int built = 0;
  std::set<NumberCell*> distinct;
  std::vector<std::string> log;

  Strip() {
    layout->setScrollDirection(ScrollDirection::Horizontal);
    layout->setItemSize(Size{100, 50});
    layout->setMinimumLineSpacing(0);
    view = CollectionView::create(Rect(0, 0, 100, 50), layout);
    view->registerClass<NumberCell>("NumberCell");
    source->numberOfItemsInSection = [this](CollectionView&, int) { return count; };
    source->cellForItemAtIndexPath = [this](CollectionView& cv, const IndexPath& p) {
      ++built;
      auto cell = std::static_pointer_cast<NumberCell>(cv.dequeueReusableCell("NumberCell", p));
      distinct.insert(cell.get());
      return cell;
    };
    delegate->didSelectItemAtIndexPath = [this](CollectionView&, const IndexPath& p) {
      log.push_back("select " + std::to_string(p.item));
    };
    delegate->scrollViewWillBeginDragging = [this](ScrollView&) { log.push_back("willBeginDragging"); };
    delegate->scrollViewDidEndDragging = [this](ScrollView&, bool d) {
      log.push_back(d ? "didEndDragging decelerate" : "didEndDragging");
    };
    delegate->scrollViewDidEndDecelerating = [this](ScrollView&) { log.push_back("didEndDecelerating"); };
    view->setPagingEnabled(true);
    view->setDataSource(source);
    view->setDelegate(delegate);
    window->addSubview(view);
    view->layoutIfNeeded();
  }
};

TEST(CollectionView, BuildsOnlyVisibleCellsAndRecyclesThem) {
  Strip s;
  EXPECT_EQ(s.view->contentSize(), (Size{1000, 50}));
  EXPECT_EQ(s.view->indexPathsForVisibleItems(), (std::vector<IndexPath>{IndexPath{0, 0}}));
  s.view->setContentOffset(Point{50, 0});
  s.view->layoutIfNeeded();
  EXPECT_EQ(s.view->indexPathsForVisibleItems(), (std::vector<IndexPath>{{0, 0}, {0, 1}}));
  for (int page = 2; page < 10; ++page) {
    s.view->setContentOffset(Point{page * 100.0, 0});
    s.view->layoutIfNeeded();
  }
  EXPECT_EQ(s.view->indexPathsForVisibleItems(), (std::vector<IndexPath>{IndexPath{0, 9}}));
  EXPECT_EQ(s.view->cellForItemAtIndexPath(IndexPath{0, 9})->frame(), Rect(900, 0, 100, 50));
  EXPECT_EQ(s.view->cellForItemAtIndexPath(IndexPath{0, 3}), nullptr);
  EXPECT_EQ(s.built, 10);
  EXPECT_LE(s.distinct.size(), 2u);  // ten pages shown with at most two cells
}

TEST(CollectionView, ReloadReadsCountsAgainAndReusesCells) {
  Strip s;
  auto first = s.view->cellForItemAtIndexPath(IndexPath{0, 0});
  s.count = 0;
  EXPECT_EQ(s.view->numberOfItemsInSection(0), 10);  // counts are read once per reload
  s.view->reloadData();
  s.view->layoutIfNeeded();
  EXPECT_TRUE(s.view->visibleCells().empty());
  EXPECT_EQ(s.view->contentSize().width, 0);
  s.count = 3;
  s.view->reloadData();
  s.view->layoutIfNeeded();
  ASSERT_EQ(s.view->visibleCells().size(), 1u);
  EXPECT_EQ(s.view->visibleCells().front(), first);
  EXPECT_EQ(std::static_pointer_cast<NumberCell>(first)->reuses, 1);
}

TEST(CollectionView, TapSelectsTheItemUnderTheFinger) {
  Strip s;
  s.view->setContentOffset(Point{300, 0});
  s.view->layoutIfNeeded();
  s.window->touches().tap(Point{40, 20}, 0);
  EXPECT_EQ(s.log, std::vector<std::string>{"select 3"});
  EXPECT_EQ(s.view->indexPathsForSelectedItems(), (std::vector<IndexPath>{IndexPath{0, 3}}));
  EXPECT_TRUE(s.view->cellForItemAtIndexPath(IndexPath{0, 3})->isSelected());
  EXPECT_EQ(s.view->indexPathForItemAtPoint(Point{450, 10}), (IndexPath{0, 4}));
  EXPECT_EQ(s.view->indexPathForItemAtPoint(Point{2000, 10}), std::nullopt);
}

TEST(CollectionView, DragSettlesOnAPageAndReportsDeceleration) {
  Strip s;
  s.window->touches().touchDown(Point{80, 20}, 0);
  s.window->touches().touchMove(Point{60, 20}, 0.1);
  s.window->touches().touchMove(Point{20, 20}, 0.5);  // 60 points left, slowly
  EXPECT_EQ(s.view->contentOffset(), (Point{60, 0}));
  s.window->touches().touchUp(Point{20, 20}, 0.6);
  EXPECT_EQ(s.view->contentOffset(), (Point{100, 0}));
  EXPECT_TRUE(test::runUntil([&] { return s.log.size() == 3; }));
  EXPECT_EQ(s.log, (std::vector<std::string>{"willBeginDragging", "didEndDragging decelerate",
                                             "didEndDecelerating"}));
  // A drag never selects.
  EXPECT_TRUE(s.view->indexPathsForSelectedItems().empty());
}

TEST(CollectionView, ShortFlickStillTurnsOnePageButNeverPastTheEnd) {
  Strip s;
  s.window->touches().touchDown(Point{80, 20}, 0);
  s.window->touches().touchMove(Point{65, 20}, 0.01);
  s.window->touches().touchUp(Point{65, 20}, 0.02);
  EXPECT_EQ(s.view->contentOffset(), (Point{100, 0}));
  s.view->setContentOffset(Point{900, 0});
  s.window->touches().touchDown(Point{80, 20}, 1);
  s.window->touches().touchMove(Point{20, 20}, 1.01);
  s.window->touches().touchUp(Point{20, 20}, 1.02);
  EXPECT_EQ(s.view->contentOffset(), (Point{900, 0}));
}

TEST(CollectionView, SizeChangeInvalidatesTheLayoutButScrollingDoesNot) {
  Strip s;
  EXPECT_FALSE(s.layout->shouldInvalidateLayoutForBoundsChange(Rect(300, 0, 100, 50)));
  EXPECT_TRUE(s.layout->shouldInvalidateLayoutForBoundsChange(Rect(0, 0, 120, 50)));
  s.layout->setItemSize(Size{120, 50});
  s.view->setFrame(Rect(0, 0, 120, 50));
  s.view->layoutIfNeeded();
  EXPECT_EQ(s.view->contentSize(), (Size{1200, 50}));
}

TEST(FlowLayout, VerticalLinesWrapWithInsetsHeadersAndSpacing) {
  auto layout = CollectionViewFlowLayout::create();
  layout->setItemSize(Size{40, 30});
  layout->setSectionInset(EdgeInsets{5, 10, 5, 10});
  layout->setMinimumInteritemSpacing(10);
  layout->setMinimumLineSpacing(4);
  layout->setHeaderReferenceSize(Size{0, 20});
  auto view = CollectionView::create(Rect(0, 0, 160, 300), layout);
  auto source = std::make_shared<CollectionViewDataSource>();
  source->numberOfSectionsInCollectionView = [](CollectionView&) { return 2; };
  source->numberOfItemsInSection = [](CollectionView&, int s) { return s == 0 ? 4 : 1; };
  view->setDataSource(source);
  view->prepareLayoutIfNeeded();
  // 160 wide: 10 + 40 + 10 + 40 + 10 + 40 = 150 <= 150, so three per line.
  EXPECT_EQ(view->layoutAttributesForItemAtIndexPath({0, 2})->frame(), Rect(110, 25, 40, 30));
  EXPECT_EQ(view->layoutAttributesForItemAtIndexPath({0, 3})->frame(), Rect(10, 59, 40, 30));
  // Section 1 starts after 20 + 5 + 30 + 4 + 30 + 5 = 94, header 20, inset 5.
  EXPECT_EQ(view->layoutAttributesForItemAtIndexPath({1, 0})->frame(), Rect(10, 119, 40, 30));
  EXPECT_EQ(layout->layoutAttributesForSupplementaryViewOfKind(kCollectionElementKindSectionHeader, {1, 0})
                ->frame(),
            Rect(0, 94, 160, 20));
  EXPECT_EQ(view->contentSize(), (Size{160, 154}));
}

}  // namespace
}  // namespace vexa
