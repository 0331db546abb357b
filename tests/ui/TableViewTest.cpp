#include <gtest/gtest.h>

#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"

namespace vexa {
namespace {

struct Table {
  std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 200));
  std::shared_ptr<TableView> view = TableView::create(Rect(0, 0, 320, 200));
  std::shared_ptr<TableViewDataSource> source = std::make_shared<TableViewDataSource>();
  std::shared_ptr<TableViewDelegate> delegate = std::make_shared<TableViewDelegate>();
  std::vector<int> rows{3, 20};
  int made = 0;
  std::vector<IndexPath> selected;

  Table() {
    view->registerClass<TableViewCell>("Cell");
    source->numberOfSectionsInTableView = [this](TableView&) { return static_cast<int>(rows.size()); };
    source->numberOfRowsInSection = [this](TableView&, int s) { return rows[static_cast<size_t>(s)]; };
    source->cellForRowAtIndexPath = [this](TableView& t, const IndexPath&) {
      ++made;
      return t.dequeueReusableCellWithIdentifier("Cell");
    };
    delegate->heightForRowAtIndexPath = [](TableView&, const IndexPath& p) {
      return p.section == 0 ? 60.0 : 44.0;
    };
    delegate->heightForHeaderInSection = [](TableView&, int s) { return s == 1 ? 30.0 : 0.0; };
    delegate->viewForHeaderInSection = [](TableView&, int) { return View::create(); };
    delegate->didSelectRowAtIndexPath = [this](TableView&, const IndexPath& p) { selected.push_back(p); };
    view->setDataSource(source);
    view->setDelegate(delegate);
    window->addSubview(view);
    view->layoutIfNeeded();
  }
};

TEST(TableViewTest, RowsStackWithHeightsAndHeaders) {
  Table t;
  EXPECT_EQ(t.view->contentSize(), (Size{320, 3 * 60 + 30 + 20 * 44}));
  EXPECT_EQ(t.view->rectForRowAtIndexPath({0, 2}), Rect(0, 120, 320, 60));
  EXPECT_EQ(t.view->rectForHeaderInSection(1), Rect(0, 180, 320, 30));
  EXPECT_EQ(t.view->rectForRowAtIndexPath({1, 0}), Rect(0, 210, 320, 44));
  EXPECT_EQ(t.view->indexPathForRowAtPoint(Point{5, 255}), (IndexPath{1, 1}));
  EXPECT_EQ(t.view->indexPathForRowAtPoint(Point{5, 190}), std::nullopt);  // a header
  EXPECT_EQ(t.view->rectForRowAtIndexPath({1, 20}), Rect());
}

TEST(TableViewTest, OnlyVisibleRowsHaveCellsAndScrollingReusesThem) {
  Table t;
  EXPECT_EQ(t.view->indexPathsForVisibleRows(), (std::vector<IndexPath>{{0, 0}, {0, 1}, {0, 2}}));
  ASSERT_NE(t.view->headerViewForSection(1), nullptr);
  int before = t.made;
  t.view->scrollToRowAtIndexPath({1, 10}, TableViewScrollPosition::Top, false);
  t.view->layoutIfNeeded();
  EXPECT_EQ(t.view->contentOffset().y, 210 + 10 * 44);
  auto visible = t.view->indexPathsForVisibleRows();
  ASSERT_FALSE(visible.empty());
  EXPECT_EQ(visible.front(), (IndexPath{1, 10}));
  EXPECT_EQ(visible.back(), (IndexPath{1, 14}));
  EXPECT_EQ(t.made - before, 5);
  EXPECT_EQ(t.view->headerViewForSection(1), nullptr);
  EXPECT_LE(t.view->subviews().size(), 6u);
}

TEST(TableViewTest, TapSelectsAndDeletingTheRowKeepsTheListConsistent) {
  Table t;
  t.window->touches().tap(Point{100, 70}, 0);
  EXPECT_EQ(t.selected, (std::vector<IndexPath>{IndexPath{0, 1}}));
  EXPECT_EQ(t.view->indexPathForSelectedRow(), (IndexPath{0, 1}));
  t.rows[0] = 2;
  t.view->deleteRowsAtIndexPaths({{0, 1}}, true);
  t.view->layoutIfNeeded();
  EXPECT_EQ(t.view->numberOfRowsInSection(0), 2);
  EXPECT_EQ(t.view->indexPathForSelectedRow(), std::nullopt);
  EXPECT_EQ(t.view->rectForHeaderInSection(1).y(), 120);
}

}  // namespace
}  // namespace vexa
