// Row and item deletion: the list ends as its data source has it, each row
// once, whether the batch's counts add up (animated) or not (reload).
#include <gtest/gtest.h>

#include <algorithm>

#include "vexa/platform/ui/CollectionView.h"
#include "vexa/platform/ui/CollectionViewFlowLayout.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/Window.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

struct NameTable {
  std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 200));
  std::shared_ptr<TableView> table = TableView::create(Rect(0, 0, 320, 200));
  std::shared_ptr<TableViewDataSource> source = std::make_shared<TableViewDataSource>();
  std::vector<std::string> names{"a", "b", "c", "d", "e"};

  NameTable() {
    table->registerClass<TableViewCell>("Cell");
    source->numberOfRowsInSection = [this](TableView&, int) { return static_cast<int>(names.size()); };
    source->cellForRowAtIndexPath = [this](TableView& t, const IndexPath& p) {
      auto cell = t.dequeueReusableCellWithIdentifier("Cell");
      cell->textLabel()->setText(names[static_cast<size_t>(p.row())]);
      return cell;
    };
    table->setDataSource(source);
    window->addSubview(table);
    window->layoutIfNeeded();
  }
  // The texts of the rows on screen, top to bottom, fading ones left out.
  std::vector<std::string> shown() {
    window->layoutIfNeeded();
    std::vector<std::pair<double, std::string>> rows;
    for (const auto& v : table->subviews())
      if (auto cell = std::dynamic_pointer_cast<TableViewCell>(v); cell && cell->alpha() > 0)
        rows.emplace_back(cell->frame().y(), cell->textLabel()->text());
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> out;
    for (auto& [y, text] : rows) out.push_back(text);
    return out;
  }
};

TEST(TableDeletion, ARowRemovedWhileAReloadComesInIsGoneOnceAndFadesOut) {
  NameTable t;
  auto b = t.table->cellForRowAtIndexPath({0, 1});
  t.table->beginUpdates();
  t.names.erase(t.names.begin() + 1);
  t.table->reloadData();  // the store's notification, in the middle of the update
  t.table->deleteRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::Fade);
  t.table->endUpdates();
  EXPECT_EQ(t.table->numberOfRowsInSection(0), 4);
  EXPECT_EQ(t.shown(), (std::vector<std::string>{"a", "c", "d", "e"}));
  AnimationRecord fade{BatchUpdate::kDuration, 0, AnimationCurve::EaseInOut};
  EXPECT_EQ(t.table->lastUpdate(), (BatchUpdateRecord{{{0, 1}}, {}, false, fade}));
  EXPECT_EQ(b->alpha(), 0);
  EXPECT_EQ(b->lastAnimation(), fade);
  EXPECT_EQ(b->superview(), t.table.get());  // until the animation completes
  EXPECT_TRUE(test::runUntil([&] { return b->superview() == nullptr; }));
}

TEST(TableDeletion, RowsBelowMoveUpUnderTheAnimation) {
  NameTable t;
  auto b = t.table->cellForRowAtIndexPath({0, 1});
  auto c = t.table->cellForRowAtIndexPath({0, 2});
  t.names.erase(t.names.begin() + 1);
  t.table->deleteRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::Left);
  EXPECT_EQ(t.table->cellForRowAtIndexPath({0, 1}), c);
  EXPECT_EQ(c->frame().y(), 44);
  EXPECT_DOUBLE_EQ(c->lastAnimation()->duration, BatchUpdate::kDuration);
  EXPECT_EQ(b->frame().x(), -320);  // slid out to the left
}

TEST(TableDeletion, CountsThatDoNotAddUpReloadInstead) {
  NameTable t;
  t.table->deleteRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::Fade);  // data unchanged
  EXPECT_TRUE(t.table->lastUpdate()->reloaded);
  EXPECT_EQ(t.shown(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  t.names.pop_back();
  t.table->deleteRowsAtIndexPaths({{0, 7}}, TableViewRowAnimation::Fade);  // no such row
  EXPECT_TRUE(t.table->lastUpdate()->reloaded);
  EXPECT_EQ(t.shown(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(CollectionDeletion, ABatchRemovesItemsKeepsTheSelectionAndCompletesAfterTheAnimation) {
  auto window = Window::create(Rect(0, 0, 100, 200));
  auto layout = CollectionViewFlowLayout::create();
  layout->setItemSize(Size{50, 50});
  layout->setMinimumLineSpacing(0);
  layout->setMinimumInteritemSpacing(0);
  auto view = CollectionView::create(Rect(0, 0, 100, 200), layout);
  view->registerClass<CollectionViewCell>("Cell");
  std::vector<int> items{0, 1, 2, 3, 4, 5};
  auto source = std::make_shared<CollectionViewDataSource>();
  source->numberOfItemsInSection = [&](CollectionView&, int) { return static_cast<int>(items.size()); };
  source->cellForItemAtIndexPath = [&](CollectionView& cv, const IndexPath& p) {
    auto cell = cv.dequeueReusableCell("Cell", p);
    cell->setTag(items[static_cast<size_t>(p.item)]);
    return cell;
  };
  view->setDataSource(source);
  window->addSubview(view);
  window->layoutIfNeeded();
  view->selectItemAtIndexPath(IndexPath{0, 4}, false, CollectionViewScrollPosition::None);
  auto gone = view->cellForItemAtIndexPath({0, 3});

  bool completed = false;
  view->performBatchUpdates([&] {
    items = {0, 2, 4, 5};
    view->deleteItemsAtIndexPaths({{0, 3}, {0, 1}});
  }, [&](bool finished) { completed = finished; });
  std::vector<int> tags;
  for (int i = 0; i < view->numberOfItemsInSection(0); ++i)
    if (auto cell = view->cellForItemAtIndexPath({0, i})) tags.push_back(cell->tag());
  EXPECT_EQ(tags, (std::vector<int>{0, 2, 4, 5}));
  EXPECT_EQ(view->cellForItemAtIndexPath({0, 1})->frame(), Rect(50, 0, 50, 50));
  EXPECT_EQ(view->indexPathsForSelectedItems(), (std::vector<IndexPath>{{0, 2}}));
  EXPECT_EQ(view->lastUpdate()->deleted, (std::vector<IndexPath>{{0, 1}, {0, 3}}));
  EXPECT_EQ(gone->alpha(), 0);
  EXPECT_FALSE(completed);
  EXPECT_TRUE(test::runUntil([&] { return completed; }));
  EXPECT_EQ(gone->superview(), nullptr);
}

}  // namespace
}  // namespace vexa
