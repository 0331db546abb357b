// The big-emoji screen against the reference service: a stored package
// without a package request, and the failure row for every way the emoji
// or its package cannot be had.
#include "DownloadTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/keyboard/VXEmotionDetailViewController.h"
#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLEmotionDetailTableCell.h"
#include "vexa/shop/QLNormalTableCell.h"
#include "support/MainQueueTesting.h"

namespace vexa {
namespace {

class BigEmojiScreenTest : public test::DownloadTest {
 protected:
  void SetUp() override { startService(test::catalogFromJson(test::onePackageCatalog("cats", 2, false))); }
  void TearDown() override {
    window_.reset();
    screen_.reset();
    DownloadTest::TearDown();
  }
  // Shows the screen for the code and waits until its row is decided.
  void open(const std::string& code) {
    window_ = Window::create(Rect(0, 0, 375, 667));
    screen_ = VXEmotionDetailViewController::create(code, *manager_);
    window_->setRootViewController(screen_);
    window_->makeKeyAndVisible();
    ASSERT_TRUE(test::runUntil([&] { return screen_->tableView()->numberOfRowsInSection(0) == 1; }));
    test::spin();
    screen_->tableView()->layoutIfNeeded();
  }
  std::shared_ptr<TableViewCell> row() {
    return screen_->tableView()->cellForRowAtIndexPath(IndexPath::forRow(0, 0));
  }
  bool showsFailure() { return std::dynamic_pointer_cast<QLEmotionDetailTableCell>(row()) != nullptr; }

  std::shared_ptr<Window> window_;
  std::shared_ptr<VXEmotionDetailViewController> screen_;
};

TEST_F(BigEmojiScreenTest, AStoredPackageIsShownDownloadedWithoutAPackageRequest) {
  ASSERT_TRUE(await([&](auto done) { manager_->downloadPackage(shopPackage("cats"), done); }).ok());
  const size_t before = count("GET", "/api/v1/package/");
  open("cats_1");
  auto cell = std::dynamic_pointer_cast<QLNormalTableCell>(row());
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->titleLabel()->text(), "Package cats");
  EXPECT_EQ(cell->downloadView()->downloadBtn()->currentTitle(), "已下载");
  EXPECT_NE(screen_->imgView()->image(), nullptr);
  EXPECT_EQ(count("GET", "/api/v1/package/"), before);
}

TEST_F(BigEmojiScreenTest, AnUnstoredPackageIsDescribedAndDownloadsFromItsRow) {
  open("cats_0");
  auto cell = std::dynamic_pointer_cast<QLNormalTableCell>(row());
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(count("GET", "/api/v1/package/cats"), 1u);
  EXPECT_EQ(cell->downloadView()->downloadBtn()->currentTitle(), "下载");
  cell->downloadView()->downloadBtnAction();
  ASSERT_TRUE(test::runUntil([&] { return !screen_->isDownloading(); }, std::chrono::seconds(30)));
  test::spin();
  EXPECT_TRUE(stored("cats"));
  EXPECT_EQ(cell->downloadView()->status(), QLDownloadView::kStatusDownloaded);
}

TEST_F(BigEmojiScreenTest, TheFailureRowStandsForEveryMissingPiece) {
  open("nobody knows this");
  EXPECT_TRUE(showsFailure());

  // The package cannot be described.
  service_->faults().add({.pathPattern = "/api/v1/package/*", .status = 500});
  open("cats_0");
  EXPECT_TRUE(showsFailure());
  service_->faults().clear();

  // An emoji that names no package: no request for "package/".
  auto orphan = std::make_shared<QLEmoji>();
  orphan->setGuid("orphan");
  orphan->setEmo_code("orphan");
  orphan->setMain_image("http://127.0.0.1:1/orphan.gif");
  test::writeFile(store_->imageFileURLWithKey(orphan->main_image()), test::tinyGif());
  store_->saveBigTempEmoji(*orphan);
  open("orphan");
  EXPECT_NE(screen_->imgView()->image(), nullptr);  // found, on the device
  EXPECT_TRUE(showsFailure());
  EXPECT_EQ(count("GET", "/api/v1/package/"), 1u);  // the one described above
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(BigEmojiScreenTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
