#include <gtest/gtest.h>

#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/Window.h"

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
  ASSERT_NE(t.view->headerViewForSection(1), nullptr);  // pinned at the top
  EXPECT_EQ(t.view->headerViewForSection(1)->frame().y(), 650);
  EXPECT_LE(t.view->subviews().size(), 7u);
}

TEST(TableViewTest, TapSelectsAndDeletingTheRowKeepsTheListConsistent) {
  Table t;
  t.window->touches().tap(Point{100, 70}, 0);
  EXPECT_EQ(t.selected, (std::vector<IndexPath>{IndexPath{0, 1}}));
  EXPECT_EQ(t.view->indexPathForSelectedRow(), (IndexPath{0, 1}));
  t.rows[0] = 2;
  t.view->deleteRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::Fade);
  t.view->layoutIfNeeded();
  EXPECT_EQ(t.view->numberOfRowsInSection(0), 2);
  EXPECT_EQ(t.view->indexPathForSelectedRow(), std::nullopt);
  EXPECT_EQ(t.view->rectForHeaderInSection(1).y(), 120);
}

TEST(TableViewTest, PlainHeadersStayPinnedUntilTheNextSectionPushesThemUp) {
  Table t;
  t.rows = {3, 5, 2};
  t.delegate->heightForRowAtIndexPath = [](TableView&, const IndexPath&) { return 44.0; };
  t.delegate->heightForHeaderInSection = [](TableView&, int) { return 30.0; };
  t.view->reloadData();
  // Sections: header 0 at 0, rows to 162; header 1 at 162, rows to 412; header 2 at 412.
  auto headerY = [&](double offset) -> std::vector<double> {
    t.view->setContentOffset(Point{0, offset});
    t.view->layoutIfNeeded();
    std::vector<double> ys;
    for (int s = 0; s < 3; ++s)
      if (auto h = t.view->headerViewForSection(s)) ys.push_back(h->frame().y());
      else ys.push_back(-1);
    return ys;
  };
  EXPECT_EQ(headerY(0), (std::vector<double>{0, 162, -1}));
  EXPECT_EQ(headerY(50), (std::vector<double>{50, 162, -1}));
  EXPECT_EQ(headerY(140), (std::vector<double>{132, 162, -1}));  // pushed up by header 1
  EXPECT_EQ(headerY(170), (std::vector<double>{-1, 170, -1}));
  EXPECT_EQ(headerY(330), (std::vector<double>{-1, 330, 412}));
  // The rows scroll under the pinned header; a tap on it selects nothing.
  headerY(50);
  EXPECT_EQ(t.view->cellForRowAtIndexPath({0, 0})->frame().y(), 30);
  t.window->touches().tap(Point{100, 10}, 0);
  EXPECT_TRUE(t.selected.empty());
  // Below a content inset the header pins under the inset.
  t.view->setContentInset(EdgeInsets{20, 0, 0, 0});
  EXPECT_EQ(headerY(-20), (std::vector<double>{0, 162, -1}));
  EXPECT_EQ(headerY(50), (std::vector<double>{70, 162, -1}));

  auto grouped = TableView::create(Rect(0, 0, 320, 200), TableViewStyle::Grouped);
  grouped->setDataSource(t.source);
  grouped->setDelegate(t.delegate);
  grouped->setContentOffset(Point{0, 20});
  grouped->layoutIfNeeded();
  ASSERT_NE(grouped->headerViewForSection(0), nullptr);
  EXPECT_EQ(grouped->headerViewForSection(0)->frame().y(), 0);
}

}  // namespace
}  // namespace vexa
