// The package detail screen against the reference service: emojis fetched
// for a package handed over without them, the preview grid's height, the
// long-press preview (and what arrives late), the banner of a recycled row
// and the reports of an opening and a preview.
#include "DownloadTestSupport.h"
#include "support/ReferenceServiceSkip.h"
#ifdef VEXA_HAVE_REFERENCE_SERVICE

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/Label.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/Window.h"
#include "vexa/shop/QLAdTableCell.h"
#include "vexa/shop/QLBottomTableCell.h"
#include "vexa/shop/QLDetailViewController.h"
#include "vexa/shop/QLEmotionCollectionCell.h"
#include "vexa/shop/QLPreviewTabelCell.h"
#include "vexa/shop/QLTermsViewController.h"
#include "support/MainQueueTesting.h"
#include "vexa/support/QLPopoverView.h"

namespace vexa {
namespace {

// Three small emojis, with a banner and without a copyright line.
constexpr const char* kCatalog = R"({"packages": [
    {"guid": "smile", "name": "Smile", "is_emoji": true, "cover": "png/cover.png",
     "chat_icon": "png/icon.png", "banner": "png/banner.png", "intro": "Three faces",
     "emoticions": [
       {"guid": "s0", "emo_code": "s_0", "emo_text": "zero", "thumbail": "png/t0.png", "main_image": "gif/m0.gif"},
       {"guid": "s1", "emo_code": "s_1", "emo_text": "one", "thumbail": "png/t1.png", "main_image": "gif/m1.gif"},
       {"guid": "s2", "emo_code": "s_2", "emo_text": "two", "thumbail": "png/t2.png", "main_image": "gif/m2.gif"}]},
    {"guid": "plain", "name": "Plain", "is_emoji": false, "cover": "png/c2.png", "chat_icon": "png/i2.png",
     "copyright": "ABC",
     "emoticions": [{"guid": "p0", "emo_code": "p_0", "thumbail": "png/p0.png", "main_image": "gif/p0.gif"}]}]})";

class DetailScreenTest : public test::DownloadTest {
 protected:
  void SetUp() override { startService(test::catalogFromJson(kCatalog)); }
  void TearDown() override {
    stack_.reset();
    window_.reset();
    detail_.reset();
    DownloadTest::TearDown();
  }

  void open(const std::string& guid) {
    window_ = Window::create(Rect(0, 0, 375, 667));
    detail_ = std::make_shared<QLDetailViewController>(*manager_);
    detail_->setPackage(shopPackage(guid));
    stack_ = std::make_shared<NavigationController>(detail_);
    window_->setRootViewController(stack_);
    window_->makeKeyAndVisible();
    ASSERT_TRUE(test::runUntil([&] { return !detail_->isLoading(); }));
    window_->layoutIfNeeded();
  }
  template <typename Cell>
  std::shared_ptr<Cell> row(int index) {
    detail_->tableView()->layoutIfNeeded();
    return std::dynamic_pointer_cast<Cell>(detail_->tableView()->cellForRowAtIndexPath(IndexPath::forRow(index, 0)));
  }
  // Window point of the preview grid's item.
  Point itemCentre(int item) {
    auto grid = row<QLPreviewTabelCell>(QLDetailViewController::kPreviewRow)->collectionView();
    grid->layoutIfNeeded();
    auto cell = grid->cellForItemAtIndexPath(IndexPath::forItem(item, 0));
    return cell->convertPointToView(cell->bounds().center(), nullptr);
  }
  std::shared_ptr<const Image> previewImage() {
    auto popover = detail_->popover();
    auto content = popover ? std::dynamic_pointer_cast<ImageView>(popover->contentView()) : nullptr;
    return content ? content->image() : nullptr;
  }

  std::shared_ptr<Window> window_;
  std::shared_ptr<QLDetailViewController> detail_;
  std::shared_ptr<NavigationController> stack_;
};

TEST_F(DetailScreenTest, EmojisArriveOnceAndTheGridGetsItsFullRows) {
  open("smile");
  EXPECT_EQ(count("GET", "/api/v1/package/smile/emojis"), 1u);
  ASSERT_EQ(detail_->tableView()->numberOfRowsInSection(0), 4);
  // Three small emojis: one grid row of 50 points below the hint.
  auto preview = row<QLPreviewTabelCell>(QLDetailViewController::kPreviewRow);
  ASSERT_NE(preview, nullptr);
  preview->layoutIfNeeded();
  EXPECT_DOUBLE_EQ(preview->collectionView()->frame().height(), QLPreviewTabelCell::kSmallRowHeight);
  preview->collectionView()->layoutIfNeeded();
  EXPECT_EQ(preview->collectionView()->visibleCells().size(), 3u);
  // No copyright line: nothing where it would stand.
  EXPECT_EQ(row<QLBottomTableCell>(QLDetailViewController::kFooterRow)->bottomView()->copyrightLabel()->text(),
            "Copyright © ");
  awaitReports();
  EXPECT_EQ(reports("view").size(), 1u);
}

TEST_F(DetailScreenTest, ABannerlessPackageClearsTheRecycledCarousel) {
  open("smile");
  auto banner = row<QLAdTableCell>(QLDetailViewController::kBannerRow);
  ASSERT_NE(banner, nullptr);
  ASSERT_EQ(banner->loopScrollView()->imageUrls()->size(), 1u);
  detail_->setPackage(shopPackage("plain"));
  detail_->tableView()->reloadData();
  auto reused = row<QLAdTableCell>(QLDetailViewController::kBannerRow);
  ASSERT_EQ(reused, banner);
  EXPECT_TRUE(!reused->loopScrollView()->imageUrls() || reused->loopScrollView()->imageUrls()->empty());
}

TEST_F(DetailScreenTest, APreviewFetchedLateIsNotShownOverTheNextPress) {
  open("smile");
  // Emoji 1's picture is on the device; emoji 0's comes slowly from the service.
  placeImages({detail_->package()->emojis()[1]->main_image()});
  service_->faults().add({.pathPattern = "/api/v1/emoji/*", .latency = std::chrono::milliseconds(400)});
  auto& touches = window_->touches();
  double t = 0;
  touches.touchDown(itemCentre(0), t);
  touches.advanceTime(t += 0.6);
  ASSERT_NE(detail_->popover(), nullptr);
  EXPECT_EQ(previewImage(), nullptr);
  EXPECT_DOUBLE_EQ(detail_->popover()->contentView()->frame().width(), QLDetailViewController::kPreviewSide);
  touches.touchUp(itemCentre(0), t += 0.1);
  EXPECT_EQ(detail_->popover(), nullptr);

  touches.touchDown(itemCentre(1), t += 0.1);
  touches.advanceTime(t += 0.6);
  ASSERT_NE(detail_->popover(), nullptr);
  auto shown = previewImage();
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(test::runUntil([&] { return count("POST", "/api/v1/emoji/small_emo_code") == 1; }));
  test::spin(std::chrono::milliseconds(700));  // the late answer lands
  EXPECT_EQ(previewImage(), shown);
  touches.touchUp(itemCentre(1), t += 0.1);
  EXPECT_EQ(detail_->popover(), nullptr);

  // A press over empty space shows nothing and its end closes nothing.
  const Point last = itemCentre(2);
  const Point empty{last.x + 120, last.y};
  touches.touchDown(empty, t += 0.1);
  touches.advanceTime(t += 0.6);
  EXPECT_EQ(detail_->popover(), nullptr);
  touches.touchUp(empty, t += 0.1);
  awaitReports();
  EXPECT_EQ(reports("view").size(), 3u);  // the opening and two previews
}

TEST_F(DetailScreenTest, TheFooterOpensTheTermsOverHttpWhenTheServiceHasNoHttps) {
  open("plain");
  auto footer = row<QLBottomTableCell>(QLDetailViewController::kFooterRow);
  ASSERT_NE(footer, nullptr);
  EXPECT_EQ(footer->bottomView()->copyrightLabel()->text(), "Copyright © ABC");
  footer->bottomView()->serviceBtn()->sendActionsForControlEvents(ControlEventTouchUpInside);
  auto terms = std::dynamic_pointer_cast<QLTermsViewController>(stack_->topViewController());
  ASSERT_NE(terms, nullptr);
  ASSERT_TRUE(test::runUntil([&] { return !terms->webView()->isLoading() && !terms->webView()->pageURL().empty(); }));
  EXPECT_EQ(terms->webView()->pageURL(), service_->termsUrl());
  EXPECT_EQ(terms->loadFailedView(), nullptr);
  // Links never take the page off the terms host.
  EXPECT_FALSE(terms->webView()->openLink("http://example.com/other").ok());
}

TEST(TermsPageAddress, HttpsFirstAndNeverDownFromHttps) {
  using V = std::vector<std::string>;
  EXPECT_EQ(QLTermsViewController::termsPageURLsForServiceURL("https://api.example.com/api/v1/"),
            V{"https://api.example.com/pages/sdk/term.html"});
  EXPECT_EQ(QLTermsViewController::termsPageURLsForServiceURL("http://api.example.com/api/v1"),
            (V{"https://api.example.com/pages/sdk/term.html", "http://api.example.com/pages/sdk/term.html"}));
  EXPECT_EQ(QLTermsViewController::termsPageURLsForServiceURL("http://127.0.0.1:8080/api/v1"),
            (V{"https://127.0.0.1:8080/pages/sdk/term.html", "http://127.0.0.1:8080/pages/sdk/term.html"}));
  EXPECT_TRUE(QLTermsViewController::termsPageURLsForServiceURL("ftp://x/").empty());
}

}  // namespace
}  // namespace vexa

#else
VX_SKIP_WITHOUT_REFERENCE_SERVICE(DetailScreenTest)
#endif  // VEXA_HAVE_REFERENCE_SERVICE
