// My emoticons and favourites: rows follow the store, "移除" removes and
// reports only what the store removed, and the favourites' picks.
#include "DownloadTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLCollectViewController.h"
#include "vexa/shop/QLDetailViewController.h"
#include "vexa/shop/QLDownloadedTableCell.h"
#include "vexa/shop/QLEmotionCollectionCell.h"
#include "vexa/shop/QLMyViewController.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

constexpr const char* kCatalog = R"({"packages": [
    {"guid": "one", "name": "One", "is_emoji": false, "cover": "png/c1.png", "chat_icon": "png/i1.png",
     "emoticions": [{"guid": "o0", "emo_code": "o_0", "thumbail": "png/o0.png", "main_image": "gif/o0.gif"}]},
    {"guid": "two", "name": "Two", "is_emoji": false, "cover": "png/c2.png", "chat_icon": "png/i2.png",
     "emoticions": [{"guid": "t0", "emo_code": "t_0", "thumbail": "png/t0.png", "main_image": "gif/t0.gif"}]},
    {"guid": "three", "name": "Three", "is_emoji": false, "cover": "png/c3.png", "chat_icon": "png/i3.png",
     "emoticions": [{"guid": "h0", "emo_code": "h_0", "thumbail": "png/h0.png", "main_image": "gif/h0.gif"}]}]})";

class LibraryScreensTest : public test::DownloadTest {
 protected:
  void SetUp() override { startService(test::catalogFromJson(kCatalog)); }
  void TearDown() override {
    window_.reset();
    mine_.reset();
    DownloadTest::TearDown();
  }
  void download(const std::string& guid) {
    ASSERT_TRUE(await([&](auto done) { manager_->downloadPackage(shopPackage(guid), done); }).ok());
  }
  void open() {
    window_ = Window::create(Rect(0, 0, 375, 667));
    mine_ = std::make_shared<QLMyViewController>(*manager_);
    window_->setRootViewController(std::make_shared<NavigationController>(mine_));
    window_->makeKeyAndVisible();
    window_->layoutIfNeeded();
  }
  std::vector<std::string> shownTitles() {
    auto& table = *mine_->tableView();
    table.layoutIfNeeded();
    std::vector<std::string> titles;
    for (const auto& path : table.indexPathsForVisibleRows()) {
      auto cell = std::dynamic_pointer_cast<QLDownloadedTableCell>(table.cellForRowAtIndexPath(path));
      if (cell && cell->alpha() > 0) titles.push_back(cell->titleLabel()->text());
    }
    return titles;
  }
  std::shared_ptr<QLDownloadedTableCell> rowShowing(const std::string& title) {
    auto& table = *mine_->tableView();
    for (const auto& cell : table.visibleCells()) {
      auto row = std::dynamic_pointer_cast<QLDownloadedTableCell>(cell);
      if (row && row->titleLabel()->text() == title) return row;
    }
    return nullptr;
  }

  std::shared_ptr<Window> window_;
  std::shared_ptr<QLMyViewController> mine_;
};

TEST_F(LibraryScreensTest, RemovalDeletesTheRowAndReportsOnlyWhatTheStoreRemoved) {
  download("one");
  download("two");
  open();
  EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Two", "One"}));

  rowShowing("Two")->removeBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
  EXPECT_FALSE(stored("two"));
  test::spin();  // the notification's re-read and the fade-out
  EXPECT_EQ(shownTitles(), (std::vector<std::string>{"One"}));

  // Removed elsewhere before the list caught up: the stale row removes
  // nothing and reports nothing, and the re-read then drops it.
  auto stale = rowShowing("One");
  ASSERT_TRUE(store_->removePackage(store_->downloadedPackages().front()));
  stale->removeBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
  test::spin();
  EXPECT_TRUE(shownTitles().empty());
  awaitReports();
  EXPECT_EQ(reports("remove").size(), 1u);

  // A download finished elsewhere shows up; a tap opens its detail.
  download("three");
  test::spin();
  EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Three"}));
  mine_->didSelectRowAtIndexPath(*mine_->tableView(), IndexPath::forRow(0, 0));
  auto detail = std::dynamic_pointer_cast<QLDetailViewController>(mine_->navigationController()->topViewController());
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(detail->package()->guid(), "three");
}

TEST(FavouritesScreen, PicksAreCountedInDecimalAndDeletedInOneBatch) {
  auto window = Window::create(Rect(0, 0, 375, 667));
  auto favourites = std::make_shared<QLCollectViewController>();
  auto stack = std::make_shared<NavigationController>(favourites);
  window->setRootViewController(stack);
  window->makeKeyAndVisible();
  window->layoutIfNeeded();
  auto& grid = *favourites->collectionView();
  EXPECT_EQ(grid.numberOfItemsInSection(0), QLCollectViewController::kPlaceholderCount + 1);  // "add"
  favourites->editAction();
  EXPECT_EQ(favourites->title(), "删除 ( 0 )");
  EXPECT_EQ(grid.numberOfItemsInSection(0), QLCollectViewController::kPlaceholderCount);
  for (int item : {0, 4, 7, 4, 12}) favourites->didSelectItemAtIndexPath(grid, IndexPath::forItem(item, 0));
  EXPECT_EQ(favourites->title(), "删除 ( 3 )");
  EXPECT_EQ(stack->navigationBar()->titleLabel()->text(), "删除 ( 3 )");
  grid.layoutIfNeeded();
  auto picked = std::dynamic_pointer_cast<QLEmotionCollectionCell>(grid.cellForItemAtIndexPath(IndexPath::forItem(7, 0)));
  ASSERT_NE(picked, nullptr);
  EXPECT_EQ(picked->cellStatus(), QLEmotionCollectionCell::kStatusSelected);

  favourites->editAction();
  ASSERT_TRUE(grid.lastUpdate().has_value());
  EXPECT_FALSE(grid.lastUpdate()->reloaded);
  EXPECT_FALSE(favourites->isEditing());
  EXPECT_EQ(favourites->dataSource().size(), QLCollectViewController::kPlaceholderCount - 3u);
  EXPECT_EQ(grid.numberOfItemsInSection(0), QLCollectViewController::kPlaceholderCount - 2);
  EXPECT_EQ(favourites->title(), "我的收藏表情");
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(LibraryScreensTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
