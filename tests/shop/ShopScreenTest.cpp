// The shop screen against the reference service: loading and its failure
// page, the banner row, rows following their packages' progress, downloads
// and closing.
#include "DownloadTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include <thread>

#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLAdTableCell.h"
#include "vexa/shop/QLNormalTableCell.h"
#include "vexa/shop/QLShopViewController.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

using test::DownloadTest;

// Records the packages whose detail screen it was asked to open.
class RecordingShop : public QLShopViewController {
 public:
  using QLShopViewController::QLShopViewController;
  void showDetailViewControllerWithPackage(const PackagePtr& package) override {
    opened.push_back(package ? package->guid() : "");
  }
  std::vector<std::string> opened;
};

class ShopScreenTest : public DownloadTest {
 protected:
  void TearDown() override {
    if (host_) host_->dismissViewController(false);
    shop_.reset();
    DownloadTest::TearDown();
  }

  // Presents the shop in a navigation stack from the window's root screen.
  void open() {
    window_ = Window::create(Screen::main().bounds);
    host_ = std::make_shared<ViewController>();
    window_->setRootViewController(host_);
    window_->makeKeyAndVisible();
    shop_ = std::make_shared<RecordingShop>(*manager_);
    host_->presentViewController(std::make_shared<NavigationController>(shop_), false);
  }
  bool loaded() {
    return test::runUntil([this] { return !shop_->isLoading(); }, std::chrono::seconds(20));
  }
  size_t bannerRequests() const { return count("GET", "/api/v1/ad_banner/index"); }
  TableView& table() { return *shop_->tableView(); }
  // The visible package row showing the package, or nullptr.
  std::shared_ptr<QLNormalTableCell> rowOf(const std::string& guid) {
    table().layoutIfNeeded();
    for (const auto& path : table().indexPathsForVisibleRows()) {
      if (path.section == 0) continue;
      const auto& packages = shop_->categories()[static_cast<size_t>(path.section)]->packages();
      if (packages[static_cast<size_t>(path.row())]->guid() == guid) {
        return std::dynamic_pointer_cast<QLNormalTableCell>(table().cellForRowAtIndexPath(path));
      }
    }
    return nullptr;
  }

  std::shared_ptr<Window> window_;
  std::shared_ptr<ViewController> host_;
  std::shared_ptr<RecordingShop> shop_;
};

TEST_F(ShopScreenTest, AFailedLoadShowsTheFailurePageAndOneRetryFillsTheScreen) {
  service_->faults().add({.pathPattern = "/api/v1/category", .status = 500, .times = 1});
  open();
  ASSERT_TRUE(loaded());
  ASSERT_NE(shop_->loadFailedView(), nullptr);
  EXPECT_TRUE(shop_->categories().empty());
  EXPECT_EQ(bannerRequests(), 1u);

  // Two quick taps on "重新加载" load once.
  shop_->loadFailedView()->reloadBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
  shop_->loadFailedView()->reloadBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
  shop_->fetchData();  // and so does a load asked for while one runs
  ASSERT_TRUE(loaded());
  EXPECT_EQ(bannerRequests(), 2u);
  EXPECT_EQ(shop_->loadFailedView(), nullptr);
  ASSERT_EQ(shop_->categories().size(), 1u + service_->catalog().shopCategories().size());
  EXPECT_EQ(table().numberOfRowsInSection(0), 1);
  EXPECT_EQ(table().rectForRowAtIndexPath(IndexPath::forRow(0, 0)).height(), 200);
}

TEST_F(ShopScreenTest, SectionZeroIsTheBannerGroupAndBannerPagesOpenThePackageTheyShow) {
  startService(test::catalogFromJson(R"({"packages": [
      {"guid": "plain", "name": "Plain", "is_emoji": false, "cover": "png/c1.png",
       "chat_icon": "png/i1.png", "emoticions": [{"guid": "e1", "emo_code": "e1",
       "thumbail": "png/e1.png", "main_image": "png/e1m.png"}]},
      {"guid": "shown", "name": "Shown", "is_emoji": false, "cover": "png/c2.png",
       "chat_icon": "png/i2.png", "banner": "png/b2.png", "emoticions": [{"guid": "e2",
       "emo_code": "e2", "thumbail": "png/e2.png", "main_image": "png/e2m.png"}]}],
    "bannerGroups": [{"guid": "ads", "name": "Ads", "packages": ["plain", "shown"]}],
    "shopCategories": [{"guid": "all", "name": "All", "packages": ["plain", "shown"]}]})"));
  open();
  ASSERT_TRUE(loaded());
  ASSERT_EQ(shop_->categories().size(), 2u);
  table().layoutIfNeeded();
  auto banner = std::dynamic_pointer_cast<QLAdTableCell>(table().cellForRowAtIndexPath(IndexPath{0, 0}));
  ASSERT_NE(banner, nullptr);
  ASSERT_EQ(banner->loopScrollView()->imageUrls()->size(), 1u);  // no empty page for "plain"
  EXPECT_EQ(shop_->bannerPackageAtIndex(0)->guid(), "shown");
  EXPECT_EQ(shop_->bannerPackageAtIndex(1), nullptr);
  EXPECT_EQ(shop_->bannerPackageAtIndex(-1), nullptr);

  // Without any banner group the first category stays a category.
  startService(test::catalogFromJson(R"({"packages": [
      {"guid": "plain", "name": "Plain", "is_emoji": false, "cover": "png/c1.png",
       "chat_icon": "png/i1.png", "emoticions": [{"guid": "e1", "emo_code": "e1",
       "thumbail": "png/e1.png", "main_image": "png/e1m.png"}]}],
    "shopCategories": [{"guid": "all", "name": "All", "packages": ["plain"]}]})"));
  auto other = std::make_shared<RecordingShop>(*manager_);
  auto stack = std::make_shared<NavigationController>(other);
  stack->view();
  ASSERT_TRUE(test::runUntil([&] { return !other->isLoading(); }));
  ASSERT_EQ(other->categories().size(), 2u);
  EXPECT_TRUE(other->categories()[0]->packages().empty());
  EXPECT_EQ(other->categories()[1]->name(), "All");
  EXPECT_EQ(other->numberOfRowsInSection(*other->tableView(), 1), 1);
}

TEST_F(ShopScreenTest, ProgressReachesOnlyTheVisibleRowShowingThePackageFromAnyThread) {
  open();
  ASSERT_TRUE(loaded());
  ASSERT_GE(shop_->categories().size(), 2u);
  auto first = shop_->categories()[1]->packages().front();
  auto row = rowOf(first->guid());
  ASSERT_NE(row, nullptr);
  std::thread([&] { first->setProgress(0.4); }).join();
  ASSERT_TRUE(test::runUntil([&] { return row->progress() == 0.4; }));
  EXPECT_EQ(row->downloadView()->status(), QLDownloadView::kStatusDownloading);

  // Scrolled away, the row's cell is recycled for another package; it must
  // not show this package's progress.
  table().setFrame(Rect(0, 64, 375, 150));
  table().setContentOffset(Point{0, table().contentSize().height - 150});
  table().layoutIfNeeded();
  ASSERT_EQ(rowOf(first->guid()), nullptr);
  std::vector<std::pair<std::shared_ptr<QLNormalTableCell>, double>> before;
  for (const auto& cell : table().visibleCells()) {
    if (auto r = std::dynamic_pointer_cast<QLNormalTableCell>(cell)) before.emplace_back(r, r->progress());
  }
  ASSERT_FALSE(before.empty());
  first->setProgress(0.9);
  test::spin();
  for (const auto& [cell, progress] : before) EXPECT_EQ(cell->progress(), progress);

  // Back on screen the row shows the current value.
  table().setContentOffset(Point{0, table().rectForRowAtIndexPath(IndexPath::forRow(0, 1)).y()});
  table().layoutIfNeeded();
  ASSERT_NE(rowOf(first->guid()), nullptr);
  EXPECT_EQ(rowOf(first->guid())->progress(), 0.9);
  first->setProgress(0);
}

TEST_F(ShopScreenTest, ADoubleTapStartsOneDownloadAndTheRowEndsDownloaded) {
  open();
  ASSERT_TRUE(loaded());
  std::shared_ptr<QLPackage> package;
  for (size_t s = 1; s < shop_->categories().size() && !package; ++s) {
    for (const auto& p : shop_->categories()[s]->packages()) {
      if (!store_->isDownloadedForPackage(*p) && rowOf(p->guid())) {
        package = p;
        break;
      }
    }
  }
  ASSERT_NE(package, nullptr);
  auto row = rowOf(package->guid());
  EXPECT_EQ(row->downloadView()->downloadBtn()->currentTitle(), "下载");
  row->downloadView()->downloadBtnAction();
  row->downloadView()->downloadBtnAction();
  EXPECT_EQ(shop_->downloadingPackages().size(), 1u);
  ASSERT_TRUE(test::runUntil([&] { return shop_->downloadingPackages().empty(); },
                             std::chrono::seconds(30)));
  test::spin();
  EXPECT_EQ(count("GET", "/api/v1/package/" + package->guid() + "/emojis"), 1u);
  EXPECT_TRUE(stored(package->guid()));
  row = rowOf(package->guid());
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->downloadView()->status(), QLDownloadView::kStatusDownloaded);
  EXPECT_EQ(row->downloadView()->downloadBtn()->currentTitle(), "已下载");
}

TEST_F(ShopScreenTest, BackClosesTheStackAndThenTellsTheCentre) {
  open();
  ASSERT_TRUE(loaded());
  int dismissed = 0;
  auto observer = NotificationCenter::defaultCenter().addObserver(
      kQLEmotionDismissShopNotification, [&](const Notification&) {
        EXPECT_EQ(host_->presentedViewController(), nullptr);
        ++dismissed;
      });
  shop_->backAction();
  ASSERT_TRUE(test::runUntil([&] { return dismissed == 1; }));
  EXPECT_EQ(host_->presentedViewController(), nullptr);
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(ShopScreenTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
